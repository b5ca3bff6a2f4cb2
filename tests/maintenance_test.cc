// Saving accounts: the per-exercise update, creation with level and
// accumulator rows, the registry step, and the save across exercises.
#include <gtest/gtest.h>

#include "maintenance_fixture.h"

namespace vornexa::testing {
namespace {

const char kFilledUpdate[] =
    "UPDATE Cuentas SET Nombre ='Cliente Uno', ContDebe ='4300', ContHaber ='4301', "
    "Nif ='B12345678', Nombre_Comercial ='Uno Comercial', Direccion ='Calle Mayor 1', "
    "Cp ='46001', Localidad ='Valencia', Provincia ='Valencia Prov', Pais ='España', "
    "Cod_Pais =724, Telefono ='960000001', Fax ='960000002', eMail ='uno@ejemplo.es', "
    "F_Nif ='B87654321', F_Razon ='Uno SL', F_Via ='Calle', F_Direccion ='Mayor', "
    "F_Numero ='1', F_Escalera ='B', F_Piso ='3', F_Puerta ='A', F_Cp ='41001', "
    "F_Localidad ='Sevilla', F_Provincia ='Sevilla Prov', F_Pais ='ES', "
    "F_Telefono ='950000001', F_Fax ='950000002', F_eMail ='fiscal@ejemplo.es', Grupo =11, "
    "FormaPago =4, CCC ='21000418450200051332', Carta_Pago =1, Dpto =6, "
    "IBAN ='ES9121000418450200051332', Fecha_Mandato ='2024-01-31', IDMandato = 'MND-1', "
    "Subfijo_SEPA = 7, Secuencia_Adeudo = 8, ContraparteIDOtroTipo ='3', Cod_Irpf =12, "
    "Tipo_Irpf =13 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='43000001'";

const char kFilledInsert[] =
    "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, ContDebe, ContHaber, "
    "Nivel, Nif, Nombre_Comercial, Direccion, Cp, Localidad, Provincia, Pais, Cod_Pais, "
    "Telefono, Fax, eMail, F_Nif, F_Razon, F_Via, F_Direccion, F_Numero, F_Escalera, F_Piso, "
    "F_Puerta, F_Cp, F_Localidad, F_Provincia, F_Pais, F_Telefono, F_Fax, F_eMail, Grupo, "
    "FormaPago, CCC, Carta_Pago, Dpto, IBAN,Fecha_Mandato, IDMandato, Subfijo_SEPA, "
    "ContraparteIDOtroTipo, Secuencia_Adeudo, Cod_Irpf, Tipo_Irpf) VALUES (1, 7, '43000001', "
    "'Cliente Uno', '4300', '4301', 5, 'B12345678', 'Uno Comercial', 'Calle Mayor 1', 46001, "
    "'Valencia', 'Valencia Prov', 'España', 724, '960000001', '960000002', 'uno@ejemplo.es', "
    "'B87654321', 'Uno SL', 'Calle', 'Mayor', '1', 'B', '3', 'A', 41001, 'Sevilla', "
    "'Sevilla Prov', 'ES', '950000001', '950000002', 'fiscal@ejemplo.es', 11, 4, "
    "'21000418450200051332', 1, 6, 'ES9121000418450200051332', '2024-01-31', 'MND-1', 7, '3', "
    "8, 12, 13)";

class AccountSave : public MaintenanceTest {
 protected:
  void UseExercise(int16_t exercise) {
    company_->ejercicio = exercise;
    company_->ejercicios = {exercise};
  }
};

TEST_P(AccountSave, CreatesANewAccountWithItsLevelAccumulatorAndRegistryRows) {
  UseExercise(7);
  InsertAccountRow(1, 7, "4300");
  clsCuenta account = FilledAccount("43000001");
  EXPECT_TRUE(account.Insertar());

  ExpectStatements(
      (Statements{
          kFilledUpdate,
          "SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='4300'",
          kFilledInsert,
          "UPDATE Acumulados SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta = "
          "'43000001'",
          "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (1, 7, "
          "'43000001', 5)",
          "SELECT Codigo FROM Departamentos WHERE Cod_Empresa =1",
          "UPDATE Razon_Social SET Nif = 'B12345678' WHERE Nif = 'B12345678'",
          "INSERT INTO Razon_Social (Nif) VALUES ('B12345678')",
          "UPDATE Razon_Social SET Nombre ='Uno SL' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Direccion ='Mayor' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET CP =41001 WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Localidad ='Sevilla' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Provincia ='Sevilla Prov' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Pais ='ES' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET eMail ='fiscal@ejemplo.es' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Telefono ='950000001' WHERE Nif ='B12345678'",
          "UPDATE Razon_Social SET Fax ='950000002' WHERE Nif ='B12345678'"}));
  EXPECT_EQ(account.Nivel, 5);

  // Loaded back, every field is what was saved; CCC came from the IBAN.
  clsCuenta loaded = NewAccount("43000001");
  ASSERT_TRUE(loaded.Cargar());
  clsCuenta expected = FilledAccount("43000001");
  expected.Nivel = 5;
  expected.CCC = "21000418450200051332";
  EXPECT_EQ(Describe(loaded), Describe(expected));
  EXPECT_EQ(RowsOf(7, "43000001"), (AccountRows{1, 1, 0}));
  EXPECT_EQ(Scalar("SELECT Nivel AS v FROM Acumulados WHERE Cuenta = '43000001'"), "5");
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Apertura = 0 AND D1 = 0 AND D12 = 0 "
                  "AND H1 = 0 AND H12 = 0"),
            1);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Razon_Social WHERE Nif = 'B12345678'"), "Uno SL");
  EXPECT_EQ(Scalar("SELECT CP AS v FROM Razon_Social WHERE Nif = 'B12345678'"), "41001");
  EXPECT_EQ(Scalar("SELECT Fax AS v FROM Razon_Social WHERE Nif = 'B12345678'"), "950000002");
}

