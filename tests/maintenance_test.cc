// Account maintenance: creation (its statements checked on the embedded
// database), refusals, updates, the registry, saves across exercises,
// deletion, the accumulator repair and the atomicity of each, unknown
// affected-row counts, and department codes written as they were read.
#include <functional>
#include <tuple>

#include "accounts_fixture.h"

namespace vornexa::testing {
namespace {

const char kFilledUpdate[] =
    "UPDATE Cuentas SET Nombre ='N', ContDebe ='4300', ContHaber ='4301', Nif ='B''1', "
    "Nombre_Comercial ='NC', Direccion ='D', Cp ='46001', Localidad ='L', Provincia ='P', "
    "Pais ='España', Cod_Pais =724, Telefono ='T', Fax ='X', eMail ='E', F_Nif ='FN', "
    "F_Razon ='F''R', F_Via ='FV', F_Direccion ='FD', F_Numero ='1', F_Escalera ='B', "
    "F_Piso ='3', F_Puerta ='A', F_Cp ='41001', F_Localidad ='FL', F_Provincia ='FO', "
    "F_Pais ='FA', F_Telefono ='FT', F_Fax ='FX', F_eMail ='FM', Grupo =11, FormaPago =4, "
    "CCC ='21000418450200051332', Carta_Pago =1, Dpto =6, IBAN ='ES9121000418450200051332', "
    "Fecha_Mandato ='2024-01-31', IDMandato = 'M''1', Subfijo_SEPA = 7, Secuencia_Adeudo = 8, "
    "ContraparteIDOtroTipo ='3', Cod_Irpf =12, "
    "Tipo_Irpf =13 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='43000001'";

const char kFilledInsert[] =
    "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, ContDebe, ContHaber, Nivel, "
    "Nif, Nombre_Comercial, Direccion, Cp, Localidad, Provincia, Pais, Cod_Pais, Telefono, Fax, "
    "eMail, F_Nif, F_Razon, F_Via, F_Direccion, F_Numero, F_Escalera, F_Piso, F_Puerta, F_Cp, "
    "F_Localidad, F_Provincia, F_Pais, F_Telefono, F_Fax, F_eMail, Grupo, FormaPago, CCC, "
    "Carta_Pago, Dpto, IBAN,Fecha_Mandato, IDMandato, Subfijo_SEPA, ContraparteIDOtroTipo, "
    "Secuencia_Adeudo, Cod_Irpf, Tipo_Irpf) VALUES (1, 7, '43000001', 'N', '4300', '4301', 5, "
    "'B''1', 'NC', 'D', 46001, 'L', 'P', 'España', 724, 'T', 'X', 'E', 'FN', 'F''R', 'FV', 'FD', "
    "'1', 'B', '3', 'A', 41001, 'FL', 'FO', 'FA', 'FT', 'FX', 'FM', 11, 4, "
    "'21000418450200051332', 1, 6, 'ES9121000418450200051332', '2024-01-31', 'M''1', 7, '3', 8, "
    "12, 13)";

class Maintenance : public AccountsTest {};

TEST_P(Maintenance, CreatesTheAccountAndCompletesItsAccumulatorAndRegistryRows) {
  company_->ejercicio = 7;
  company_->ejercicios = {7};
  InsertAccountRow(1, 7, "4300");
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2)");
  SeedAccumulators(7, "43000001", {1}, /*level=*/0);  // kept, their level set
  clsCuenta account = FilledAccount("43000001");
  EXPECT_TRUE(account.Insertar());
  Statements expected = {
      kFilledUpdate,
      "SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='4300'",
      kFilledInsert,
      "UPDATE Acumulados SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta = "
      "'43000001'",
      "SELECT Codigo FROM Departamentos WHERE Cod_Empresa =1",
      "UPDATE Acumulados_Dpto SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Dpto =1 "
      "AND Cuenta = '43000001'",
      "UPDATE Acumulados_Dpto SET Nivel = 5 WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Dpto =2 "
      "AND Cuenta = '43000001'",
      "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) VALUES (1, 7, "
      "2, '43000001', 5)",
      "UPDATE Razon_Social SET Nif = 'B''1' WHERE Nif = 'B''1'",
      "INSERT INTO Razon_Social (Nif) VALUES ('B''1')"};
  for (const char* set : {"Nombre ='F''R'", "Direccion ='FD'", "CP =41001", "Localidad ='FL'",
                          "Provincia ='FO'", "Pais ='FA'", "eMail ='FM'", "Telefono ='FT'",
                          "Fax ='FX'"}) {
    expected.push_back("UPDATE Razon_Social SET " + std::string(set) + " WHERE Nif ='B''1'");
  }
  if (OnEmbedded()) EXPECT_EQ(TakeStatements(), expected);

