// Stepping through the chart (previous, first, next, last) into the object
// itself or another account object, and the existence test.
#include <gtest/gtest.h>

#include <string>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Lookup : public BackendTest {
 protected:
  // The chart of company 1, exercise 5, with codes of other companies and
  // exercises lying between them.
  void SetUp() override {
    BackendTest::SetUp();
    for (const char* code : {"44", "430", "4", "43000001", "43"}) {
      InsertAccountRow(1, 5, code, std::string("Cuenta ") + code);
    }
    for (const char* code : {"431", "3", "45"}) InsertAccountRow(1, 4, code, "Otro ejercicio");
    for (const char* code : {"4300", "40", "5"}) InsertAccountRow(2, 5, code, "Otra empresa");
  }
};

using Step = bool (clsCuenta::*)(clsCuenta*);
constexpr Step kPrevious = &clsCuenta::Cargar_Anterior, kFirst = &clsCuenta::Cargar_Primero,
               kNext = &clsCuenta::Cargar_Siguiente, kLast = &clsCuenta::Cargar_Ultimo;

TEST_P(Lookup, EachStepLoadsTheNeighbourInCodeOrderOrKeepsWhatTheObjectHeld) {
  const struct {
    const char* start;
    Step step;
    const char* loaded;  // nullptr: nothing found
  } steps[] = {
      {"43", kFirst, "4"}, {"43", kLast, "44"}, {"4", kNext, "43"}, {"43", kNext, "430"},
      {"430", kNext, "43000001"}, {"43000001", kNext, "44"}, {"44", kNext, nullptr},
      {"44", kPrevious, "43000001"}, {"430", kPrevious, "43"}, {"43", kPrevious, "4"},
      {"4", kPrevious, nullptr},
      // The apostrophe stays inside its literal and sorts before the digits.
      {"43'", kNext, "430"},
      // A starting code that is no account: its neighbours in text order.
      {"43500000", kNext, "44"}, {"43500000", kPrevious, "43000001"},
      // An empty starting code lies before every account.
      {"", kNext, "4"}, {"", kPrevious, nullptr},
  };
  clsCuenta account = NewAccount();
  for (const auto& s : steps) {
    SCOPED_TRACE(::testing::Message() << "from '" << s.start << "' to " << (s.loaded ? s.loaded : "nothing"));
    account.Cuenta = s.start;
    account.Nombre = "sin cargar";
    EXPECT_EQ((account.*s.step)(nullptr), s.loaded != nullptr);
    EXPECT_EQ(account.Cuenta, s.loaded ? s.loaded : s.start);
    EXPECT_EQ(account.Nombre, s.loaded ? std::string("Cuenta ") + s.loaded : "sin cargar");
  }
  // An exercise without accounts has nothing to step to.
  company_->ejercicio = 6;
  for (Step step : {kFirst, kLast, kNext, kPrevious}) EXPECT_FALSE((account.*step)(nullptr));
  EXPECT_EQ(account.Nombre, "sin cargar");
}

TEST_P(Lookup, LoadsIntoADestinationWithThisObjectsCompany) {
  clsCuenta self = NewAccount("4");
  self.Nombre = "propia";
  clsCuenta destination;  // no company of its own
  destination.Cuenta = "430";
  ASSERT_TRUE(self.Cargar_Siguiente(&destination));
  EXPECT_EQ(destination.Cuenta, "43000001");
  EXPECT_EQ(destination.Nombre, "Cuenta 43000001");
  EXPECT_EQ(destination.IdMandato, "0143000001");  // this object's company code

  // A destination's own company is never asked: company 2 has 4300 and 5.
  destination.cEmpresa(MakeCompany(2, 5));
  const std::pair<Step, const char*> steps[] = {{kPrevious, "430"}, {kLast, "44"}, {kFirst, "4"}};
  for (const auto& [step, loaded] : steps) {
    EXPECT_TRUE((self.*step)(&destination));
    EXPECT_EQ(destination.Cuenta, loaded);
  }
  destination.Nombre = "sin cargar";
  EXPECT_FALSE(self.Cargar_Anterior(&destination));
  EXPECT_EQ(destination.Cuenta + destination.Nombre, "4sin cargar");
  EXPECT_EQ(self.Cuenta + self.Nombre, "4propia");

  // The object itself may be its own destination.
  ASSERT_TRUE(self.Cargar_Siguiente(&self));
  EXPECT_EQ(self.Cuenta, "43");
}

TEST_P(Lookup, ExistenceSeesOnlyTheActiveExerciseAndKeepsCodesInsideTheirLiteral) {
  clsCuenta account = NewAccount("43000001");
  EXPECT_TRUE(account.Existe());
  EXPECT_EQ(account.Nombre, "");  // nothing is loaded
  for (const char* absent : {"431", "4300", "", "4'3", "x' OR '1'='1"}) {
    account.Cuenta = absent;
    EXPECT_FALSE(account.Existe()) << absent;
  }
}

VORNEXA_ON_ALL_BACKENDS(Lookup);

}  // namespace
}  // namespace vornexa::testing
