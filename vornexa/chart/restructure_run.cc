#include "vornexa/chart/restructure_run.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "vornexa/base/error.h"
#include "vornexa/chart/restructure_checks.h"
#include "vornexa/chart/restructure_proof.h"
#include "vornexa/chart/restructure_statements.h"

namespace vornexa {

namespace {

namespace sql = restructure_sql;

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
    done_ = std::min(done_ + rows, total_);
    Tell();
  }
  void Finish() {
    done_ = total_;
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

// Counts the rows of each column that the rewrite changes, refusing a code
// already where it would put one, or one that would lose a digit.
std::vector<FilasColumna> CountRows(Connection& connection, const RestructurePlan& plan,
                                    const std::vector<const CodeColumn*>& columns) {
  std::vector<FilasColumna> counted;
  for (const CodeColumn* column : columns) {
    const std::unique_ptr<Recordset> scan =
        connection.Open(sql::ScanCodes(*column, plan.company, plan.rewrite), Cursor::Static);
    const Value existing = scan->Field("existente");
    if (plan.existing_result && !existing.IsNull()) {
      RaiseComponentError(plan.source, plan.existing_result(*column, existing.ToText()));
    }
    const Value losing = scan->Field("perdido");
    if (plan.losing_digits && !losing.IsNull()) {
      RaiseComponentError(plan.source, plan.losing_digits(*column, losing.ToText()));
    }
    counted.push_back({column->table, column->column, scan->Field("n").ToInt64()});
  }
  return counted;
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

RestructurePlan PlanFor(std::string_view source, clsEmpresa& company) {
  RestructurePlan plan;
  plan.source = source;
  plan.company = company.Codigo();
  plan.level_digits = LevelDigits(company);
  plan.account_digits = company.DigitosCuenta();
  return plan;
}

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
    report.filas = CountRows(connection, plan, columns);
    const CodeRewrite& rewrite = plan.rewrite;
    for (auto rows = connection.Open(sql::ChangedAccountCodes(plan.company, rewrite));
         !rows->Eof(); rows->MoveNext()) {
      const std::string code = rows->Field("Cuenta").ToText();
      report.codigos.push_back({code, rewrite.NewCode(code)});
    }
    if (options.simular) return report;

    // Progress counts the rows rewritten and, twice, those the proof reads:
    // the accumulator rows and about as many lines and forecasts as change.
    Advance advance(options.avance);
    BalanceProof proof(connection, plan.company, rewrite,
                       [&advance](int64_t rows) { advance.Add(rows); });
    int64_t total = 2 * proof.CountAccumulatorRows();
    for (size_t i = 0; i < columns.size(); ++i) {
      const CodeTable kind = columns[i]->table_kind;
      const bool read = kind == CodeTable::kMovimientos || kind == CodeTable::kPrevisiones;
      total += (read ? 3 : 1) * report.filas[i].filas;
    }
    advance.SetTotal(total);
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
    advance.Finish();
    report.filas_comprobadas = proof.rows_compared();
    report.superiores_cuadrados = proof.uppers_kept();
    return report;
  });
}

}  // namespace vornexa
