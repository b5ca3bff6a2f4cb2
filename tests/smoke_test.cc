#include <gtest/gtest.h>
#include "support/fixtures.h"
namespace vornexa::testing { namespace {
class Smoke : public BackendTest {};
TEST_P(Smoke, LoadsAnAccount) {
  InsertAccountRow(1, 5, "43000001", "Cliente");
  clsCuenta c = NewAccount("43000001");
  EXPECT_TRUE(c.Cargar());
  EXPECT_EQ(c.Nombre, "Cliente");
  EXPECT_EQ(c.IdMandato, "0143000001");
}
VORNEXA_ON_ALL_BACKENDS(Smoke);
}}