TEST_P(AccountSave, RefusesACreationWhoseUpperAccountIsMissingInTheExercise) {
  UseExercise(7);
  InsertAccountRow(1, 6, "4300");  // another exercise does not count
  const std::string message =
      "No se ha creado la cuenta de nivel superior.\r\nDebe crear : 4300 en ejercicio: 7";
  clsCuenta account = NewAccount("43000001");
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kComponent, "Cuentas::Insertar", message);
  EXPECT_VORNEXA_ERROR(account.Modificar(), error_number::kComponent, "Cuentas::Modificar", message);
  EXPECT_EQ(account.Nivel, 5);
  EXPECT_EQ(RowsOf(7, "43000001"), (AccountRows{0, 0, 0}));
}

TEST_P(AccountSave, UpdatesAnExistingAccountWithOneStatementAndNoChecks) {
  UseExercise(7);
  InsertAccountRow(1, 7, "572");
  InsertAccountRow(1, 7, "4300001");  // matches no level: updates are not checked
  clsCuenta account = NewAccount("572");
  account.Nombre = "Caja";
  EXPECT_TRUE(account.Modificar());
  EXPECT_TRUE(account.Insertar());
  const std::string update =
      "UPDATE Cuentas SET Nombre ='Caja', ContDebe ='', ContHaber ='', Nif ='', "
      "Nombre_Comercial ='', Direccion ='', Cp ='0', Localidad ='', Provincia ='', Pais ='', "
      "Cod_Pais =0, Telefono ='', Fax ='', eMail ='', F_Nif ='', F_Razon ='', F_Via ='', "
      "F_Direccion ='', F_Numero ='', F_Escalera ='', F_Piso ='', F_Puerta ='', F_Cp ='0', "
      "F_Localidad ='', F_Provincia ='', F_Pais ='', F_Telefono ='', F_Fax ='', F_eMail ='', "
      "Grupo =0, FormaPago =0, CCC ='', Carta_Pago =0, Dpto =0, IBAN ='', Fecha_Mandato ='', "
      "IDMandato = '', Subfijo_SEPA = 0, Secuencia_Adeudo = 0, ContraparteIDOtroTipo ='0', "
      "Cod_Irpf =0, Tipo_Irpf =0 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='572'";
  ExpectStatements({update, update});
  EXPECT_EQ(RowsOf(7, "572"), (AccountRows{1, 0, 0}));
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas WHERE Cuenta = '572'"), "Caja");

  clsCuenta odd = NewAccount("4300001");
  odd.Nombre = "Antigua";
  EXPECT_TRUE(odd.Modificar());
  EXPECT_EQ(TakeStatements().size(), 1u);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas WHERE Cuenta = '4300001'"), "Antigua");
}

