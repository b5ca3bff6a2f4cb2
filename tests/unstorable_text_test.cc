// Text a database could not store and give back exactly (invalid UTF-8 of
// every kind, an embedded NUL) is refused before any statement runs, naming
// the field.
#include <functional>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

using namespace std::string_literals;

class UnstorableText : public BackendTest {};

std::string Nul(const std::string& field) {
  return "El campo " + field + " contiene un carácter nulo";
}
std::string NotUtf8(const std::string& field) {
  return "El campo " + field + " contiene texto que no es UTF-8 válido";
}

TEST_P(UnstorableText, IsRefusedBeforeAnyStatementRuns) {
  const Date day{2024, 1, 31};
  Currency debe, haber;
  clsGrupo g = NewGroup(1, 3);
  const std::tuple<const char*, std::string, std::function<void(clsCuenta&)>> cases[] = {
      {"Cuentas::Insertar", Nul("Nombre"), [](auto& a) { a.Nombre = "Caja\0B"s, a.Insertar(); }},
      {"Cuentas::Insertar", NotUtf8("Cuenta"), [](auto& a) { a.Cuenta = "5\xC3", a.Insertar(); }},
      // The registry's fields are checked with the rest, before the account's UPDATE.
      {"Cuentas::Modificar", NotUtf8("F_Razon"),
       [](auto& a) { a.Nif = "B1", a.F_Razon = "\xFF", a.Modificar(); }},
      {"Cuentas::Modificar", NotUtf8("IdMandato"),
       [](auto& a) { a.IdMandato = "\xC0\xAF", a.Modificar(); }},
      {"Cuentas::Eliminar", Nul("Cuenta"), [](auto& a) { a.Cuenta = "57\0"s, a.Eliminar(); }},
      {"Cuentas::Cargar", NotUtf8("Cuenta"),
       [](auto& a) { a.Cuenta = "\xED\xA0\x80", a.Cargar(); }},
      {"Cuentas::Dev_Acumulado3", NotUtf8("strConcepto"),
       [&](auto& a) {
         a.Dev_Acumulado2(5, day, day, {}, {}, "\xF4\x90\x80\x80", 0, 0, 0, debe, haber);
       }},
      {"Cuentas::Dev_Acumulado3", Nul("strDocumento"),
       [&](auto& a) { a.Dev_Acumulado3(5, day, day, {}, {}, "", "F\0"s, 0, 0, debe, haber); }},
      {"clsGrupos::Insertar", NotUtf8("Nombre"), [&](auto&) { g.Nombre = "\x80", g.Insertar(); }},
      {"clsGrupos::Modificar", Nul("Nombre"), [&](auto&) { g.Nombre = "\0"s, g.Modificar(); }},
  };
  for (const auto& [source, description, call] : cases) {
    clsCuenta account = NewAccount("572");
    EXPECT_VORNEXA_ERROR(call(account), error_number::kComponent, source, description);
    EXPECT_EQ(TakeStatements(), std::vector<std::string>()) << description;  // nothing ran
  }
}

VORNEXA_ON_ALL_BACKENDS(UnstorableText);

}  // namespace
}  // namespace vornexa::testing
