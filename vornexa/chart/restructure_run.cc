#include "vornexa/chart/restructure_run.h"

#include <memory>
#include <optional>

#include "vornexa/base/error.h"
#include "vornexa/chart/restructure_proof.h"
#include "vornexa/chart/restructure_statements.h"

namespace vornexa {

namespace {

namespace sql = restructure_sql;

// The code in field c of the first row of `query`, if any.
std::optional<std::string> FirstCodeOf(Connection& connection, const std::string& query) {
  const std::unique_ptr<Recordset> rows = connection.Open(query, Cursor::Static);
  if (rows->Eof()) return std::nullopt;
  return rows->Field("c").ToText();
}

// Tells the caller how far the run has gone.
class Advance {
 public:
  explicit Advance(const std::function<void(const AvanceReestructuracion&)>& callback)
      : callback_(callback) {}
  void SetTotal(int64_t total) { total_ = total; }
  void Step(std::string_view step) {
    step_ = step;
    Tell();
  }
  void Add(int64_t rows) {
    done_ += rows;
    Tell();
  }

 private:
  void Tell() {
    if (callback_) callback_({step_, done_, total_});
  }

  const std::function<void(const AvanceReestructuracion&)>& callback_;
  std::string step_;
  int64_t done_ = 0;
  int64_t total_ = 0;
};

// The columns holding codes that change: the library's, then the other
// modules' the caller named.
std::vector<const CodeColumn*> RewrittenColumns(const OtherCodeColumns& others) {
  std::vector<const CodeColumn*> columns;
  for (const CodeColumn& column : LibraryCodeColumns()) columns.push_back(&column);
  for (const CodeColumn& column : others.rewritten) columns.push_back(&column);
  return columns;
}

void RefuseExistingCodes(Connection& connection, const RestructurePlan& plan,
                         const std::vector<const CodeColumn*>& columns) {
  const CodeRewrite& rewrite = plan.rewrite;
  for (const CodeColumn* column : columns) {
    if (plan.existing_result) {
      const std::optional<std::string> code = FirstCodeOf(
          connection, sql::FirstCode(*column, plan.company, rewrite.from_exercise, rewrite.result));
      if (code) RaiseComponentError(plan.source, plan.existing_result(*column, *code));
    }
    if (plan.losing_digits) {
      const std::optional<std::string> code =
          FirstCodeOf(connection, sql::FirstCodeLosingDigits(*column, plan.company, rewrite));
      if (code) RaiseComponentError(plan.source, plan.losing_digits(*column, *code));
    }
  }
}

void RewriteCodes(Connection& connection, const RestructurePlan& plan,
                  const std::vector<const CodeColumn*>& columns,
                  const std::vector<FilasColumna>& counted, Advance& advance) {
  for (size_t i = 0; i < columns.size(); ++i) {
    const CodeColumn& column = *columns[i];
    if (column.Keyed() && !plan.rewrite_keyed) continue;
    advance.Step("Reescribiendo " + column.Label());
    const int64_t rows = connection.Execute(sql::RenameCodes(column, plan.company, plan.rewrite));
    // Rows another session changed meanwhile would make the count differ
    // (a database that does not say gives -1).
    if (rows >= 0 && rows != counted[i].filas) {
      RaiseComponentError(plan.source, "Las filas de " + column.Label() +
                                           " cambiaron durante la reestructuración: se contaron " +
                                           std::to_string(counted[i].filas) + " y se iban a "
                                           "reescribir " + std::to_string(rows) +
                                           "; no se ha cambiado nada");
    }
    advance.Add(counted[i].filas);
  }
}

}  // namespace

InformeReestructuracion RunRestructure(Connection& connection, const RestructurePlan& plan,
                                       const OpcionesReestructuracion& options) {
  return Trap(plan.source, [&] {
    // The dry run too reads inside the scope, so that it sees one state of
    // the database throughout; it writes nothing, and the scope undoes nothing.
    std::optional<AtomicScope> scope(std::in_place, connection);
    InformeReestructuracion report;
    report.simulado = options.simular;
    report.digitos_nivel = plan.level_digits;
    report.digitos_cuenta = plan.account_digits;
    const OtherCodeColumns others =
        FindOtherCodeColumns(connection, options.columnas, !options.simular, plan.source);
    report.columnas = others.found;
    const std::vector<const CodeColumn*> columns = RewrittenColumns(others);
    RefuseExistingCodes(connection, plan, columns);

    const CodeRewrite& rewrite = plan.rewrite;
    int64_t rewritten_rows = 0;
    for (const CodeColumn* column : columns) {
      const int64_t rows =
          connection
              .Open(sql::CountRows(*column, plan.company, rewrite.from_exercise,
                                   {rewrite.rewritten}),
                    Cursor::Static)
              ->Field("n")
              .ToInt64();
      report.filas.push_back({column->table, column->column, rows});
      rewritten_rows += rows;
    }
    for (auto rows = connection.Open(sql::ChangedAccountCodes(plan.company, rewrite));
         !rows->Eof(); rows->MoveNext()) {
      const std::string code = rows->Field("Cuenta").ToText();
      report.codigos.push_back({code, rewrite.NewCode(code)});
    }
    if (options.simular) return report;

    Advance advance(options.avance);
    BalanceProof proof(connection, plan.company, rewrite,
                       [&advance](int64_t rows) { advance.Add(rows); });
    advance.SetTotal(2 * proof.CountRowsToRead() + rewritten_rows);
    advance.Step("Leyendo los saldos de antes");
    proof.ReadBefore();
    advance.Step("Moviendo importes entre cuentas");
    for (const std::string& statement : plan.before_rewriting) connection.Execute(statement);
    RewriteCodes(connection, plan, columns, report.filas, advance);
    for (const std::string& statement : plan.after_rewriting) connection.Execute(statement);
    advance.Step("Comprobando los saldos de después");
    const std::optional<ProofDifference> difference = proof.CompareAfter();
    if (difference) {
      scope.reset();  // undone before the chart is read again to describe it
      RaiseComponentError(plan.source,
                          "Los saldos no cuadran después del cambio, que se ha deshecho: " +
                              proof.Describe(*difference));
    }
    scope->Commit();
    report.filas_comprobadas = proof.rows_compared();
    report.superiores_cuadrados = proof.uppers_kept();
    return report;
  });
}

}  // namespace vornexa