  // Loaded back, every field is what was saved (CCC came from the IBAN), and
  // the flag that is never stored is left alone.
  clsCuenta loaded = NewAccount("43000001");
  loaded.NoVerificarNivelesSup = true;
  ASSERT_TRUE(loaded.Cargar());
  EXPECT_TRUE(loaded.NoVerificarNivelesSup);
  account.CCC = "21000418450200051332";
  EXPECT_EQ(Describe(loaded), Describe(account));
  EXPECT_EQ(RowsOf(7, "43000001"), (AccountRows{1, 1, 2}));
  EXPECT_EQ(Column("SELECT Nombre || CP || Fax AS v FROM Razon_Social"), Statements{"F'R41001FX"});

  // Saved again: no INSERT into the registry, whose fields left unset (F_Cp 0
  // included) keep their values.
  account.F_Razon = "Nueva SL";
  account.F_Cp = 0;
  account.F_Direccion = "";
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(Column("SELECT Nombre || CP || Direccion AS v FROM Razon_Social"),
            Statements{"Nueva SL41001FD"});
}

TEST_P(Maintenance, EachOperationRefusesWhatItCannotDoAndChangesNothing) {
  InsertAccountRow(1, 4, "4300");  // another exercise does not count
  SeedAccount(5, "572", {});
  InsertEntry(1, 5, 1, "2024-01-10");
  InsertLine(1, 5, 1, 1, "572", "10", "0");
  const std::string no_upper =
      "No se ha creado la cuenta de nivel superior.\r\nDebe crear : 4300 en ejercicio: 5";
  const std::string no_code = "No se ha especificado el numero de cuenta";
  const std::string no_level =
      "No se puede insertar una cuenta no correspondiente a los digitos parametrizados";
  const struct {
    const char* code;
    std::function<void(clsCuenta&)> run;
    const char* source;
    std::string description;
    size_t statements;  // sent before the refusal
    int16_t level;      // Nivel afterwards; it was 9
  } cases[] = {
      {"43000001", [](auto& a) { a.Insertar(); }, "Cuentas::Insertar", no_upper, 2, 5},
      {"43000001", [](auto& a) { a.Modificar(); }, "Cuentas::Modificar", no_upper, 2, 5},
      {"", [](auto& a) { a.Insertar(); }, "Cuentas::Insertar", no_code, 0, 9},
      {"", [](auto& a) { a.Modificar(); }, "Cuentas::Modificar", no_code, 0, 9},
      {"4300001", [](auto& a) { a.Insertar(); }, "Cuentas::Insertar", no_level, 1, 0},
      {"", [](auto& a) { a.Reparar_Acumulado(); }, "Cuentas::Reparar_Acumulado", no_code, 0, 9},
      {"4300001", [](auto& a) { a.Reparar_Acumulado(); }, "Cuentas::Reparar_Acumulado", no_level,
       0, 0},
      {"572", [](clsCuenta& a) { a.Eliminar(); }, "Cuentas::Eliminar",
       "No se puede eliminar la cuenta 572 por tener movimientos asociados", 1, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " '" + c.code + "'");
    clsCuenta account = NewAccount(c.code);
    account.Nivel = 9;
    TakeStatements();
    EXPECT_VORNEXA_ERROR(c.run(account), error_number::kComponent, c.source, c.description);
    EXPECT_EQ(TakeStatements().size(), c.statements);
    EXPECT_EQ(account.Nivel, c.level);
  }
  for (const char* code : {"43000001", "4300001"}) EXPECT_EQ(RowsOf(5, code), (AccountRows{}));
  EXPECT_EQ(RowsOf(5, "572"), (AccountRows{1, 1, 0}));
}

TEST_P(Maintenance, AnExistingAccountIsOnlyUpdatedAndANewOneTakesItsLevelFromTheDigits) {
  InsertAccountRow(1, 5, "4300001");  // matches no level: updates are not checked
  // Without a Nif an update is the one statement.
  clsCuenta odd = NewAccount("4300001");
  odd.Nombre = "Antigua";
  EXPECT_TRUE(odd.Insertar());
  EXPECT_EQ(TakeStatements().size(), 1u);
  // Level 1 has no upper account to check; of two levels of the same digits the higher wins.
  EXPECT_TRUE(NewAccount("4").Insertar());
  company_->digitos_nivel = {1, 2, 3, 6, 6, 0};
  clsCuenta tied = NewAccount("430000");
  tied.NoVerificarNivelesSup = true;
  EXPECT_TRUE(tied.Insertar());
  EXPECT_EQ(
      Column("SELECT Cuenta || ':' || Nivel || ':' || Nombre AS v FROM Cuentas ORDER BY Cuenta"),
      (Statements{"4:1:", "430000:5:", "4300001:0:Antigua"}));
  EXPECT_EQ(Column("SELECT Cuenta || ':' || Nivel AS v FROM Acumulados ORDER BY Cuenta"),
            (Statements{"4:1", "430000:5"}));
}

TEST_P(Maintenance, SavesInTheActiveExerciseThenInEachLaterOneOfTheList) {
  company_->ejercicios = {3, 5, 6, 0, 7};
  company_->multi_ejercicio = true;
  for (int16_t exercise : {3, 5, 6}) InsertAccountRow(1, exercise, "43");
  clsCuenta account = NewAccount("430");
  account.Nif = "B12345678";
  account.Nombre = "Clientes";
  // Exercise 7 lacks the upper account: the save stops there, before the
  // registry, keeping what it did in the exercises before.
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kComponent, "Cuentas::Insertar",
                       "No se ha creado la cuenta de nivel superior.\r\nDebe crear : 43 en "
                       "ejercicio: 7");
  EXPECT_EQ(RowsOf(6, "430"), (AccountRows{1, 1, 0}));
  EXPECT_EQ(RowsOf(7, "430"), (AccountRows{0, 0, 0}));
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social"), 0);
  InsertAccountRow(1, 7, "43");
  EXPECT_TRUE(account.Insertar());
  EXPECT_EQ(RowsOf(3, "430"), (AccountRows{0, 0, 0}));  // earlier than the active one
  for (int exercise : {5, 6, 7}) EXPECT_EQ(RowsOf(exercise, "430"), (AccountRows{1, 1, 0}));

