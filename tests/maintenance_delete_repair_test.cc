// Deleting accounts, the movement check, and the accumulator repair.
#include <gtest/gtest.h>

#include "maintenance_fixture.h"

namespace vornexa::testing {
namespace {

class DeletionAndRepair : public MaintenanceTest {};

TEST_P(DeletionAndRepair, DeletionRefusesWhileTheActiveExerciseHasJournalLines) {
  SeedAccount(5, "572", {1, 2, 3});
  InsertEntry(1, 5, 1, "2024-01-10");
  InsertLine(1, 5, 1, 1, "572", "10", "0");
  clsCuenta account = NewAccount("572");
  EXPECT_TRUE(account.Posee_Movimientos());
  EXPECT_VORNEXA_ERROR(account.Eliminar(), error_number::kComponent, "Cuentas::Eliminar",
                       "No se puede eliminar la cuenta 572 por tener movimientos asociados");
  EXPECT_EQ(RowsOf(5, "572"), (AccountRows{1, 1, 3}));

  // A line of a voided closing entry is a movement too.
  InsertEntry(1, 5, 2, "2024-12-31", /*cierre=*/1, /*nulo=*/1);
  InsertLine(1, 5, 2, 1, "573", "0", "5");
  EXPECT_TRUE(NewAccount("573").Posee_Movimientos());
}

TEST_P(DeletionAndRepair, DeletionTakesOnlyTheActiveExercisesRowsOfTheAccount) {
  SeedAccount(5, "572", {1, 2, 3});
  SeedAccount(6, "572", {1});
  InsertAccountRow(1, 5, "57");
  InsertEntry(1, 4, 1, "2023-06-30");
  InsertLine(1, 4, 1, 1, "572", "10", "0");  // another exercise does not count
  clsCuenta account = NewAccount("572");
  EXPECT_FALSE(account.Posee_Movimientos());
  EXPECT_TRUE(account.Eliminar());
  EXPECT_EQ(RowsOf(5, "572"), (AccountRows{0, 0, 0}));
  EXPECT_EQ(RowsOf(6, "572"), (AccountRows{1, 1, 1}));
  EXPECT_EQ(RowsOf(5, "57"), (AccountRows{1, 0, 0}));

  // Nothing left to delete is no failure.
  EXPECT_TRUE(account.Eliminar());
}

TEST_P(DeletionAndRepair, RepairCreatesMissingRowsAndOnlySetsTheLevelOfExistingOnes) {
  company_->ejercicios = {6, 7};
  Exec(
      "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura) "
      "VALUES (1, 7, '43000001', 0, 10)");
  clsCuenta account = NewAccount("43000001");
  account.Reparar_Acumulado();
  EXPECT_EQ(account.Nivel, 5);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Cod_Ejercicio = 6 AND Nivel = 5 AND "
                  "Apertura = 0"),
            1);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Cod_Ejercicio = 7 AND Nivel = 5 AND "
                  "Apertura = 10"),
            1);
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 0);  // no account row is made
}

TEST_P(DeletionAndRepair, RepairRefusesAnEmptyCodeAndALengthOfNoLevel) {
  clsCuenta account = NewAccount("");
  account.Nivel = 3;
  EXPECT_VORNEXA_ERROR(account.Reparar_Acumulado(), error_number::kComponent, "Cuentas::Reparar_Acumulado",
                       "No se ha especificado el numero de cuenta");
  EXPECT_EQ(account.Nivel, 3);
  account.Cuenta = "4300001";
  EXPECT_VORNEXA_ERROR(
      account.Reparar_Acumulado(), error_number::kComponent, "Cuentas::Reparar_Acumulado",
      "No se puede insertar una cuenta no correspondiente a los digitos parametrizados");
  EXPECT_EQ(account.Nivel, 0);
  EXPECT_EQ(TakeStatements(), Statements{});
}

TEST_P(DeletionAndRepair, RepairVisitsEveryEntryOfTheListInOrderZeroIncluded) {
  company_->ejercicios = {5, 0, 6};
  clsCuenta account = NewAccount("430");
  const std::string exercises =
      "SELECT Cod_Ejercicio AS v FROM Acumulados WHERE Nivel = 3 ORDER BY Cod_Ejercicio";
  account.Reparar_Acumulado();
  EXPECT_EQ(Column(exercises), (Statements{"0", "5", "6"}));
  account.Reparar_Acumulado();  // everything there: updates only, no duplicate
  EXPECT_EQ(Column(exercises), (Statements{"0", "5", "6"}));

  company_->ejercicios = {};  // UltimoEjercicio -1: no exercise, but the level is set
  clsCuenta lone = NewAccount("4300");
  TakeStatements();
  lone.Reparar_Acumulado();
  EXPECT_EQ(lone.Nivel, 4);
  EXPECT_EQ(TakeStatements(), Statements{});
}

TEST_P(DeletionAndRepair, RepairStopsAtTheFailingExerciseUnderItsOwnSource) {
  company_->ejercicios = {6, 5, 7};
  recorder_->FailStatement(2, Rejected("fallo en el ejercicio 5"));
  EXPECT_VORNEXA_ERROR(NewAccount("430").Reparar_Acumulado(), error_number::kStatementRejected,
                       "Cuentas::Reparar_Acumulado", "fallo en el ejercicio 5");
  // The list's order: the first exercise is saved, none after the failure.
  EXPECT_EQ(Column("SELECT Cod_Ejercicio AS v FROM Acumulados"), Statements{"6"});
}

VORNEXA_ON_ALL_BACKENDS(DeletionAndRepair);

}  // namespace
}  // namespace vornexa::testing
