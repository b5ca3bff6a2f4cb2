// Balances of one account: period totals over journal lines under each filter,
// opening balance and balance from the accumulator row, forecast totals by
// state, and impossible dates and state lists refused before any statement.
#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

Currency Money(const char* decimal) { return Currency::FromDecimal(decimal); }

class Balances : public BackendTest {};

TEST_P(Balances, PeriodTotalsSumPostedLinesWithinBothBoundsUnderEachFilter) {
  // Lines of account 430000005 in and around 2024, with every filter column
  // set, and lines that must never count.
  InsertEntry(1, 5, 1, "2024-01-01");
  InsertLine(1, 5, 1, 1, "430000005", "100", "0", "ALQUILER enero", "A1", 2, 1);
  InsertLine(1, 5, 1, 2, "430000006", "77", "0", "ALQUILER enero", "A1", 2, 1);
  InsertEntry(1, 5, 2, "2024-12-31");
  InsertLine(1, 5, 2, 1, "430000005", "0", "40", "Cobro factura", "7", 1, 2);
  InsertEntry(1, 5, 3, "2024-06-01", /*cierre=*/1);
  InsertLine(1, 5, 3, 1, "430000005", "1000", "0", "ALQUILER cierre", "A1", 2, 1);
  InsertEntry(1, 5, 4, "2024-06-02", 0, /*nulo=*/1);
  InsertLine(1, 5, 4, 1, "430000005", "0", "1000", "ALQUILER nulo", "A1", 2, 1);
  InsertEntry(1, 5, 5, "2023-12-31");
  InsertLine(1, 5, 5, 1, "430000005", "500", "0", "ALQUILER antes", "A1", 2, 1);
  InsertEntry(1, 5, 6, "2025-01-01");
  InsertLine(1, 5, 6, 1, "430000005", "500", "0", "ALQUILER después", "A1", 2, 1);
  // Exercise 4 reuses entry code 1 on another date: lines join their own.
  InsertEntry(1, 4, 1, "2024-03-01");
  InsertLine(1, 4, 1, 1, "430000005", "25.5", "0", "ALQUILER marzo", "0", 2, 1);
  InsertEntry(1, 4, 2, "2024-04-01");
  InsertLine(1, 4, 2, 1, "430000005", "0", "12.25", "Pago O''Brien", "123", 3, 3);
  InsertEntry(2, 5, 1, "2024-05-05");
  InsertLine(2, 5, 1, 1, "430000005", "999", "0", "ALQUILER", "A1", 2, 1);
  constexpr Date kFrom{2024, 1, 1}, kTo{2024, 12, 31};
  const struct {
    Date from, to;
    const char *amount, *variation, *concept_text, *document;
    int16_t department, journal;
    const char *debe, *haber;
  } cases[] = {
      // Posted lines of every exercise; one day at each end; no line, zeros.
      {kFrom, kTo, "0", "0", "", "", 0, 0, "125.5", "52.25"},
      {kFrom, kFrom, "0", "0", "", "", 0, 0, "100", "0"},
      {kTo, kTo, "0", "0", "", "", 0, 0, "0", "40"},
      {{2030, 1, 1}, {2030, 12, 31}, "0", "0", "", "", 0, 0, "0", "0"},
      {kFrom, kTo, "100", "0", "", "", 0, 0, "100", "0"},
      {kFrom, kTo, "30", "5", "", "", 0, 0, "25.5", "0"},
      {kFrom, kTo, "12", "0.25", "", "", 0, 0, "0", "12.25"},
      {kFrom, kTo, "100", "-5", "", "", 0, 0, "0", "0"},
      {kFrom, kTo, "0", "0", "ALQUILER", "", 0, 0, "125.5", "0"},
      {kFrom, kTo, "0", "0", "ALQ%marzo", "", 0, 0, "25.5", "0"},  // wildcards work
      {kFrom, kTo, "0", "0", "O'Brien", "", 0, 0, "0", "12.25"},
      {kFrom, kTo, "0", "0", "", "A1", 0, 0, "100", "0"},
      {kFrom, kTo, "0", "0", "", "", 2, 0, "125.5", "0"},
      {kFrom, kTo, "0", "0", "", "", 0, 2, "0", "40"},
      {kFrom, kTo, "25.5", "0", "ALQUILER", "A1", 2, 1, "0", "0"},
  };
  clsCuenta account = NewAccount("430000005");
  for (const auto& c : cases) {
    Currency debe = Money("-1"), haber = Money("-1");
    account.Dev_Acumulado3(7, c.from, c.to, Money(c.amount), Money(c.variation), c.concept_text,
                           c.document, c.department, c.journal, debe, haber);
    EXPECT_EQ(std::make_pair(debe, haber), std::make_pair(Money(c.debe), Money(c.haber)))
        << c.amount << "~" << c.variation << " '" << c.concept_text << "' '" << c.document
        << "' " << c.department << " " << c.journal;
  }
}