  // Saved again: updated everywhere; without MultiEjercicio only in the active one.
  account.Nombre = "Nacionales";
  EXPECT_TRUE(account.Modificar());
  company_->multi_ejercicio = false;
  account.Nombre = "Clientes";
  EXPECT_TRUE(account.Modificar());
  EXPECT_EQ(Column("SELECT Cod_Ejercicio || Nombre AS v FROM Cuentas WHERE Cuenta = '430' "
                   "ORDER BY Cod_Ejercicio"),
            (Statements{"5Clientes", "6Nacionales", "7Nacionales"}));
}

TEST_P(Maintenance, OnlyACountOfZeroLeadsToAnInsert) {
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 3)");
  clsCuenta existing = NewAccount("43000001");
  existing.NoVerificarNivelesSup = true;
  existing.Nif = "B12345678";
  ASSERT_TRUE(existing.Insertar());

  recorder_->unknown_update_counts = true;  // as SQL Server reports them under NOCOUNT
  TakeStatements();
  // With every count unknown nothing is inserted on a guess, which could
  // duplicate a row: not even a missing account is created.
  EXPECT_TRUE(existing.Modificar());
  existing.Reparar_Acumulado();
  EXPECT_TRUE(NewAccount("43000002").Modificar());
  const Statements sent = TakeStatements();
  EXPECT_FALSE(sent.empty());
  for (const std::string& sql : sent) EXPECT_FALSE(sql.starts_with("INSERT")) << sql;
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{1, 1, 1}));
  EXPECT_EQ(RowsOf(5, "43000002"), (AccountRows{}));
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social"), 1);
}

VORNEXA_ON_ALL_BACKENDS(Maintenance);

// Each operation in one exercise happens whole or not at all; inside the
// caller's atomic scope an operation undoes only itself.
class Atomicity : public AccountsTest {
 protected:
  void SetUp() override {
    AccountsTest::SetUp();
    Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2), (1, 3)");
    InsertAccountRow(1, 5, "4300");
  }

  // Makes statement `index` of `run` fail; true when the error reached the
  // caller renamed to `source`, the rest as given; false past the last one.
  bool FailsAt(size_t index, const std::function<void()>& run, const std::string& source) {
    const std::string description = "fallo inyectado en la instrucción " + std::to_string(index);
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
    std::function<bool(clsCuenta&)> run;
    AccountRows before, after;
    // Creation: update, upper check, insert, accumulator update and insert, departments,
    // an update and an insert per department. Deletion: movement check, three deletes.
    size_t statements;
  } cases[] = {
      {"Cuentas::Insertar", "43000001", [](auto& a) { return a.Insertar(); }, {}, {1, 1, 3}, 12},
      {"Cuentas::Modificar", "43000002", [](auto& a) { return a.Modificar(); }, {}, {1, 1, 3}, 12},
      {"Cuentas::Eliminar", "572", [](auto& a) { return a.Eliminar(); }, {1, 1, 3}, {}, 4},
      {"Cuentas::Reparar_Acumulado", "43000003",
       [](auto& a) { return a.Reparar_Acumulado(), true; }, {}, {0, 1, 0}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    clsCuenta account = NewAccount(c.code);
    size_t index = 0;
    while (FailsAt(index, [&] { EXPECT_TRUE(c.run(account)); }, c.source)) {
      EXPECT_EQ(RowsOf(5, c.code), c.before) << "failing statement " << index;
      ++index;
    }
    EXPECT_EQ(index, c.statements);
    EXPECT_EQ(RowsOf(5, c.code), c.after);
    // Again: what is already done is found, nothing doubled, and no failure.
    EXPECT_TRUE(c.run(account));
    EXPECT_EQ(RowsOf(5, c.code), c.after);
  }
}

