// Account groups: the five operations, their statements, the refusal to
// delete a group in use, and the group's connection rule.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/caught_error.h"
#include "support/fixtures.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::testing {
namespace {

class Groups : public BackendTest {
 protected:
  clsGrupo NewGroup(int16_t company, int16_t code, const std::string& name = "") {
    clsGrupo group;
    group.Empresa = company;
    group.Codigo = code;
    group.Nombre = name;
    return group;
  }

  void InsertGroupRow(int16_t company, int16_t code, const std::string& name) {
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (" +
         std::to_string(company) + ", " + std::to_string(code) + ", '" + name + "')");
  }

  // An account of `company` and `exercise` filed under group `group`.
  void FileAccount(int16_t company, int16_t exercise, const std::string& code, int16_t group) {
    InsertAccountRow(company, exercise, code);
    Exec("UPDATE Cuentas SET Grupo = " + std::to_string(group) +
         " WHERE Cod_Empresa = " + std::to_string(company) +
         " AND Cod_Ejercicio = " + std::to_string(exercise) + " AND Cuenta = '" + code + "'");
  }

  std::string NameOf(int16_t company, int16_t code) {
    return Scalar("SELECT Nombre AS v FROM Cuentas_Grupos WHERE Cod_Empresa = " +
                  std::to_string(company) + " AND Codigo = " + std::to_string(code));
  }
};

TEST_P(Groups, RunTheWorkedExampleStatements) {
  clsGrupo group = NewGroup(1, 3, "Clientes");
  EXPECT_TRUE(group.Insertar());
  EXPECT_TRUE(group.Modificar());
  EXPECT_TRUE(group.Eliminar());
  EXPECT_EQ(TakeStatements(),
            (std::vector<std::string>{
                "INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, "
                "'Clientes')",
                "UPDATE Cuentas_Grupos SET Nombre ='Clientes' WHERE Cod_Empresa =1 AND Codigo =3",
                "SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3",
                "DELETE FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3"}));
  EXPECT_FALSE(group.Cargar());  // deleted above
  EXPECT_FALSE(group.Existe());
  EXPECT_EQ(TakeStatements(),
            (std::vector<std::string>{
                "SELECT Nombre FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3",
                "SELECT Codigo FROM Cuentas_Grupos WHERE Cod_Empresa =1 AND Codigo = 3"}));
}

TEST_P(Groups, CreateLoadRenameAndDelete) {
  clsGrupo created = NewGroup(1, 3, "Clientes d'Or");
  ASSERT_TRUE(created.Insertar());
  EXPECT_EQ(NameOf(1, 3), "Clientes d'Or");

  clsGrupo loaded = NewGroup(1, 3, "antes");
  EXPECT_TRUE(loaded.Existe());
  ASSERT_TRUE(loaded.Cargar());
  EXPECT_EQ(loaded.Nombre, "Clientes d'Or");

  loaded.Nombre = "Clientes nacionales";
  EXPECT_TRUE(loaded.Modificar());
  EXPECT_EQ(NameOf(1, 3), "Clientes nacionales");

  EXPECT_TRUE(loaded.Eliminar());
  EXPECT_FALSE(loaded.Existe());
  EXPECT_EQ(Count("SELECT Codigo FROM Cuentas_Grupos"), 0);
}

TEST_P(Groups, MissingGroupsAreNotFoundAndNotCreated) {
  InsertGroupRow(2, 3, "Otra empresa");
  clsGrupo group = NewGroup(1, 3, "sin cargar");
  EXPECT_FALSE(group.Cargar());
  EXPECT_EQ(group.Nombre, "sin cargar");
  EXPECT_FALSE(group.Existe());
  // Renaming a missing group is no error and creates nothing.
  EXPECT_TRUE(group.Modificar());
  EXPECT_EQ(Count("SELECT Codigo FROM Cuentas_Grupos WHERE Cod_Empresa = 1"), 0);
  EXPECT_EQ(NameOf(2, 3), "Otra empresa");
  // Deleting a missing group that no account uses reports success.
  EXPECT_TRUE(group.Eliminar());
  EXPECT_EQ(NameOf(2, 3), "Otra empresa");
}

TEST_P(Groups, DeletingGroupZeroDoesNothing) {
  InsertGroupRow(1, 0, "Sin grupo");
  clsGrupo group = NewGroup(1, 0);
  EXPECT_FALSE(group.Eliminar());
  EXPECT_TRUE(TakeStatements().empty());
  EXPECT_EQ(NameOf(1, 0), "Sin grupo");
}

TEST_P(Groups, DeletionIsRefusedWhileAnyExerciseFilesAnAccountUnderIt) {
  InsertGroupRow(1, 3, "Clientes");
  FileAccount(1, 4, "43000001", 3);  // an earlier exercise than the active one
  FileAccount(2, 5, "43000002", 4);  // another company: does not block group 4 of company 1
  clsGrupo group = NewGroup(1, 3);
  EXPECT_VORNEXA_ERROR(group.Eliminar(), error_number::kComponent, "clsGrupos::Eliminar",
                       "No se puede eliminar el grupo por tener cuentas asociadas");
  EXPECT_EQ(NameOf(1, 3), "Clientes");
  EXPECT_EQ(TakeStatements().size(), 1u);  // the check ran; no delete followed

  InsertGroupRow(1, 4, "Proveedores");
  clsGrupo other = NewGroup(1, 4);
  EXPECT_TRUE(other.Eliminar());
  EXPECT_FALSE(other.Existe());
}

TEST_P(Groups, FailuresCarryEachOperationsSource) {
  InsertGroupRow(1, 3, "Clientes");
  clsGrupo group = NewGroup(1, 3, "Clientes");
  // A duplicate group is refused by the table's key.
  const Error duplicate = CaughtError([&] { group.Insertar(); });
  EXPECT_EQ(duplicate.Number(), error_number::kConstraintViolation);
  EXPECT_EQ(duplicate.Source(), "clsGrupos::Insertar");

  const struct {
    const char* source;
    std::function<void()> call;
  } operations[] = {
      {"clsGrupos::Insertar", [&] { group.Insertar(); }},
      {"clsGrupos::Eliminar", [&] { group.Eliminar(); }},
      {"clsGrupos::Modificar", [&] { group.Modificar(); }},
      {"clsGrupos::Cargar", [&] { group.Cargar(); }},
      {"clsGrupos::Existe", [&] { group.Existe(); }},
  };
  for (const auto& operation : operations) {
    recorder_->FailStatement(0, Error(-6, "db", "sin servidor"));
    EXPECT_VORNEXA_ERROR(operation.call(), -6, operation.source, "sin servidor");
  }
}

TEST_P(Groups, WithoutAConnectionWritesAndReadsFailDifferently) {
  ReplaceSharedConnection(nullptr);
  clsGrupo group = NewGroup(1, 3, "Clientes");
  const std::string not_set(StandardDescription(error_number::kObjectNotSet));
  const std::string unusable(StandardDescription(error_number::kConnectionUnusable));
  EXPECT_VORNEXA_ERROR(group.Insertar(), error_number::kObjectNotSet, "clsGrupos::Insertar",
                       not_set);
  EXPECT_VORNEXA_ERROR(group.Modificar(), error_number::kObjectNotSet, "clsGrupos::Modificar",
                       not_set);
  EXPECT_VORNEXA_ERROR(group.Cargar(), error_number::kConnectionUnusable, "clsGrupos::Cargar",
                       unusable);
  EXPECT_VORNEXA_ERROR(group.Existe(), error_number::kConnectionUnusable, "clsGrupos::Existe",
                       unusable);
  EXPECT_VORNEXA_ERROR(group.Eliminar(), error_number::kConnectionUnusable, "clsGrupos::Eliminar",
                       unusable);
}

TEST_P(Groups, KeepTheConnectionFirstStoredOnTheThread) {
  InsertGroupRow(1, 3, "Clientes");
  // The fixture stored its recording connection; a group cannot replace it.
  // Another, empty database (not through the backend: that may be the same server).
  std::shared_ptr<Connection> other_database = OpenSqlite(":memory:");
  CreateSchema(*other_database);
  auto other = std::make_shared<RecordingConnection>(other_database);
  clsGrupo group = NewGroup(1, 3);
  group.Conexion(other);
  EXPECT_TRUE(group.Existe());
  EXPECT_TRUE(other->statements().empty());
  EXPECT_EQ(TakeStatements().size(), 1u);

  // With none stored, the group's connection becomes the thread's.
  ReplaceSharedConnection(nullptr);
  group.Conexion(other);
  EXPECT_EQ(SharedConnection(), other);
  EXPECT_FALSE(group.Existe());  // the other database is empty
  EXPECT_EQ(other->statements().size(), 1u);

  // An account object always replaces it, for groups too.
  clsCuenta account;
  account.Conexion(recorder_);
  EXPECT_TRUE(group.Existe());
  EXPECT_EQ(other->statements().size(), 1u);
}

VORNEXA_ON_ALL_BACKENDS(Groups);

}  // namespace
}  // namespace vornexa::testing