TEST_P(AccountSave, ChangingTheCodeCreatesAFurtherAccountInsteadOfRenaming) {
  InsertAccountRow(1, 5, "57");
  InsertAccountRow(1, 5, "572", "Caja");
  clsCuenta account = NewAccount("572");
  ASSERT_TRUE(account.Cargar());
  account.Cuenta = "573";
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(RowsOf(5, "572"), (AccountRows{1, 0, 0}));
  EXPECT_EQ(RowsOf(5, "573"), (AccountRows{1, 1, 0}));
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas WHERE Cuenta = '573'"), "Caja");
}

TEST_P(AccountSave, TakesTheLevelFromTheCompanysDigits) {
  clsCuenta unmatched = NewAccount("4300001");
  unmatched.Nivel = 9;
  EXPECT_VORNEXA_ERROR(
      unmatched.Insertar(), error_number::kComponent, "Cuentas::Insertar",
      "No se puede insertar una cuenta no correspondiente a los digitos parametrizados");
  EXPECT_EQ(unmatched.Nivel, 0);
  EXPECT_EQ(TakeStatements().size(), 1u);  // only the update that found nothing
  EXPECT_EQ(RowsOf(5, "4300001"), (AccountRows{0, 0, 0}));

  clsCuenta top = NewAccount("4");  // level 1 has no upper account to check
  EXPECT_TRUE(top.Insertar());
  EXPECT_EQ(top.Nivel, 1);
  EXPECT_EQ(TakeStatements()[1].rfind("INSERT INTO Cuentas", 0), 0u);

  clsCuenta unchecked = NewAccount("430");
  unchecked.NoVerificarNivelesSup = true;
  EXPECT_TRUE(unchecked.Insertar());
  EXPECT_EQ(unchecked.Nivel, 3);
  EXPECT_EQ(RowsOf(5, "430"), (AccountRows{1, 1, 0}));

  company_->digitos_nivel = {1, 2, 3, 6, 6, 0};  // the highest matching level wins
  clsCuenta tied = NewAccount("430000");
  tied.NoVerificarNivelesSup = true;
  EXPECT_TRUE(tied.Insertar());
  EXPECT_EQ(tied.Nivel, 5);
  EXPECT_EQ(Scalar("SELECT Nivel AS v FROM Cuentas WHERE Cuenta = '430000'"), "5");
}

TEST_P(AccountSave, KeepsExistingAccumulatorRowsAndCompletesTheDepartments) {
  AddDepartments({1, 2});
  InsertAccountRow(1, 5, "4300");
  Exec(
      "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura) "
      "VALUES (1, 5, '43000001', 0, 100)");
  Exec(
      "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) "
      "VALUES (1, 5, 1, '43000001', 0)");
  clsCuenta account = NewAccount("43000001");
  EXPECT_TRUE(account.Insertar());
  std::vector<std::string> statements = TakeStatements();
  ASSERT_EQ(statements.size(), 8u);
  statements.erase(statements.begin(), statements.begin() + 3);
  if (OnEmbedded()) {
    EXPECT_EQ(statements,
            (Statements{"UPDATE Acumulados SET Nivel = 5 WHERE Cod_Empresa =1 AND "
                        "Cod_Ejercicio =5 AND Cuenta = '43000001'",
                        "SELECT Codigo FROM Departamentos WHERE Cod_Empresa =1",
                        "UPDATE Acumulados_Dpto SET Nivel = 5 WHERE Cod_Empresa =1 AND "
                        "Cod_Ejercicio =5 AND Dpto =1 AND Cuenta = '43000001'",
                        "UPDATE Acumulados_Dpto SET Nivel = 5 WHERE Cod_Empresa =1 AND "
                        "Cod_Ejercicio =5 AND Dpto =2 AND Cuenta = '43000001'",
                        "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, "
                        "Nivel) VALUES (1, 5, 2, '43000001', 5)"}));
  }
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 2}));
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Apertura = 100 AND Nivel = 5"), 1);
  EXPECT_EQ(Scalar("SELECT MIN(Nivel) AS v FROM Acumulados_Dpto"), "5");
}

TEST_P(AccountSave, KeepsTheRegistryInStepWithoutEverClearingIt) {
  InsertAccountRow(1, 5, "43000001");
  clsCuenta account = NewAccount("43000001");
  account.Nif = "B12345678";
  account.F_Razon = "Empresa Ejemplo SL";
  account.F_Cp = 41001;
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Razon_Social"), "Empresa Ejemplo SL");
  EXPECT_EQ(Scalar("SELECT Direccion AS v FROM Razon_Social"), "NULL");  // unset: not written

  // An existing row gets no INSERT; unset fields (F_Cp 0 included) stay as they were.
  account.F_Razon = "Nueva SL";
  account.F_Cp = 0;
  account.F_Localidad = "Sevilla";
  EXPECT_TRUE(account.Insertar());
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social"), 1);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Razon_Social"), "Nueva SL");
  EXPECT_EQ(Scalar("SELECT Localidad AS v FROM Razon_Social"), "Sevilla");
  EXPECT_EQ(Scalar("SELECT CP AS v FROM Razon_Social"), "41001");

  // No Nif, no registry, whatever the fiscal fields hold.
  account.Nif = "";
  TakeStatements();
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(TakeStatements().size(), 1u);
}

