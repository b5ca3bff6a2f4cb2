// The exact statements each lookup, balance, group and deletion operation
// sends, in order, and their query plans. The text does not depend on the
// database (the drivers translate it), so it is checked once, on the embedded
// one; what the statements do is checked on every backend by the behavioural
// suites.
#include <functional>

#include "support/fixtures.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/data/statement_parameters.h"

namespace vornexa::testing {
namespace {

using Statements = std::vector<std::string>;

const std::string kChart = "FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5";
const std::string kLoad = "SELECT * " + kChart + " AND Cuenta =";
const std::string kStep = "SELECT * " + kChart + " AND Cuenta IN (";
const std::string kExists =
    "SELECT Cuenta FROM Cuentas WITH (NOLOCK) WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
    "Cuenta =";
const std::string kTotals =
    "SELECT ISNULL(SUM(a.Debe), 0) AS Debe, ISNULL(SUM(a.Haber), 0) AS Haber FROM Movimientos a "
    "WITH (NOLOCK) INNER JOIN Asientos b WITH (NOLOCK) ON a.Cod_Empresa = b.Cod_Empresa And "
    "a.Cod_Ejercicio = b.Cod_Ejercicio And a.Cod_Asiento = b.Codigo WHERE a.Cod_Empresa =1 AND "
    "b.Cod_Empresa =1 AND a.Cuenta ='430000005' AND (b.Fecha BETWEEN '2024-01-01' AND "
    "'2024-12-31') AND b.Cierre = 0 AND b.Nulo = 0";
const std::string kForecasts =
    "SELECT ISNULL(SUM(Importe), 0) As Saldo FROM Previsiones_Cobro  WHERE Cod_Empresa=2 AND "
    "CuentaOriginal='430000005' AND Estado ";
const std::string kMovementCheck =
    "SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK) WHERE Cod_Empresa =1 AND "
    "Cod_Ejercicio =5 And Cuenta ='572'";

class StatementText : public BackendTest {
 protected:
  // Every step of the plan of `sql`, and of the parameterised form the driver
  // compiles once, that reads a table seeks through an index and no step
  // sorts: a scan would grow with the chart or the journal.
  void ExpectIndexSeeks(const std::string& sql) {
    const std::optional<ParameterisedStatement> reused = ParameteriseStatement(sql);
    ASSERT_TRUE(reused.has_value()) << sql;
    for (const std::string& form : {sql, reused->skeleton}) {
      std::string plan;
      auto rows = database_->Open("EXPLAIN QUERY PLAN " + TranslateSql(form, Dialect::Sqlite));
      for (; !rows->Eof(); rows->MoveNext()) plan += rows->Field("detail").ToText() + "\n";
      EXPECT_NE(plan.find("SEARCH "), std::string::npos) << form << "\n" << plan;
      for (const char* bad : {"SCAN ", "TEMP B-TREE", "AUTOMATIC"}) {
        EXPECT_EQ(plan.find(bad), std::string::npos) << form << "\n" << plan;
      }
      // Period totals start from the account's lines and reach each entry by
      // its key; a plan that walks the entries of the period grows with the journal.
      if (form.find("FROM Movimientos a") != std::string::npos) {
        EXPECT_TRUE(plan.starts_with("SEARCH a USING ") &&
                    plan.find("INDEX IX_Movimientos_Cuenta (Cod_Empresa=? AND Cuenta=?)\nSEARCH b "
                              "USING INDEX sqlite_autoindex_Asientos_1 (Cod_Empresa=? AND "
                              "Cod_Ejercicio=? AND Codigo=?)\n") != std::string::npos)
            << plan;
      }
    }
  }
};

TEST_P(StatementText, EachOperationSendsItsStatementsExactlyAndEachSeeks) {
  const Date from{2024, 1, 1}, to{2024, 12, 31};
  Currency debe, haber;
  // Dev_Acumulado3 of account 430000005 over 2024 with the given filters.
  const auto totals = [&](const char* amount, const char* variation, const std::string& text,
                          const std::string& document, int16_t department, int16_t journal) {
    NewAccount("430000005").Dev_Acumulado3(5, from, to, Currency::FromDecimal(amount),
                                           Currency::FromDecimal(variation), text, document,
                                           department, journal, debe, haber);
  };
  clsGrupo group = NewGroup(1, 0, "Clientes");
  const std::tuple<const char*, std::function<void()>, Statements> cases[] = {
      {"Cargar, apostrophes doubled, nothing for an empty code",
       [&] { for (const char* code : {"43000001", "O'Brien ''x", ""}) NewAccount(code).Cargar(); },
       {kLoad + "'43000001'", kLoad + "'O''Brien ''''x'"}},
      {"the four steps, apostrophes doubled",
       [&] {
         clsCuenta account = NewAccount("43000001");
         account.Cargar_Anterior(), account.Cargar_Siguiente();
         account.Cargar_Primero(), account.Cargar_Ultimo();
         NewAccount("43'").Cargar_Siguiente();
       },
       {kStep + "SELECT TOP 1 Cuenta " + kChart + " AND Cuenta < '43000001' ORDER BY Cuenta DESC)",
        kStep + "SELECT TOP 1 Cuenta " + kChart + " AND Cuenta > '43000001' ORDER BY Cuenta ASC)",
        kStep + "SELECT ISNULL(MIN(Cuenta), '') AS Cuenta " + kChart + ")",
        kStep + "SELECT ISNULL(MAX(Cuenta), '') AS Cuenta " + kChart + ")",
        kStep + "SELECT TOP 1 Cuenta " + kChart + " AND Cuenta > '43''' ORDER BY Cuenta ASC)"}},
      {"Existe",
       [&] { for (const char* code : {"43000001", "", "4'3"}) NewAccount(code).Existe(); },
       {kExists + "'43000001'", kExists + "''", kExists + "'4''3'"}},
      {"Dev_Acumulado3, every filter in its order, apostrophes doubled",
       [&] { totals("30", "5.25", "O'Brien", "A'1", -2, 7); },
       {kTotals + " AND ((a.Debe Between 24.75 AND 35.25) OR (a.Haber Between 24.75 AND 35.25)) "
                  "AND (a.Concepto LIKE '%O''Brien%') And (a.Documento ='A''1') And (a.Dpto=-2) "
                  "And (a.Diario=7)"}},
      {"Dev_Acumulado and a variation without an amount: no filter",
       [&] {
         NewAccount("430000005").Dev_Acumulado(5, from, to, debe, haber);
         totals("0", "1000", "", "", 0, 0);
       },
       {kTotals, kTotals}},
      {"Dev_Acumulado2, the document number as text",
       [&] {
         clsCuenta account = NewAccount("430000005");
         account.Dev_Acumulado2(5, from, to, {}, {}, "", 0, 0, 0, debe, haber);
         account.Dev_Acumulado2(5, from, to, {}, {}, "", 123, 0, 0, debe, haber);
       },
       {kTotals + " And (a.Documento ='0')", kTotals + " And (a.Documento ='123')"}},
      {"Dev_Saldo, Dev_Apertura and Dev_Periodos",
       [&] {
         NewAccount("572").Dev_Saldo(5), NewAccount("572").Dev_Apertura(5);
         NewAccount("572").Dev_Periodos(5);
       },
       {"SELECT Apertura + D1 + D2 + D3 + D4 + D5 + D6 + D7 + D8 + D9 + D10 + D11 + D12 - H1 - H2 "
        "- H3 - H4 - H5 - H6 - H7 - H8 - H9 - H10 - H11 - H12 AS Saldo FROM Acumulados WITH "
        "(NOLOCK) WHERE Cod_Empresa =1 And Cod_Ejercicio =5 And Cuenta = '572'",
        "SELECT Apertura FROM Acumulados WITH (NOLOCK) WHERE Cod_Empresa =1 And Cod_Ejercicio =5 "
        "And Cuenta = '572'",
        "SELECT Apertura, D1, D2, D3, D4, D5, D6, D7, D8, D9, D10, D11, D12, H1, H2, H3, H4, H5, "
        "H6, H7, H8, H9, H10, H11, H12 FROM Acumulados WITH (NOLOCK) WHERE Cod_Empresa =1 And "
        "Cod_Ejercicio =5 And Cuenta = '572'"}},
      {"Dev_Saldo_PrevCobro and Dev_Saldo_Cartera",
       [&] {
         company_->codigo = 2;
         NewAccount("430000005").Dev_Saldo_PrevCobro("1,3");
         NewAccount("430000005").Dev_Saldo_Cartera();
         company_->codigo = 1;
       },
       {kForecasts + "IN (1,3)", kForecasts + "BETWEEN 1 AND 4"}},
      {"a group's five operations; nothing to delete for group 0",
       [&] {
         group.Codigo = 3;
         group.Insertar(), group.Modificar(), group.Eliminar(), group.Cargar(), group.Existe();
         group.Codigo = 0;
         group.Eliminar();
       },
       {"INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, 'Clientes')",
        "UPDATE Cuentas_Grupos SET Nombre ='Clientes' WHERE Cod_Empresa =1 AND Codigo =3",
        "SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3",
        "DELETE FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3",
        "SELECT Nombre FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3",
        "SELECT Codigo FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3"}},
      {"Posee_Movimientos and Eliminar",
       [&] { NewAccount("572").Posee_Movimientos(), NewAccount("572").Eliminar(); },
       {kMovementCheck, kMovementCheck, "DELETE " + kChart + " AND Cuenta ='572'",
        "DELETE FROM Acumulados WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta ='572'",
        "DELETE FROM Acumulados_Dpto WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta ='572'"}},
      {"Reparar_Acumulado: a missing row is inserted, an existing one updated",
       [&] {
         company_->ejercicios = {6, 7};
         Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (1, 7, "
              "'43000001', 0)");
         NewAccount("43000001").Reparar_Acumulado();
       },
       {"UPDATE Acumulados SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =6 AND Cuenta = "
        "'43000001'",
        "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (1, 6, "
        "'43000001', 5)",
        "UPDATE Acumulados SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta = "
        "'43000001'"}},
  };
  for (const auto& [operation, run, expected] : cases) {
    TakeStatements();
    run();
    const Statements sent = TakeStatements();
    EXPECT_EQ(sent, expected) << operation;
    for (const std::string& sql : sent) {
      if (!sql.starts_with("INSERT")) ExpectIndexSeeks(sql);
    }
  }
}

VORNEXA_ON_EMBEDDED(StatementText);

}  // namespace
}  // namespace vornexa::testing
