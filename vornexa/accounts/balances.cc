// Balances of one account: debit and credit totals of the posted journal
// lines over a date range, the opening balance and balance of an exercise from
// the accumulator row, and the pending collection forecast totals.
#include <memory>
#include <string>
#include <string_view>

#include "vornexa/accounts/balance_expression.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

// How the shared connection's database reads a date literal. Without a
// connection any dialect will do: opening the statement reports the missing
// connection as every other query does.
Dialect StatementDialect() {
  const std::shared_ptr<Connection>& connection = SharedConnection();
  return connection ? connection->SqlDialect() : Dialect::SqlServer;
}

// The totals of the account's posted lines between two dates, both included,
// over every exercise of the company; `filter` narrows the lines further.
std::string PeriodTotalsSql(clsEmpresa& company, const std::string& account, const Date& from,
                            const Date& to, const SqlStatement& filter) {
  const int16_t line_company = company.Codigo();
  const int16_t entry_company = company.Codigo();
  const Dialect dialect = StatementDialect();
  return SqlStatement(
             "SELECT ISNULL(SUM(a.Debe), 0) AS Debe, ISNULL(SUM(a.Haber), 0) AS Haber"
             " FROM Movimientos a WITH (NOLOCK)"
             " INNER JOIN Asientos b WITH (NOLOCK)"
             " ON a.Cod_Empresa = b.Cod_Empresa And a.Cod_Ejercicio = b.Cod_Ejercicio"
             " And a.Cod_Asiento = b.Codigo"
             " WHERE a.Cod_Empresa =")
      .Number(line_company)
      .Raw(" AND b.Cod_Empresa =")
      .Number(entry_company)
      .Raw(" AND a.Cuenta =")
      .Text(account, "Cuenta")
      .Raw(" AND (b.Fecha BETWEEN ")
      .Date(from, dialect)
      .Raw(" AND ")
      .Date(to, dialect)
      .Raw(") AND b.Cierre = 0 AND b.Nulo = 0")
      .Raw(filter.text())
      .Take();
}

// The optional conditions, in the order amount, concept, document,
// department, journal. The concept is a contains-match whose wildcards keep
// their meaning.
SqlStatement TotalsFilter(Currency amount, Currency variation, const std::string& concept_text,
                          const std::string& document, int16_t department, int16_t journal) {
  SqlStatement filter;
  if (amount != Currency{}) {
    // A line qualifies when its debit or its credit lies in the closed range.
    const Currency lower = amount - variation;
    const Currency upper = amount + variation;
    // The utility object is the application's, not ours: it is asked for each
    // bound at each of its appearances, lower, upper, lower, upper, as the
    // application asks it, even though two calls would give the same text.
    const Utilidades& utilidades = ThreadUtilidades();
    filter.Raw(" AND ((a.Debe Between ")
        .Decimal(utilidades, lower.ToDouble())
        .Raw(" AND ")
        .Decimal(utilidades, upper.ToDouble())
        .Raw(") OR (a.Haber Between ")
        .Decimal(utilidades, lower.ToDouble())
        .Raw(" AND ")
        .Decimal(utilidades, upper.ToDouble())
        .Raw("))");
  }
  if (!concept_text.empty()) {
    filter.Raw(" AND (a.Concepto LIKE ").Contains(concept_text, "strConcepto").Raw(")");
  }
  if (!document.empty()) filter.Raw(" And (a.Documento =").Text(document, "strDocumento").Raw(")");
  if (department != 0) filter.Raw(" And (a.Dpto=").Number(department).Raw(")");
  if (journal != 0) filter.Raw(" And (a.Diario=").Number(journal).Raw(")");
  return filter;
}

// Runs a totals statement. The caller's values stay as they were until the
// result set is open.
void ReadTotals(const std::string& sql, Currency& debit, Currency& credit) {
  const std::unique_ptr<Recordset> rows = OpenShared(sql);
  debit = Currency{};
  credit = Currency{};
  if (!rows->Eof()) {
    debit = rows->Field("Debe").ToCurrency();
    credit = rows->Field("Haber").ToCurrency();
  }
  rows->Close();
}

// The currency in column `field` of the first row of `sql`; 0 without a row.
Currency FirstRowAmount(const std::string& sql, std::string_view field) {
  Currency result;
  const std::unique_ptr<Recordset> rows = OpenShared(sql);
  if (!rows->Eof()) result = rows->Field(field).ToCurrency();
  rows->Close();
  return result;
}

// A query of the account's accumulator row in one exercise.
std::string AccumulatorRowSql(clsEmpresa& company, const std::string& account, int16_t exercise,
                              std::string_view select) {
  const int16_t code = company.Codigo();
  return SqlStatement(select)
      .Raw(" WHERE Cod_Empresa =")
      .Number(code)
      .Raw(" And Cod_Ejercicio =")
      .Number(exercise)
      .Raw(" And Cuenta = ")
      .Text(account, "Cuenta")
      .Take();
}

// A value of the account's accumulator row in one exercise.
Currency AccumulatorAmount(clsEmpresa& company, const std::string& account, int16_t exercise,
                           std::string_view select, std::string_view field) {
  return FirstRowAmount(AccumulatorRowSql(company, account, exercise, select), field);
}