TEST_P(Atomicity, InsideTheCallersScopeAFailureUndoesOnlyTheOperation) {
  clsCuenta account = NewAccount("43000001");
  {
    AtomicScope caller(*recorder_);
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'Clientes')");
    EXPECT_TRUE(FailsAt(9, [&] { account.Insertar(); }, "Cuentas::Insertar"));
    caller.Commit();
  }
  EXPECT_EQ(Count("SELECT Codigo FROM Cuentas_Grupos"), 1);
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{0, 0, 0}));
  {
    AtomicScope caller(*recorder_);
    EXPECT_TRUE(account.Insertar());
  }
  EXPECT_EQ(RowsOf(5, "43000001"), (AccountRows{0, 0, 0}));
}

// The repair visits every entry of the list in its order, 0 and exercises
// before the active one included, and stops at a failing one; an existing row
// only has its level set.
TEST_P(Atomicity, RepairGoesThroughTheListAndKeepsWhatItDidBeforeAFailure) {
  company_->ejercicios = {7, 0, 6};
  SeedAccumulators(7, "43000001", {}, /*level=*/0);
  clsCuenta account = NewAccount("43000001");
  const std::string levelled = "SELECT Cod_Ejercicio || ':' || CAST(Apertura AS INTEGER) AS v "
                               "FROM Acumulados WHERE Nivel = 5 ORDER BY Cod_Ejercicio";
  // The fourth statement is exercise 6's update.
  EXPECT_TRUE(FailsAt(3, [&] { account.Reparar_Acumulado(); }, "Cuentas::Reparar_Acumulado"));
  EXPECT_EQ(Column(levelled), (Statements{"0:0", "7:10"}));
  account.Reparar_Acumulado();
  EXPECT_EQ(account.Nivel, 5);
  EXPECT_EQ(Column(levelled), (Statements{"0:0", "6:0", "7:10"}));

  company_->ejercicios = {};  // UltimoEjercicio -1: no exercise, but the level is set
  clsCuenta lone = NewAccount("4300");
  TakeStatements();
  lone.Reparar_Acumulado();
  EXPECT_EQ(lone.Nivel, 4);
  EXPECT_EQ(TakeStatements(), Statements{});
}

VORNEXA_ON_ALL_BACKENDS(Atomicity);

// Tables that keep each department code as it was given, as a loosely typed
// database or a decimal column does: only the embedded database has them.
class MaintenanceOnLooseTables : public AccountsTest {};

TEST_P(MaintenanceOnLooseTables, DepartmentCodesAreWrittenAsTheyWereRead) {
  Exec("DROP TABLE Departamentos");
  Exec("CREATE TABLE Departamentos (Cod_Empresa, Codigo)");
  Exec("INSERT INTO Departamentos VALUES (1, '007'), (1, 2.5), (1, -4)");
  clsCuenta account = NewAccount("430");
  account.NoVerificarNivelesSup = true;
  ASSERT_TRUE(account.Insertar());
  // The statements around them are checked whole in the creation test.
  const Statements sent = TakeStatements();
  for (const std::string code : {"007", "2.5", "-4"}) {
    for (const std::string& part : {"Dpto =" + code + " AND ", "(1, 5, " + code + ", '430', 3)"}) {
      EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                              [&](const std::string& sql) { return sql.find(part) != sql.npos; }),
                1) << part;
    }
  }

  // Text that is not a number would change the statement around it.
  Exec("DELETE FROM Departamentos");
  Exec("INSERT INTO Departamentos VALUES (1, '1 OR 1=1')");
  account.Cuenta = "431";
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kTypeMismatch, "Cuentas::Insertar",
                       "No coinciden los tipos");
}

VORNEXA_ON_EMBEDDED(MaintenanceOnLooseTables);

}  // namespace
}  // namespace vornexa::testing
