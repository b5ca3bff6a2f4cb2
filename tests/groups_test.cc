// Account groups: the five operations, what a missing group gives, and the
// refusal to delete a group in use.
#include <gtest/gtest.h>

#include <string>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Groups : public BackendTest {
 protected:
  static clsGrupo Group(int16_t company, int16_t code, const std::string& name = "") {
    clsGrupo group;
    group.Empresa = company;
    group.Codigo = code;
    group.Nombre = name;
    return group;
  }
  // Names of every group, "company/code name", in key order.
  std::vector<std::string> Stored() {
    return Column("SELECT Cod_Empresa || '/' || Codigo || ' ' || Nombre AS v FROM Cuentas_Grupos "
                  "ORDER BY Cod_Empresa, Codigo");
  }
};

TEST_P(Groups, CreateLoadRenameAndDelete) {
  clsGrupo group = Group(1, 3, "Clientes d'Or");
  ASSERT_TRUE(group.Insertar());
  EXPECT_EQ(Stored(), std::vector<std::string>{"1/3 Clientes d'Or"});
  group.Nombre = "antes";
  EXPECT_TRUE(group.Existe());
  ASSERT_TRUE(group.Cargar());
  EXPECT_EQ(group.Nombre, "Clientes d'Or");
  group.Nombre = "Nacionales";
  EXPECT_TRUE(group.Modificar());
  EXPECT_EQ(Stored(), std::vector<std::string>{"1/3 Nacionales"});
  EXPECT_TRUE(group.Eliminar());
  EXPECT_FALSE(group.Existe());
  EXPECT_EQ(Stored(), std::vector<std::string>{});
}

TEST_P(Groups, MissingGroupsAreNotFoundNotCreatedAndDeletedWithoutComplaint) {
  ASSERT_TRUE(Group(2, 3, "Otra empresa").Insertar());
  ASSERT_TRUE(Group(1, 0, "Sin grupo").Insertar());
  clsGrupo group = Group(1, 3, "sin cargar");
  EXPECT_FALSE(group.Cargar());
  EXPECT_EQ(group.Nombre, "sin cargar");
  EXPECT_FALSE(group.Existe());
  EXPECT_TRUE(group.Modificar());  // no error, and nothing created
  EXPECT_TRUE(group.Eliminar());   // no account uses it
  // Deleting group 0 does nothing and says so.
  EXPECT_FALSE(Group(1, 0).Eliminar());
  EXPECT_EQ(Stored(), (std::vector<std::string>{"1/0 Sin grupo", "2/3 Otra empresa"}));
}

TEST_P(Groups, DeletionIsRefusedWhileAnyExerciseFilesAnAccountUnderIt) {
  for (int16_t code : {3, 4}) ASSERT_TRUE(Group(1, code, "Grupo").Insertar());
  InsertAccountRow(1, 4, "43000001");  // an earlier exercise than the active one
  InsertAccountRow(2, 5, "43000002");  // another company: does not block group 4 of company 1
  Exec("UPDATE Cuentas SET Grupo = 3 WHERE Cod_Empresa = 1");
  Exec("UPDATE Cuentas SET Grupo = 4 WHERE Cod_Empresa = 2");
  EXPECT_VORNEXA_ERROR(Group(1, 3).Eliminar(), error_number::kComponent, "clsGrupos::Eliminar",
                       "No se puede eliminar el grupo por tener cuentas asociadas");
  EXPECT_TRUE(Group(1, 4).Eliminar());
  EXPECT_EQ(Stored(), std::vector<std::string>{"1/3 Grupo"});
}

VORNEXA_ON_ALL_BACKENDS(Groups);

}  // namespace
}  // namespace vornexa::testing