TEST_P(AccountSave, RefusesAnEmptyCodeBeforeAnyStatement) {
  clsCuenta account = NewAccount("");
  const std::string message = "No se ha especificado el numero de cuenta";
  EXPECT_VORNEXA_ERROR(account.Modificar(), error_number::kComponent, "Cuentas::Modificar", message);
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kComponent, "Cuentas::Insertar", message);
  EXPECT_EQ(TakeStatements(), Statements{});
}

TEST_P(AccountSave, SavesInTheActiveExerciseThenInEachLaterOneOfTheList) {
  company_->ejercicios = {3, 5, 6, 0, 7};
  company_->multi_ejercicio = true;
  for (int16_t exercise : {5, 6, 7}) InsertAccountRow(1, exercise, "43");
  clsCuenta account = NewAccount("430");
  account.Nombre = "Clientes";
  EXPECT_TRUE(account.Insertar());
  EXPECT_EQ(RowsOf(3, "430"), (AccountRows{0, 0, 0}));
  for (int exercise : {5, 6, 7}) EXPECT_EQ(RowsOf(exercise, "430"), (AccountRows{1, 1, 0}));

  // Saved again: updated everywhere; without MultiEjercicio only in the active one.
  const std::string names = "SELECT Cod_Ejercicio || Nombre AS v FROM Cuentas WHERE Cuenta = "
                            "'430' ORDER BY Cod_Ejercicio";
  account.Nombre = "Clientes nacionales";
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(Column(names), (Statements{"5Clientes nacionales", "6Clientes nacionales",
                                       "7Clientes nacionales"}));
  company_->multi_ejercicio = false;
  account.Nombre = "Clientes";
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(Column(names),
            (Statements{"5Clientes", "6Clientes nacionales", "7Clientes nacionales"}));
}

TEST_P(AccountSave, ALaterExerciseWithoutTheUpperAccountStopsTheSaveBeforeTheRegistry) {
  company_->ejercicios = {3, 5, 6, 0, 7};
  company_->multi_ejercicio = true;
  for (int16_t exercise : {5, 6}) InsertAccountRow(1, exercise, "43");
  clsCuenta account = NewAccount("430");
  account.Nif = "B12345678";
  account.F_Razon = "Clientes SL";
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kComponent, "Cuentas::Insertar",
                       "No se ha creado la cuenta de nivel superior.\r\nDebe crear : 43 en "
                       "ejercicio: 7");
  for (int exercise : {5, 6}) EXPECT_EQ(RowsOf(exercise, "430"), (AccountRows{1, 1, 0}));
  EXPECT_EQ(RowsOf(7, "430"), (AccountRows{0, 0, 0}));
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social"), 0);
}

TEST_P(AccountSave, KeepsApostrophesInsideTheirLiterals) {
  InsertAccountRow(1, 5, "4");
  clsCuenta account = NewAccount("4'");
  account.Nombre = "O'Brien ''x";
  account.Nif = "B'1";
  account.F_Razon = "L'Hospitalet'); DELETE FROM Cuentas; --";
  account.IdMandato = "'";
  EXPECT_TRUE(account.Insertar());
  EXPECT_TRUE(account.Modificar());

  clsCuenta loaded = NewAccount("4'");
  ASSERT_TRUE(loaded.Cargar());
  EXPECT_EQ(loaded.Nombre, "O'Brien ''x");
  EXPECT_EQ(loaded.Nif, "B'1");
  EXPECT_EQ(loaded.IdMandato, "'");
  EXPECT_EQ(loaded.Nivel, 2);
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 2);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Razon_Social WHERE Nif = 'B''1'"),
            "L'Hospitalet'); DELETE FROM Cuentas; --");
  EXPECT_EQ(Scalar("SELECT Cuenta AS v FROM Acumulados"), "4'");
}

VORNEXA_ON_ALL_BACKENDS(AccountSave);

}  // namespace
}  // namespace vornexa::testing
