// Text a database could not store and give back exactly (invalid UTF-8, an
// embedded NUL) is refused before any statement runs, naming the field.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/fixtures.h"
#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

using namespace std::string_literals;

constexpr char kNotUtf8[] = " contiene texto que no es UTF-8 válido";
constexpr char kNul[] = " contiene un carácter nulo";

class UnstorableText : public BackendTest {};

TEST_P(UnstorableText, IsRefusedBeforeAnyStatementRuns) {
  const Date day{2024, 1, 31};
  Currency debit, credit;
  const struct {
    std::string source;
    std::string description;
    std::function<void(clsCuenta&, clsGrupo&)> call;
  } cases[] = {
      {"Cuentas::Insertar", "El campo Nombre"s + kNul,
       [](clsCuenta& a, clsGrupo&) { a.Nombre = "Caja\0B"s, a.Insertar(); }},
      {"Cuentas::Insertar", "El campo Cuenta"s + kNotUtf8,
       [](clsCuenta& a, clsGrupo&) { a.Cuenta = "5\xC3", a.Insertar(); }},
      // The registry's fields are checked with the rest, before the account's UPDATE.
      {"Cuentas::Modificar", "El campo F_Razon"s + kNotUtf8,
       [](clsCuenta& a, clsGrupo&) { a.Nif = "B1", a.F_Razon = "\xFF", a.Modificar(); }},
      {"Cuentas::Modificar", "El campo IdMandato"s + kNotUtf8,
       [](clsCuenta& a, clsGrupo&) { a.IdMandato = "\xC0\xAF", a.Modificar(); }},
      {"Cuentas::Eliminar", "El campo Cuenta"s + kNul,
       [](clsCuenta& a, clsGrupo&) { a.Cuenta = "57\0"s, a.Eliminar(); }},
      {"Cuentas::Cargar", "El campo Cuenta"s + kNotUtf8,
       [](clsCuenta& a, clsGrupo&) { a.Cuenta = "\xED\xA0\x80", a.Cargar(); }},
      {"Cuentas::Dev_Acumulado3", "El campo strConcepto"s + kNotUtf8,
       [&](clsCuenta& a, clsGrupo&) {
         a.Dev_Acumulado2(5, day, day, Currency{}, Currency{}, "\xF8", 0, 0, 0, debit, credit);
       }},
      {"Cuentas::Dev_Acumulado3", "El campo strDocumento"s + kNul,
       [&](clsCuenta& a, clsGrupo&) {
         a.Dev_Acumulado3(5, day, day, Currency{}, Currency{}, "", "F\0"s, 0, 0, debit, credit);
       }},
      {"clsGrupos::Insertar", "El campo Nombre"s + kNotUtf8,
       [](clsCuenta&, clsGrupo& g) { g.Nombre = "\xC3\x28", g.Insertar(); }},
      {"clsGrupos::Modificar", "El campo Nombre"s + kNul,
       [](clsCuenta&, clsGrupo& g) { g.Nombre = "\0"s, g.Modificar(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    clsCuenta account = NewAccount("572");
    clsGrupo group;
    group.Empresa = 1, group.Codigo = 3;
    EXPECT_VORNEXA_ERROR(c.call(account, group), error_number::kComponent, c.source,
                         c.description);
    EXPECT_TRUE(TakeStatements().empty());
  }
  for (const char* table : {"Cuentas", "Acumulados", "Razon_Social", "Cuentas_Grupos"}) {
    EXPECT_EQ(Count("SELECT * FROM "s + table), 0) << table;
  }
}

VORNEXA_ON_ALL_BACKENDS(UnstorableText);

}  // namespace
}  // namespace vornexa::testing
