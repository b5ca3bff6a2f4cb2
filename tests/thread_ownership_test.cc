// Objects belong to the thread that created them: called from another thread
// they refuse, and the other thread's connection sees nothing.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

#include "support/fixtures.h"
#include "support/fixtures.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/vornexa.h"

namespace vornexa::testing {
namespace {

constexpr std::string_view kWrongThread =
    "El objeto pertenece a otro subproceso: solo se puede usar en el subproceso que lo creó.";

std::shared_ptr<RecordingConnection> NewDatabase() {
  auto database = OpenSqlite(":memory:");
  CreateSchema(*database);
  return std::make_shared<RecordingConnection>(database);
}

// Runs `body` on a new thread that has a database of its own; returns the
// statements that reached that database.
std::vector<std::string> OnOtherThread(const std::function<void()>& body) {
  std::vector<std::string> statements;
  std::thread other([&] {
    auto own = NewDatabase();
    ReplaceSharedConnection(own);
    body();
    statements = own->statements();
    ReplaceSharedConnection(nullptr);
  });
  other.join();
  return statements;
}

TEST(ThreadOwnership, OperationsCalledFromAnotherThreadAreRefused) {
  ReplaceSharedConnection(NewDatabase());
  auto company = std::make_shared<Empresa>();
  company->digitos_nivel = {1, 2, 3, 4, 8, 0};
  clsCuenta account;
  account.cEmpresa(company);
  account.Cuenta = "572";
  clsGrupo group;
  group.Codigo = 1;
  Currency debit, credit;
  const Date day{2024, 1, 31};
  const std::pair<std::string_view, std::function<void()>> calls[] = {
      {"Cuentas::Cargar", [&] { account.Cargar(); }},
      {"Cuentas::Cargar_Primero", [&] { account.Cargar_Primero(); }},
      {"Cuentas::Cargar_Siguiente", [&] { account.Cargar_Siguiente(); }},
      {"Cuentas::Existe", [&] { account.Existe(); }},
      {"Cuentas::Insertar", [&] { account.Insertar(); }},
      {"Cuentas::Modificar", [&] { account.Modificar(); }},
      {"Cuentas::Eliminar", [&] { account.Eliminar(); }},
      {"Cuentas::Posee_Movimientos", [&] { account.Posee_Movimientos(); }},
      {"Cuentas::Reparar_Acumulado", [&] { account.Reparar_Acumulado(); }},
      {"Cuentas::Dev_Acumulado", [&] { account.Dev_Acumulado(5, day, day, debit, credit); }},
      {"Cuentas::Dev_Acumulado3",
       [&] { account.Dev_Acumulado2(5, day, day, {}, {}, "", 0, 0, 0, debit, credit); }},
      {"Cuentas::Dev_Apertura", [&] { account.Dev_Apertura(5); }},
      {"Cuentas::Dev_Saldo", [&] { account.Dev_Saldo(5); }},
      {"Cuentas::Dev_Saldo_Cartera", [&] { account.Dev_Saldo_Cartera(); }},
      {"Cuentas::Dev_Saldo_PrevCobro", [&] { account.Dev_Saldo_PrevCobro("1,2"); }},
      // Members without an error trap of their own report the runtime's source.
      {"Vornexa", [&] { account.CuentaDesarrollo("43.1"); }},
      {"Vornexa", [&] { account.Conexion(nullptr); }},
      {"Vornexa", [&] { account.cEmpresa(nullptr); }},
      {"clsGrupos::Insertar", [&] { group.Insertar(); }},
      {"clsGrupos::Eliminar", [&] { group.Eliminar(); }},
      {"clsGrupos::Modificar", [&] { group.Modificar(); }},
      {"clsGrupos::Cargar", [&] { group.Cargar(); }},
      {"clsGrupos::Existe", [&] { group.Existe(); }},
      {"Vornexa", [&] { group.Conexion(nullptr); }},
  };
  for (const auto& [source, call] : calls) {
    SCOPED_TRACE(source);
    std::optional<Error> refused;
    const std::vector<std::string> reached = OnOtherThread([&] {
      try {
        call();
      } catch (const Error& e) {
        refused = e;
      }
    });
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->Number(), error_number::kWrongThread);
    EXPECT_EQ(refused->Source(), source);
    EXPECT_EQ(refused->Description(), kWrongThread);
    EXPECT_EQ(reached, std::vector<std::string>());
  }
  // The owner still works, on its own connection.
  EXPECT_FALSE(account.Existe());
  EXPECT_FALSE(group.Existe());
  ReplaceSharedConnection(nullptr);
}

TEST(ThreadOwnership, ACopyBelongsToTheThreadThatMadeIt) {
  auto company = std::make_shared<Empresa>();
  clsCuenta original;
  original.cEmpresa(company);
  original.Cuenta = "572";
  bool found = true;
  const std::vector<std::string> reached = OnOtherThread([&] {
    clsCuenta copy = original;
    found = copy.Existe();
  });
  EXPECT_FALSE(found);
  EXPECT_EQ(reached.size(), 1u);
}

}  // namespace
}  // namespace vornexa::testing
