// One creation in one exercise, and one deletion, happen whole or not at
// all: every statement of each is made to fail in turn, and the database
// afterwards holds the whole account or nothing of it.
#include <gtest/gtest.h>

#include "maintenance_fixture.h"

namespace vornexa::testing {
namespace {

class AccountAtomicity : public MaintenanceTest {
 protected:
  void SetUp() override {
    MaintenanceTest::SetUp();
    AddDepartments({1, 2, 3});
    InsertAccountRow(1, 5, "4300");
  }

  static Error Injected(size_t index) {
    return Rejected("fallo inyectado en la instrucción " + std::to_string(index));
  }

  // Makes statement `index` of `operation` fail; true when the operation
  // failed, with the injected error under `source`.
  template <typename Operation>
  bool FailsAt(size_t index, Operation operation, const std::string& source) {
    TakeStatements();
    recorder_->FailStatement(index, Injected(index));
    try {
      operation();
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), error_number::kStatementRejected) << index;
      EXPECT_EQ(e.Source(), source) << index;
      EXPECT_EQ(e.Description(), Injected(index).Description()) << index;
      return true;
    }
    recorder_->ClearFailure();  // the index lay beyond the operation's last statement
    return false;
  }

  // Fails each statement of `operation` in turn, expecting the rows of
  // account `code` in exercise 5 to be `unchanged` after each failure, then
  // lets it run through. Returns how many statements it has.
  template <typename Operation>
  size_t SweepFailures(Operation operation, const std::string& source, const std::string& code,
                       AccountRows unchanged) {
    size_t index = 0;
    while (FailsAt(index, operation, source)) {
      EXPECT_EQ(RowsOf(5, code), unchanged) << "failing statement " << index;
      ++index;
    }
    return index;
  }
};

TEST_P(AccountAtomicity, ACreationFailingAtAnyStatementLeavesNothingOfTheAccount) {
  clsCuenta account = NewAccount("43000001");
  // update, upper check, insert, accumulator update and insert, departments,
  // and an update and an insert for each of the three departments.
  EXPECT_EQ(SweepFailures([&] { account.Insertar(); }, "Cuentas::Insertar", "43000001",
                          AccountRows{0, 0, 0}),
            12u);
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 3}));
}

TEST_P(AccountAtomicity, ADeletionFailingAtAnyStatementLeavesTheWholeAccount) {
  SeedAccount(5, "572", {1, 2, 3});
  clsCuenta account = NewAccount("572");
  // movement check and three deletes
  EXPECT_EQ(
      SweepFailures([&] { account.Eliminar(); }, "Cuentas::Eliminar", "572", AccountRows{1, 1, 3}),
      4u);
  EXPECT_EQ(RowsOf(5, "572"), (AccountRows{0, 0, 0}));
}

TEST_P(AccountAtomicity, ASaveOverSeveralExercisesKeepsTheExercisesSavedBeforeAFailure) {
  company_->ejercicios = {5, 6};
  company_->multi_ejercicio = true;
  InsertAccountRow(1, 6, "4300");
  clsCuenta account = NewAccount("43000001");
  // Exercise 5 takes twelve statements; the fifth of exercise 6 inserts its accumulator row.
  EXPECT_TRUE(FailsAt(
      16, [&] { account.Modificar(); }, "Cuentas::Modificar"));
  EXPECT_EQ(recorder_->statements().back().rfind("INSERT INTO Acumulados (", 0), 0u);
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 3}));
  EXPECT_EQ(RowsOf(6, "43000001"), (AccountRows{0, 0, 0}));
}

TEST_P(AccountAtomicity, NestsInsideTheCallersOwnAtomicScope) {
  clsCuenta account = NewAccount("43000001");
  {
    // A failed creation inside the caller's scope undoes only itself.
    AtomicScope caller(*recorder_);
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'Clientes')");
    EXPECT_TRUE(FailsAt(
        9, [&] { account.Insertar(); }, "Cuentas::Insertar"));
    caller.Commit();
  }
  EXPECT_EQ(Count("SELECT Codigo FROM Cuentas_Grupos"), 1);
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{0, 0, 0}));
  {
    // A creation that succeeded is undone with the caller's scope.
    AtomicScope caller(*recorder_);
    EXPECT_TRUE(account.Insertar());
  }
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{0, 0, 0}));
  EXPECT_TRUE(account.Insertar());
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 3}));
}

VORNEXA_ON_ALL_BACKENDS(AccountAtomicity);

}  // namespace
}  // namespace vornexa::testing
