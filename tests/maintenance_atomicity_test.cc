// Each maintenance operation in one exercise happens whole or not at all:
// every statement of it is made to fail in turn, and the database afterwards
// holds what it held before. A save or repair over several exercises keeps
// the exercises done before a failure, and an operation inside the caller's
// own atomic scope undoes only itself. The failure reaches the caller under
// the operation's source with the database's state and native code.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "accounts_fixture.h"

namespace vornexa::testing {
namespace {

class Atomicity : public AccountsTest {
 protected:
  void SetUp() override {
    AccountsTest::SetUp();
    Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2), (1, 3)");
    InsertAccountRow(1, 5, "4300");
  }

  // Makes statement `index` of `run` fail; true when the operation failed
  // with the injected error, renamed to `source` and otherwise as the
  // database gave it; false when it has fewer statements.
  bool FailsAt(size_t index, const std::function<void()>& run, const std::string& source) {
    const std::string description = "fallo inyectado en la instrucción " + std::to_string(index);
    TakeStatements();
    recorder_->FailStatement(index, Error(error_number::kStatementRejected, "Vornexa.Data",
                                          description, "42000", 156));
    try {
      run();
    } catch (const Error& e) {
      EXPECT_EQ(std::make_tuple(e.Number(), e.Source(), e.Description(), e.SqlState(),
                                e.NativeError()),
                std::make_tuple(error_number::kStatementRejected, source, description,
                                std::string("42000"), 156));
      return true;
    }
    recorder_->ClearFailure();
    return false;
  }
};

TEST_P(Atomicity, AFailureAtAnyStatementLeavesTheAccountAsItWas) {
  SeedAccount(5, "572", {1, 2, 3});
  const struct {
    const char* source;
    const char* code;
    std::function<void(clsCuenta&)> run;
    AccountRows before, after;
    // Creation: update, upper check, insert, accumulator update and insert,
    // departments, then an update and an insert per department.
    // Deletion: movement check and three deletes. Repair: update and insert.
    size_t statements;
  } cases[] = {
      {"Cuentas::Insertar", "43000001", [](clsCuenta& a) { a.Insertar(); }, {}, {1, 1, 3}, 12},
      {"Cuentas::Modificar", "43000002", [](clsCuenta& a) { a.Modificar(); }, {}, {1, 1, 3}, 12},
      {"Cuentas::Eliminar", "572", [](clsCuenta& a) { a.Eliminar(); }, {1, 1, 3}, {}, 4},
      {"Cuentas::Reparar_Acumulado", "43000003", [](clsCuenta& a) { a.Reparar_Acumulado(); },
       {}, {0, 1, 0}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    clsCuenta account = NewAccount(c.code);
    size_t index = 0;
    while (FailsAt(index, [&] { c.run(account); }, c.source)) {
      EXPECT_EQ(RowsOf(5, c.code), c.before) << "failing statement " << index;
      ++index;
    }
    EXPECT_EQ(index, c.statements);
    EXPECT_EQ(RowsOf(5, c.code), c.after);
  }
}

TEST_P(Atomicity, AFailureInALaterExerciseKeepsTheEarlierOnes) {
  company_->ejercicios = {5, 6};
  company_->multi_ejercicio = true;
  InsertAccountRow(1, 6, "4300");
  // Exercise 5 takes twelve statements; the fifth of exercise 6 inserts its accumulator row.
  clsCuenta account = NewAccount("43000001");
  EXPECT_TRUE(FailsAt(16, [&] { account.Modificar(); }, "Cuentas::Modificar"));
  EXPECT_TRUE(recorder_->statements().back().starts_with("INSERT INTO Acumulados ("));
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 3}));
  EXPECT_EQ(RowsOf(6, "43000001"), (AccountRows{0, 0, 0}));

  // The repair goes in the list's order and stops at the failing exercise.
  company_->ejercicios = {6, 5, 7};
  EXPECT_TRUE(FailsAt(2, [&] { NewAccount("430").Reparar_Acumulado(); },
                      "Cuentas::Reparar_Acumulado"));
  EXPECT_EQ(Column("SELECT Cod_Ejercicio AS v FROM Acumulados WHERE Cuenta = '430'"),
            Statements{"6"});
}

TEST_P(Atomicity, NestsInsideTheCallersOwnAtomicScope) {
  clsCuenta account = NewAccount("43000001");
  {
    // A failed creation inside the caller's scope undoes only itself.
    AtomicScope caller(*recorder_);
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'Clientes')");
    EXPECT_TRUE(FailsAt(9, [&] { account.Insertar(); }, "Cuentas::Insertar"));
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
}

VORNEXA_ON_ALL_BACKENDS(Atomicity);

}  // namespace
}  // namespace vornexa::testing
