// Account groups: the five operations, what a missing group gives, and the
// refusal to delete a group in use.
#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Groups : public BackendTest {};

TEST_P(Groups, TheFiveOperationsAndWhatAMissingGroupOrOneInUseGives) {
  clsGrupo group = NewGroup(1, 3, "Clientes d'Or");
  ASSERT_TRUE(group.Insertar());
  group.Nombre = "antes";
  EXPECT_TRUE(group.Existe());
  ASSERT_TRUE(group.Cargar());
  EXPECT_EQ(group.Nombre, "Clientes d'Or");
  group.Nombre = "G";
  EXPECT_TRUE(group.Modificar());
  for (const auto& [company, code] : {std::pair<int16_t, int16_t>{1, 0}, {1, 4}, {2, 5}}) {
    ASSERT_TRUE(NewGroup(company, code, "G").Insertar());
  }
  clsGrupo missing = NewGroup(1, 5, "sin cargar");
  EXPECT_FALSE(missing.Cargar());
  EXPECT_EQ(missing.Nombre, "sin cargar");
  EXPECT_FALSE(missing.Existe());
  EXPECT_TRUE(missing.Modificar());  // no error, and nothing created
  EXPECT_TRUE(missing.Eliminar());   // no account uses it

  InsertAccountRow(1, 4, "43000001");  // an earlier exercise than the active one
  InsertAccountRow(2, 5, "43000002");  // another company's: does not block group 4 of company 1
  Exec("UPDATE Cuentas SET Grupo = 3 WHERE Cod_Empresa = 1");
  Exec("UPDATE Cuentas SET Grupo = 4 WHERE Cod_Empresa = 2");
  EXPECT_VORNEXA_ERROR(group.Eliminar(), error_number::kComponent, "clsGrupos::Eliminar",
                       "No se puede eliminar el grupo por tener cuentas asociadas");
  EXPECT_FALSE(NewGroup(1, 0).Eliminar());  // group 0 is never deleted
  EXPECT_TRUE(NewGroup(1, 4).Eliminar());
  EXPECT_EQ(Column("SELECT Cod_Empresa || '/' || Codigo || ' ' || Nombre AS v FROM Cuentas_Grupos "
                   "ORDER BY Cod_Empresa, Codigo"),
            (std::vector<std::string>{"1/0 G", "1/3 G", "2/5 G"}));
  Exec("UPDATE Cuentas SET Grupo = 0");
  EXPECT_TRUE(group.Eliminar());
  EXPECT_FALSE(group.Existe());
}

VORNEXA_ON_ALL_BACKENDS(Groups);

}  // namespace
}  // namespace vornexa::testing