TEST_P(Balances, AccumulatorRowsGiveOpeningAndBalanceAndForecastsTotalTheStatesListed) {
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D3, H7) "
       "VALUES (1, 5, '572', 3, 100, 50, 30)");
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D1, D2, D3, "
       "D4, D5, D6, D7, D8, D9, D10, D11, D12, H1, H2, H3, H4, H5, H6, H7, H8, H9, H10, H11, H12) "
       "VALUES (1, 4, '572', 3, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0.5, 0.5, 0.5, 0.5, "
       "0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5)");
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura) "
       "VALUES (2, 5, '572', 3, 1000)");
  InsertEntry(1, 5, 1, "2024-02-01");  // journal lines play no part
  InsertLine(1, 5, 1, 1, "572", "500", "0");
  const struct {
    int16_t company, exercise;
    const char *apertura, *saldo, *after_march;  // Dev_Periodos, end of period 3
  } cases[] = {
      {1, 5, "100", "120", "150"},
      {1, 4, "7", "79", "11.5"},  // 7 + (1 + ... + 12) - 12 * 0.5
      {1, 6, "0", "0", "0"},      // no row: zero from each
      {2, 5, "1000", "1000", "1000"},  // the company comes from the company object
  };
  for (const auto& c : cases) {
    company_->codigo = c.company;
    clsCuenta account = NewAccount("572");
    const AccumulatorPeriods p = account.Dev_Periodos(c.exercise);
    EXPECT_EQ(std::make_tuple(account.Dev_Apertura(c.exercise), account.Dev_Saldo(c.exercise),
                              p.opening, p.BalanceAfter(3), p.BalanceAfter(12)),
              std::make_tuple(Money(c.apertura), Money(c.saldo), Money(c.apertura),
                              Money(c.after_march), Money(c.saldo)))
        << c.company << "/" << c.exercise;
  }
  company_->codigo = 1;

  // States 0 to 5 of 430000005, another line in state 3, and others' forecasts.
  Exec("INSERT INTO Previsiones_Cobro (Cod_Empresa, Codigo, CuentaOriginal, Estado, Importe) "
       "VALUES (1, 1, '430000005', 0, 1), (1, 2, '430000005', 1, 10), (1, 3, '430000005', 2, 20), "
       "(1, 4, '430000005', 3, 40), (1, 5, '430000005', 4, 80), (1, 6, '430000005', 5, 160), "
       "(1, 7, '430000005', 3, 0.5), (1, 8, '430000006', 1, 2000), (2, 1, '430000005', 1, 1000)");
  clsCuenta account = NewAccount("430000005");
  EXPECT_EQ(account.Dev_Saldo_Cartera(), Money("150.5"));  // states 1 to 4
  const std::pair<const char*, const char*> totals[] = {
      {"1,2,3,4", "150.5"}, {"1,3", "50.5"}, {" 0 , 5 ", "161"}, {"5", "160"}, {"-1,9", "0"}};
  for (const auto& [list, total] : totals) {
    EXPECT_EQ(account.Dev_Saldo_PrevCobro(list), Money(total)) << list;
  }
  for (const char* list : {"", " ", "1,", ",1", "1,,2", "1 2", "1;2", "a", "1.5", "+1", "--1",
                           "1) OR (1=1", "1); DELETE FROM Previsiones_Cobro; --", "1,\t2"}) {
    TakeStatements();
    EXPECT_VORNEXA_ERROR(account.Dev_Saldo_PrevCobro(list), error_number::kComponent,
                         "Cuentas::Dev_Saldo_PrevCobro",
                         "La lista de estados '" + std::string(list) +
                             "' no es válida: se esperan números enteros separados por comas");
    EXPECT_TRUE(TakeStatements().empty()) << "list '" << list << "'";
  }
  EXPECT_EQ(Count("SELECT Codigo FROM Previsiones_Cobro"), 9);
  account.Cuenta = "430000007";
  EXPECT_EQ(account.Dev_Saldo_Cartera(), Money("0"));
  EXPECT_EQ(account.Dev_Saldo_PrevCobro("1"), Money("0"));
}

// Which dates are impossible is the values suite's; here, that a total refuses
// one at either end before any statement, leaving the caller's values alone.
TEST_P(Balances, ImpossibleDatesAreRefusedBeforeAnyStatement) {
  const Date valid{2024, 2, 29}, bad{2023, 2, 29};
  clsCuenta account = NewAccount("572");
  for (const auto& [from, to] : {std::pair{bad, valid}, std::pair{valid, bad}}) {
    Currency debit{123}, credit{123};
    EXPECT_VORNEXA_ERROR(account.Dev_Acumulado(5, from, to, debit, credit),
                         error_number::kInvalidArgument, "Cuentas::Dev_Acumulado",
                         "Llamada a procedimiento o argumento no válido");
    EXPECT_EQ(TakeStatements(), std::vector<std::string>{});
    EXPECT_EQ(std::make_pair(debit, credit), std::make_pair(Currency{123}, Currency{123}));
  }
}

VORNEXA_ON_ALL_BACKENDS(Balances);

}  // namespace
}  // namespace vornexa::testing
