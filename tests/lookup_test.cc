// Stepping through the chart (previous, first, next, last) into the object
// itself or another account object, and the existence test.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Lookup : public BackendTest {
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

TEST_P(Lookup, WalksTheChartInCodeOrderWithinTheActiveExercise) {
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

TEST_P(Lookup, StepsFromSingleCodes) {
  InsertChart();
  const struct {
    const char* start;
    bool (clsCuenta::*step)(clsCuenta*);
    const char* loaded;
  } steps[] = {
      {"43", &clsCuenta::Cargar_Siguiente, "430"},
      {"44", &clsCuenta::Cargar_Anterior, "43000001"},
      // The apostrophe stays inside its literal and sorts before the digits.
      {"43'", &clsCuenta::Cargar_Siguiente, "430"},
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
  // Nothing before the empty code, nothing at all in an exercise without
  // accounts: the object keeps what it held.
  account.Cuenta = "";
  account.Nombre = "sin cargar";
  EXPECT_FALSE(account.Cargar_Anterior());
  company_->ejercicio = 6;
  account.Cuenta = "43";
  for (auto step : {&clsCuenta::Cargar_Primero, &clsCuenta::Cargar_Ultimo,
                    &clsCuenta::Cargar_Siguiente, &clsCuenta::Cargar_Anterior}) {
    EXPECT_FALSE((account.*step)(nullptr));
  }
  EXPECT_EQ(account.Cuenta, "43");
  EXPECT_EQ(account.Nombre, "sin cargar");
}

TEST_P(Lookup, LoadsIntoADestinationWithThisObjectsCompany) {
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

TEST_P(Lookup, ExistenceSeesOnlyTheActiveExerciseAndKeepsCodesInsideTheirLiteral) {
  InsertAccountRow(1, 5, "43000001", "Cliente");
  InsertAccountRow(1, 4, "43000002", "Otro ejercicio");
  InsertAccountRow(2, 5, "43000003", "Otra empresa");
  clsCuenta account = NewAccount("43000001");
  EXPECT_TRUE(account.Existe());
  EXPECT_EQ(account.Nombre, "");  // nothing is loaded
  for (const char* absent : {"43000002", "43000003", "", "4'3", "x' OR '1'='1"}) {
    account.Cuenta = absent;
    EXPECT_FALSE(account.Existe()) << absent;
  }
}

VORNEXA_ON_ALL_BACKENDS(Lookup);

}  // namespace
}  // namespace vornexa::testing