// The total of the account's collection forecasts; `state_condition` adds
// the condition on their state.
Currency ForecastTotal(clsEmpresa& company, const std::string& account,
                       const SqlStatement& state_condition) {
  const int16_t code = company.Codigo();
  return FirstRowAmount(SqlStatement("SELECT ISNULL(SUM(Importe), 0) As Saldo FROM "
                                     "Previsiones_Cobro  WHERE Cod_Empresa=")
                            .Number(code)
                            .Raw(" AND CuentaOriginal=")
                            .Text(account, "Cuenta")
                            .Raw(state_condition.text())
                            .Take(),
                        "Saldo");
}

}  // namespace

void clsCuenta::Dev_Acumulado(int16_t /*intEjercicio*/, Date dteFechaI, Date dteFechaF,
                              Currency& dblDebe, Currency& dblHaber) {
  Trap("Cuentas::Dev_Acumulado", [&] {
    ReadTotals(PeriodTotalsSql(Company(), Cuenta, dteFechaI, dteFechaF, SqlStatement()), dblDebe,
               dblHaber);
  });
}

void clsCuenta::Dev_Acumulado2(int16_t intEjercicio, Date dteFechaI, Date dteFechaF,
                               Currency curImporte, Currency curVariacion,
                               const std::string& strConcepto, int32_t lngDocumento,
                               int16_t intDpto, int16_t intDiario, Currency& dblDebe,
                               Currency& dblHaber) {
  // No trap of its own: failures arrive as Dev_Acumulado3 raised them.
  Dev_Acumulado3(intEjercicio, dteFechaI, dteFechaF, curImporte, curVariacion, strConcepto,
                 std::to_string(lngDocumento), intDpto, intDiario, dblDebe, dblHaber);
}

void clsCuenta::Dev_Acumulado3(int16_t /*intEjercicio*/, Date dteFechaI, Date dteFechaF,
                               Currency curImporte, Currency curVariacion,
                               const std::string& strConcepto, const std::string& strDocumento,
                               int16_t intDpto, int16_t intDiario, Currency& dblDebe,
                               Currency& dblHaber) {
  Trap("Cuentas::Dev_Acumulado3", [&] {
    const SqlStatement filter =
        TotalsFilter(curImporte, curVariacion, strConcepto, strDocumento, intDpto, intDiario);
    ReadTotals(PeriodTotalsSql(Company(), Cuenta, dteFechaI, dteFechaF, filter), dblDebe, dblHaber);
  });
}

Currency clsCuenta::Dev_Apertura(int16_t intEjercicio) {
  return Trap("Cuentas::Dev_Apertura", [&] {
    return AccumulatorAmount(Company(), Cuenta, intEjercicio,
                             "SELECT Apertura FROM Acumulados WITH (NOLOCK)", "Apertura");
  });
}

Currency clsCuenta::Dev_Saldo(int16_t intEjercicio) {
  return Trap("Cuentas::Dev_Saldo", [&] {
    static const std::string kSelect =
        "SELECT " + std::string(kBalanceExpression) + " AS Saldo FROM Acumulados WITH (NOLOCK)";
    return AccumulatorAmount(Company(), Cuenta, intEjercicio, kSelect, "Saldo");
  });
}

AccumulatorPeriods clsCuenta::Dev_Periodos(int16_t intEjercicio) {
  return Trap("Cuentas::Dev_Periodos", [&] {
    const std::unique_ptr<Recordset> rows = OpenShared(AccumulatorRowSql(
        Company(), Cuenta, intEjercicio,
        "SELECT Apertura, D1, D2, D3, D4, D5, D6, D7, D8, D9, D10, D11, D12,"
        " H1, H2, H3, H4, H5, H6, H7, H8, H9, H10, H11, H12 FROM Acumulados WITH (NOLOCK)"));
    AccumulatorPeriods periods;
    if (!rows->Eof()) {
      periods.opening = rows->Field("Apertura").ToCurrency();
      for (size_t i = 0; i < periods.debit.size(); ++i) {
        const std::string period = std::to_string(i + 1);
        periods.debit[i] = rows->Field("D" + period).ToCurrency();
        periods.credit[i] = rows->Field("H" + period).ToCurrency();
      }
    }
    rows->Close();
    return periods;
  });
}

Currency AccumulatorPeriods::BalanceAfter(int period) const {
  Currency balance = opening;
  for (int i = 0; i < period; ++i) balance = balance + debit[i] - credit[i];
  return balance;
}

Currency clsCuenta::Dev_Saldo_Cartera() {
  return Trap("Cuentas::Dev_Saldo_Cartera",
              [&] {
                return ForecastTotal(Company(), Cuenta,
                                     SqlStatement(" AND Estado BETWEEN 1 AND 4"));
              });
}

Currency clsCuenta::Dev_Saldo_PrevCobro(const std::string& strListaEstados) {
  return Trap("Cuentas::Dev_Saldo_PrevCobro", [&] {
    // The list goes into the statement as it stands, so the builder takes
    // nothing but what the contract allows.
    SqlStatement condition(" AND Estado IN (");
    condition.IntegerList(strListaEstados, "La lista de estados").Raw(")");
    return ForecastTotal(Company(), Cuenta, condition);
  });
}

}  // namespace vornexa
