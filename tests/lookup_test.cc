// Stepping through the chart (previous, first, next, last) into the object
// itself or another account object, the existence test, and the query plans
// that keep every lookup an index seek on the embedded database.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/fixtures.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/data/statement_parameters.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::testing {
namespace {

class Navigation : public BackendTest {
 protected:
  // The chart of company 1, exercise 5, with codes of other companies and
  // exercises lying between them.
  void InsertChart() {
    for (const char* code : {"44", "430", "4", "43000001", "43"}) {
      InsertAccountRow(1, 5, code, std::string("Cuenta ") + code);
    }
    InsertAccountRow(1, 4, "431", "Otro ejercicio");
    InsertAccountRow(1, 4, "3", "Otro ejercicio");
    InsertAccountRow(1, 4, "45", "Otro ejercicio");
    InsertAccountRow(2, 5, "4300", "Otra empresa");
    InsertAccountRow(2, 5, "40", "Otra empresa");
    InsertAccountRow(2, 5, "5", "Otra empresa");
  }

  // Codes loaded by repeating `step` on one account until it finds nothing.
  std::vector<std::string> Walk(bool (clsCuenta::*step)(clsCuenta*), clsCuenta& account) {
    std::vector<std::string> codes;
    while ((account.*step)(nullptr)) codes.push_back(account.Cuenta);
    return codes;
  }
};

TEST_P(Navigation, RunsTheStatementOfEachStep) {
  clsCuenta account = NewAccount("43000001");
  EXPECT_FALSE(account.Cargar_Anterior());
  EXPECT_FALSE(account.Cargar_Siguiente());
  EXPECT_FALSE(account.Cargar_Primero());
  EXPECT_FALSE(account.Cargar_Ultimo());
  EXPECT_EQ(TakeStatements(),
            (std::vector<std::string>{
                "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
                "(SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
                "Cuenta < '43000001' ORDER BY Cuenta DESC)",
                "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
                "(SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
                "Cuenta > '43000001' ORDER BY Cuenta ASC)",
                "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
                "(SELECT ISNULL(MIN(Cuenta), '') AS Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND "
                "Cod_Ejercicio =5)",
                "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
                "(SELECT ISNULL(MAX(Cuenta), '') AS Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND "
                "Cod_Ejercicio =5)"}));
}

TEST_P(Navigation, KeepsAStartingCodeInsideItsLiteral) {
  InsertChart();
  clsCuenta account = NewAccount("43'");
  ASSERT_TRUE(account.Cargar_Siguiente());
  EXPECT_EQ(account.Cuenta, "430");  // the apostrophe sorts before the digits
  EXPECT_EQ(TakeStatements().at(0),
            "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
            "(SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
            "Cuenta > '43''' ORDER BY Cuenta ASC)");
}

TEST_P(Navigation, WalksTheChartInCodeOrderWithinTheActiveExercise) {
  InsertChart();
  clsCuenta account = NewAccount();
  ASSERT_TRUE(account.Cargar_Primero());
  EXPECT_EQ(account.Cuenta, "4");
  EXPECT_EQ(account.Nombre, "Cuenta 4");
  EXPECT_EQ(Walk(&clsCuenta::Cargar_Siguiente, account),
            (std::vector<std::string>{"43", "430", "43000001", "44"}));
  // The step that finds nothing leaves the account on the last one.
  EXPECT_EQ(account.Cuenta, "44");
  EXPECT_EQ(account.Nombre, "Cuenta 44");

  ASSERT_TRUE(account.Cargar_Ultimo());
  EXPECT_EQ(account.Cuenta, "44");
  EXPECT_EQ(Walk(&clsCuenta::Cargar_Anterior, account),
            (std::vector<std::string>{"43000001", "430", "43", "4"}));
  EXPECT_EQ(account.Cuenta, "4");
  EXPECT_EQ(account.Nombre, "Cuenta 4");
}

TEST_P(Navigation, StepsFromSingleCodes) {
  InsertChart();
  const struct {
    const char* start;
    bool (clsCuenta::*step)(clsCuenta*);
    const char* loaded;
  } steps[] = {
      {"43", &clsCuenta::Cargar_Siguiente, "430"},
      {"44", &clsCuenta::Cargar_Anterior, "43000001"},
      // A starting code that is no account: its neighbours in text order.
      {"43500000", &clsCuenta::Cargar_Siguiente, "44"},
      {"43500000", &clsCuenta::Cargar_Anterior, "43000001"},
      // An empty starting code lies before every account.
      {"", &clsCuenta::Cargar_Siguiente, "4"},
  };
  clsCuenta account = NewAccount();
  for (const auto& step : steps) {
    account.Cuenta = step.start;
    ASSERT_TRUE((account.*step.step)(nullptr)) << "from '" << step.start << "'";
    EXPECT_EQ(account.Cuenta, step.loaded) << "from '" << step.start << "'";
    EXPECT_EQ(account.Nombre, std::string("Cuenta ") + step.loaded);
  }
  account.Cuenta = "";
  account.Nombre = "sin cargar";
  EXPECT_FALSE(account.Cargar_Anterior());
  EXPECT_EQ(account.Cuenta, "");
  EXPECT_EQ(account.Nombre, "sin cargar");
}

TEST_P(Navigation, FindsNothingInAnExerciseWithoutAccounts) {
  InsertChart();
  company_->ejercicio = 6;
  clsCuenta account = NewAccount("43");
  account.Nombre = "sin cargar";
  EXPECT_FALSE(account.Cargar_Primero());
  EXPECT_FALSE(account.Cargar_Ultimo());
  EXPECT_FALSE(account.Cargar_Siguiente());
  EXPECT_FALSE(account.Cargar_Anterior());
  EXPECT_EQ(account.Cuenta, "43");
  EXPECT_EQ(account.Nombre, "sin cargar");
}

TEST_P(Navigation, LoadsIntoADestinationWithThisObjectsCompany) {
  InsertChart();
  clsCuenta self = NewAccount("4");
  self.Nombre = "propia";
  clsCuenta destination;  // no company of its own
  destination.Cuenta = "430";
  ASSERT_TRUE(self.Cargar_Siguiente(&destination));
  EXPECT_EQ(destination.Cuenta, "43000001");
  EXPECT_EQ(destination.Nombre, "Cuenta 43000001");
  EXPECT_EQ(destination.IdMandato, "0143000001");  // this object's company code
  EXPECT_EQ(self.Cuenta, "4");
  EXPECT_EQ(self.Nombre, "propia");

  // A destination's own company is never asked: company 2 has 4300 and 5.
  destination.cEmpresa(MakeCompany(2, 5));
  ASSERT_TRUE(self.Cargar_Anterior(&destination));
  EXPECT_EQ(destination.Cuenta, "430");
  ASSERT_TRUE(self.Cargar_Ultimo(&destination));
  EXPECT_EQ(destination.Cuenta, "44");
  ASSERT_TRUE(self.Cargar_Primero(&destination));
  EXPECT_EQ(destination.Cuenta, "4");
  EXPECT_EQ(self.Nombre, "propia");

  destination.Nombre = "sin cargar";
  EXPECT_FALSE(self.Cargar_Anterior(&destination));
  EXPECT_EQ(destination.Cuenta, "4");
  EXPECT_EQ(destination.Nombre, "sin cargar");

  // The object itself may be its own destination.
  ASSERT_TRUE(self.Cargar_Siguiente(&self));
  EXPECT_EQ(self.Cuenta, "43");
}

VORNEXA_ON_ALL_BACKENDS(Navigation);

class Existence : public BackendTest {};

TEST_P(Existence, FindsOnlyRowsOfTheActiveExerciseWithCodesInsideTheirLiteral) {
  InsertAccountRow(1, 5, "43000001", "Cliente");
  InsertAccountRow(1, 4, "43000002", "Otro ejercicio");
  InsertAccountRow(2, 5, "43000003", "Otra empresa");
  clsCuenta account = NewAccount("43000001");
  EXPECT_TRUE(account.Existe());
  EXPECT_EQ(account.Nombre, "");  // nothing is loaded
  for (const char* absent : {"43000002", "43000003", "", "4'3"}) {
    account.Cuenta = absent;
    EXPECT_FALSE(account.Existe()) << absent;
  }
  const std::string head =
      "SELECT Cuenta FROM Cuentas WITH (NOLOCK) WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
      "Cuenta =";
  const std::vector<std::string> statements = TakeStatements();
  ASSERT_EQ(statements.size(), 5u);
  EXPECT_EQ(statements[0], head + "'43000001'");
  EXPECT_EQ(statements[3], head + "''");
  EXPECT_EQ(statements[4], head + "'4''3'");
}

VORNEXA_ON_ALL_BACKENDS(Existence);

// The embedded database must serve every lookup and balance with an index
// seek: a scan of Cuentas, Movimientos or Acumulados would grow with the chart.
class QueryPlans : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = OpenSqlite(":memory:");
    CreateSchema(*database_);
    recorder_ = std::make_shared<RecordingConnection>(database_);
    ReplaceSharedConnection(recorder_);
    account_.cEmpresa(MakeCompany());
    account_.Cuenta = "43000001";
  }
  void TearDown() override { ReplaceSharedConnection(nullptr); }

  // The statements `operation` ran, in order.
  template <typename Operation>
  std::vector<std::string> StatementsOf(Operation operation) {
    recorder_->Clear();
    operation();
    return recorder_->statements();
  }

  // Every step of the plan of `sql` that reads a table seeks through an
  // index, and no step sorts: as text and in the parameterised form the
  // driver compiles once and reuses.
  void ExpectIndexSeeks(const std::string& sql) {
    const std::optional<ParameterisedStatement> reused = ParameteriseStatement(sql);
    ASSERT_TRUE(reused.has_value()) << sql;
    ExpectIndexSeeksInPlan(sql);
    ExpectIndexSeeksInPlan(reused->skeleton);
  }
  void ExpectIndexSeeksInPlan(const std::string& sql) {
    std::vector<std::string> plan;
    std::string joined = sql + "\n";
    auto rows = database_->Open("EXPLAIN QUERY PLAN " + TranslateSql(sql, Dialect::Sqlite));
    for (; !rows->Eof(); rows->MoveNext()) {
      plan.push_back(rows->Field("detail").ToText());
      joined += plan.back() + "\n";
    }
    int seeks = 0;
    for (const std::string& step : plan) {
      EXPECT_NE(step.rfind("SCAN", 0), 0u) << joined;
      EXPECT_EQ(step.find("TEMP B-TREE"), std::string::npos) << joined;
      if (step.rfind("SEARCH", 0) == 0) {
        ++seeks;
        EXPECT_TRUE(step.find("USING INDEX") != std::string::npos ||
                    step.find("USING COVERING INDEX") != std::string::npos ||
                    step.find("USING PRIMARY KEY") != std::string::npos)
            << joined;
      }
    }
    EXPECT_GT(seeks, 0) << joined;
  }

  // The period totals start from the account's lines and reach each entry by
  // its key; a plan that walks the entries of the period grows with the journal.
  template <typename Operation>
  void ExpectTotalsFromTheAccount(Operation operation) {
    const std::vector<std::string> statements = StatementsOf(operation);
    ASSERT_EQ(statements.size(), 1u);
    ExpectIndexSeeks(statements[0]);
    for (const std::string& form : {statements[0], ParameteriseStatement(statements[0])->skeleton}) {
      ExpectPlanStartsFromTheAccount(TranslateSql(form, Dialect::Sqlite));
    }
  }
  void ExpectPlanStartsFromTheAccount(const std::string& sql) {
    auto rows = database_->Open("EXPLAIN QUERY PLAN " + sql);
    ASSERT_FALSE(rows->Eof());
    const std::string first = rows->Field("detail").ToText();
    EXPECT_EQ(first.rfind("SEARCH a USING", 0), 0u) << first;
    EXPECT_NE(first.find("IX_Movimientos_Cuenta (Cod_Empresa=? AND Cuenta=?)"), std::string::npos)
        << first;
    rows->MoveNext();
    ASSERT_FALSE(rows->Eof());
    EXPECT_NE(rows->Field("detail").ToText().find(
                  "SEARCH b USING INDEX sqlite_autoindex_Asientos_1 (Cod_Empresa=? AND "
                  "Cod_Ejercicio=? AND Codigo=?)"),
              std::string::npos);
  }

  template <typename Operation>
  void ExpectIndexSeeksIn(Operation operation) {
    const std::vector<std::string> statements = StatementsOf(operation);
    ASSERT_FALSE(statements.empty());
    for (const std::string& sql : statements) ExpectIndexSeeks(sql);
  }

  std::shared_ptr<Connection> database_;
  std::shared_ptr<RecordingConnection> recorder_;
  clsCuenta account_;
};

