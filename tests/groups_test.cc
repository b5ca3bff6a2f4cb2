// Account groups: the five operations and the refusal to delete a group in use.
#include <gtest/gtest.h>

#include <string>

#include "support/fixtures.h"

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

  InsertGroupRow(1, 4, "Proveedores");
  clsGrupo other = NewGroup(1, 4);
  EXPECT_TRUE(other.Eliminar());
  EXPECT_FALSE(other.Existe());
}

VORNEXA_ON_ALL_BACKENDS(Groups);

}  // namespace
}  // namespace vornexa::testing
