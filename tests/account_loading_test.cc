// Loading accounts: stepping through the chart into the object itself or
// another one; by code, with the derived mandate id; existence; rows that stop
// a load partway. Every field's own member is checked by saving a filled
// account and loading it back (maintenance_test.cc).
#include "accounts_fixture.h"

namespace vornexa::testing {
namespace {

class AccountLoading : public BackendTest {
 protected:
  // The chart of company 1, exercise 5, with other companies' and exercises' codes between.
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
enum class Into { kItself, kOther, kSelfGiven };  // no destination, another object, itself

TEST_P(AccountLoading, EachStepLoadsTheNeighbourInCodeOrderOrKeepsWhatTheObjectHeld) {
  const struct {
    const char* start;
    Step step;
    const char* loaded;  // nullptr: nothing found
    Into into = Into::kItself;
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
      // Into another object, from its code, with this object's company: the
      // other's own (company 2, with 4300, 40 and 5) is never asked.
      {"430", kNext, "43000001", Into::kOther}, {"430", kPrevious, "43", Into::kOther},
      {"", kFirst, "4", Into::kOther}, {"", kLast, "44", Into::kOther},
      {"4", kPrevious, nullptr, Into::kOther}, {"4", kNext, "43", Into::kSelfGiven},
  };
  clsCuenta account = NewAccount();
  clsCuenta other;
  other.cEmpresa(MakeCompany(2, 5));
  for (const auto& s : steps) {
    SCOPED_TRACE(::testing::Message() << "case " << &s - steps << ", from '" << s.start
                                      << "' to " << (s.loaded ? s.loaded : "nothing"));
    clsCuenta& target = s.into == Into::kOther ? other : account;
    account.Cuenta = "44";  // where this object stands matters only for its own steps
    target.Cuenta = s.start;
    account.Nombre = target.Nombre = "sin cargar";
    EXPECT_EQ((account.*s.step)(s.into == Into::kItself ? nullptr : &target), s.loaded != nullptr);
    EXPECT_EQ(target.Cuenta, s.loaded ? s.loaded : s.start);
    EXPECT_EQ(target.Nombre, s.loaded ? std::string("Cuenta ") + s.loaded : "sin cargar");
    if (s.loaded) EXPECT_EQ(target.IdMandato, std::string("01") + s.loaded);  // company 1's
    if (s.into == Into::kOther) EXPECT_EQ(account.Cuenta + account.Nombre, "44sin cargar");
  }
  // An exercise without accounts has nothing to step to.
  company_->ejercicio = 6;
  for (Step step : {kFirst, kLast, kNext, kPrevious}) EXPECT_FALSE((account.*step)(nullptr));
  EXPECT_EQ(account.Cuenta + " " + account.Nombre, "43 Cuenta 43");
}

// Company 1's two digits show in the steps above; a longer code is not cut.
TEST_P(AccountLoading, DerivesAnEmptyOrBlankMandateIdFromTheCompanyCodeAndTheAccountCode) {
  company_->codigo = 123;
  for (const auto& [stored, loaded] : {std::pair{"   ", "12343000001"}, {" M 1 ", " M 1 "}}) {
    Exec("UPDATE Cuentas SET Cod_Empresa = 123, IDMandato = '" + std::string(stored) +
         "' WHERE Cuenta = '43000001'");
    clsCuenta account = NewAccount("43000001");
    ASSERT_TRUE(account.Cargar());
    EXPECT_EQ(account.IdMandato, loaded) << "'" << stored << "'";
  }
}

TEST_P(AccountLoading, ExistsAndLoadsOnlyTheActiveExercisesRowAndOtherwiseChangesNothing) {
  clsCuenta found = NewAccount("43000001");
  EXPECT_TRUE(found.Existe());
  EXPECT_EQ(found.Nombre, "");  // nothing is loaded
  // Another exercise's, another company's, none, and codes crafted to end the
  // literal early, which find nothing and run nothing of their own.
  for (const char* code :
       {"431", "4300", "", "4'3", "x' OR '1'='1", "x'; DELETE FROM Cuentas; --"}) {
    clsCuenta account = NewAccount(code);
    account.Nombre = "sin cargar";
    account.Cp = 123;
    const std::string before = Describe(account);
    EXPECT_FALSE(account.Existe()) << code;
    EXPECT_FALSE(account.Cargar()) << code;
    EXPECT_EQ(Describe(account), before);
  }
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 11);
}

VORNEXA_ON_ALL_BACKENDS(AccountLoading);

// Rows the real table cannot hold (NULLs, out-of-range numbers, missing
// columns) come from a permissive copy of it in the embedded database.
class AccountLoadingFromLooseRows : public BackendTest {};

TEST_P(AccountLoadingFromLooseRows, AValueOfTheWrongKindOrAMissingColumnStopsTheLoadAtItsStep) {
  Exec("CREATE TABLE Loose AS SELECT * FROM Cuentas");  // the columns without their constraints
  Exec("DROP TABLE Cuentas");
  Exec("ALTER TABLE Loose RENAME TO Cuentas");
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, ContDebe, ContHaber, Nivel, Nif) "
       "VALUES (1, 5, '572', 'D', 'H', 3, 'B1')");
  namespace err = error_number;
  // Each change, the error it gives, and ContDebe, ContHaber, Nivel, Nif,
  // Nombre and Direccion afterwards.
  const std::tuple<const char*, int32_t, const char*> cases[] = {
      // Steps before Nombre hold the new row; Nombre and later steps keep theirs.
      {"UPDATE Cuentas SET Nombre = NULL", err::kInvalidUseOfNull, "D H 3 B1 old old"},
      {"UPDATE Cuentas SET Nombre = 'n', Nivel = 40000", err::kOverflow, "D H 0 old old old"},
      {"UPDATE Cuentas SET Nivel = 'tres'", err::kTypeMismatch, "D H 0 old old old"},
      {"ALTER TABLE Cuentas DROP COLUMN ContHaber", err::kItemNotFound, "D old 0 old old old"},
  };
  for (const auto& [change, number, fields] : cases) {
    Exec(change);
    clsCuenta account = NewAccount("572");
    account.ContDebe = account.ContHaber = account.Nif = account.Nombre = account.Direccion = "old";
    EXPECT_VORNEXA_ERROR(account.Cargar(), number, "Cuentas::Cargar",
                         std::string(StandardDescription(number)));
    EXPECT_EQ(account.ContDebe + " " + account.ContHaber + " " + std::to_string(account.Nivel) +
                  " " + account.Nif + " " + account.Nombre + " " + account.Direccion,
              fields)
        << change;
  }
}

VORNEXA_ON_EMBEDDED(AccountLoadingFromLooseRows);

}  // namespace
}  // namespace vornexa::testing