TEST_F(QueryPlans, AccountLookupsSeek) {
  ExpectIndexSeeksIn([&] { account_.Cargar(); });
  ExpectIndexSeeksIn([&] { account_.Existe(); });
  ExpectIndexSeeksIn([&] { account_.Cargar_Anterior(); });
  ExpectIndexSeeksIn([&] { account_.Cargar_Siguiente(); });
  ExpectIndexSeeksIn([&] { account_.Cargar_Primero(); });
  ExpectIndexSeeksIn([&] { account_.Cargar_Ultimo(); });
}

TEST_F(QueryPlans, BalancesSeek) {
  Currency debe, haber;
  ExpectTotalsFromTheAccount([&] {
    account_.Dev_Acumulado(5, {2024, 1, 1}, {2024, 12, 31}, debe, haber);
  });
  ExpectTotalsFromTheAccount([&] {
    account_.Dev_Acumulado3(5, {2024, 1, 1}, {2024, 12, 31}, Currency::FromDecimal("100"),
                            Currency::FromDecimal("5"), "ALQUILER", "A1", 2, 1, debe, haber);
  });
  ExpectIndexSeeksIn([&] { account_.Dev_Apertura(5); });
  ExpectIndexSeeksIn([&] { account_.Dev_Saldo(5); });
  ExpectIndexSeeksIn([&] { account_.Dev_Saldo_Cartera(); });
  ExpectIndexSeeksIn([&] { account_.Dev_Saldo_PrevCobro("1,3"); });
}

TEST_F(QueryPlans, GroupStatementsSeek) {
  clsGrupo group;
  group.Empresa = 1;
  group.Codigo = 3;
  // Eliminar runs its in-use check over Cuentas, then its delete.
  EXPECT_EQ(StatementsOf([&] { group.Eliminar(); }).size(), 2u);
  ExpectIndexSeeksIn([&] { group.Eliminar(); });
  ExpectIndexSeeksIn([&] { group.Cargar(); });
  ExpectIndexSeeksIn([&] { group.Existe(); });
  ExpectIndexSeeksIn([&] { group.Modificar(); });
}

}  // namespace
}  // namespace vornexa::testing
