// Balances of one account: debit and credit totals of the posted journal
// lines over a date range, the opening balance and balance of an exercise from
// the accumulator row, and the pending collection forecast totals.
#include <memory>
#include <string>
#include <string_view>

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_values.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

constexpr std::string_view kPrevCobroSource = "Cuentas::Dev_Saldo_PrevCobro";

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
                            const Date& to, const std::string& filter) {
  const int16_t line_company = company.Codigo();
  const int16_t entry_company = company.Codigo();
  const Dialect dialect = StatementDialect();
  return "SELECT ISNULL(SUM(a.Debe), 0) AS Debe, ISNULL(SUM(a.Haber), 0) AS Haber"
         " FROM Movimientos a WITH (NOLOCK)"
         " INNER JOIN Asientos b WITH (NOLOCK)"
         " ON a.Cod_Empresa = b.Cod_Empresa And a.Cod_Ejercicio = b.Cod_Ejercicio"
         " And a.Cod_Asiento = b.Codigo"
         " WHERE a.Cod_Empresa =" +
         SqlInteger(line_company) + " AND b.Cod_Empresa =" + SqlInteger(entry_company) +
         " AND a.Cuenta ='" + SqlText(account) + "'" + " AND (b.Fecha BETWEEN '" +
         SqlDate(from, dialect) + "' AND '" + SqlDate(to, dialect) + "')" +
         " AND b.Cierre = 0 AND b.Nulo = 0" + filter;
}

// The optional conditions, in the order amount, concept, document,
// department, journal. The concept is a contains-match whose wildcards keep
// their meaning.
std::string TotalsFilter(Currency amount, Currency variation, const std::string& concept_text,
                         const std::string& document, int16_t department, int16_t journal) {
  std::string filter;
  if (amount != Currency{}) {
    // A line qualifies when its debit or its credit lies in the closed range.
    const Currency lower = amount - variation;
    const Currency upper = amount + variation;
    const Utilidades& utilidades = ThreadUtilidades();
    const std::string debit_lower = utilidades.NumeroSQL(lower.ToDouble());
    const std::string debit_upper = utilidades.NumeroSQL(upper.ToDouble());
    const std::string credit_lower = utilidades.NumeroSQL(lower.ToDouble());
    const std::string credit_upper = utilidades.NumeroSQL(upper.ToDouble());
    filter += " AND ((a.Debe Between " + debit_lower + " AND " + debit_upper + ")" +
              " OR (a.Haber Between " + credit_lower + " AND " + credit_upper + "))";
  }
  if (!concept_text.empty()) filter += " AND (a.Concepto LIKE '%" + SqlText(concept_text) + "%')";
  if (!document.empty()) filter += " And (a.Documento ='" + SqlText(document) + "')";
  if (department != 0) filter += " And (a.Dpto=" + SqlInteger(department) + ")";
  if (journal != 0) filter += " And (a.Diario=" + SqlInteger(journal) + ")";
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

// A value of the account's accumulator row in one exercise.
Currency AccumulatorAmount(clsEmpresa& company, const std::string& account, int16_t exercise,
                           std::string_view select, std::string_view field) {
  const int16_t code = company.Codigo();
  // One buffer: with compiled statements reused, building the text is much
  // of what a balance lookup costs.
  std::string sql;
  sql.reserve(select.size() + 80 + account.size());
  sql.append(select).append(" WHERE Cod_Empresa =").append(SqlInteger(code));
  sql.append(" And Cod_Ejercicio =").append(SqlInteger(exercise));
  sql.append(" And Cuenta = '").append(SqlText(account)).append("'");
  return FirstRowAmount(sql, field);
}

// The total of the account's collection forecasts whose state meets
// `state_condition`, which closes the account literal.
Currency ForecastTotal(clsEmpresa& company, const std::string& account,
                       const std::string& state_condition) {
  const int16_t code = company.Codigo();
  return FirstRowAmount(
      "SELECT ISNULL(SUM(Importe), 0) As Saldo FROM Previsiones_Cobro "
      " WHERE Cod_Empresa=" +
          SqlInteger(code) + " AND CuentaOriginal='" + SqlText(account) + state_condition,
      "Saldo");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A list of integers separated by commas, blanks allowed around each.
bool IsStateList(std::string_view list) {
  while (true) {
    const size_t comma = list.find(',');
    std::string_view item = TrimBlanks(list.substr(0, comma));
    if (!item.empty() && item.front() == '-') item.remove_prefix(1);
    if (item.empty()) return false;
    for (char c : item) {
      if (!IsDigit(c)) return false;
    }
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

void clsCuenta::Dev_Acumulado(int16_t /*intEjercicio*/, Date dteFechaI, Date dteFechaF,
                              Currency& dblDebe, Currency& dblHaber) {
  Trap("Cuentas::Dev_Acumulado", [&] {
    ReadTotals(PeriodTotalsSql(Company(), Cuenta, dteFechaI, dteFechaF, ""), dblDebe, dblHaber);
  });
}

void clsCuenta::Dev_Acumulado2(int16_t intEjercicio, Date dteFechaI, Date dteFechaF,
                               Currency curImporte, Currency curVariacion,
                               const std::string& strConcepto, int32_t lngDocumento,
                               int16_t intDpto, int16_t intDiario, Currency& dblDebe,
                               Currency& dblHaber) {
  // No trap of its own: failures arrive as Dev_Acumulado3 raised them.
  Dev_Acumulado3(intEjercicio, dteFechaI, dteFechaF, curImporte, curVariacion, strConcepto,
                 SqlInteger(lngDocumento), intDpto, intDiario, dblDebe, dblHaber);
}

void clsCuenta::Dev_Acumulado3(int16_t /*intEjercicio*/, Date dteFechaI, Date dteFechaF,
                               Currency curImporte, Currency curVariacion,
                               const std::string& strConcepto, const std::string& strDocumento,
                               int16_t intDpto, int16_t intDiario, Currency& dblDebe,
                               Currency& dblHaber) {
  Trap("Cuentas::Dev_Acumulado3", [&] {
    const std::string filter =
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
    return AccumulatorAmount(Company(), Cuenta, intEjercicio,
                             "SELECT Apertura"
                             " + D1 + D2 + D3 + D4 + D5 + D6 + D7 + D8 + D9 + D10 + D11 + D12"
                             " - H1 - H2 - H3 - H4 - H5 - H6 - H7 - H8 - H9 - H10 - H11 - H12"
                             " AS Saldo FROM Acumulados WITH (NOLOCK)",
                             "Saldo");
  });
}

Currency clsCuenta::Dev_Saldo_Cartera() {
  return Trap("Cuentas::Dev_Saldo_Cartera",
              [&] { return ForecastTotal(Company(), Cuenta, "' AND Estado BETWEEN 1 AND 4"); });
}

Currency clsCuenta::Dev_Saldo_PrevCobro(const std::string& strListaEstados) {
  return Trap(kPrevCobroSource, [&] {
    // The list goes into the statement as it stands, so it must be what the
    // contract says and nothing more.
    if (!IsStateList(strListaEstados)) {
      throw Error(error_number::kComponent, std::string(kPrevCobroSource),
                  "La lista de estados '" + strListaEstados +
                      "' no es válida: se esperan números enteros separados por comas");
    }
    return ForecastTotal(Company(), Cuenta, "' AND Estado IN (" + strListaEstados + ")");
  });
}

}  // namespace vornexa
