// Objects belong to the thread that created them: called from another thread
// they refuse, and the other thread's connection sees nothing.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

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

// Every operation with an error trap is refused under its own source (see
// OperationErrors); the members without one report the runtime's source.
TEST(ThreadOwnership, MembersWithoutATrapAreRefusedUnderTheRuntimesSource) {
  ReplaceSharedConnection(NewDatabase());
  clsCuenta account;
  account.cEmpresa(std::make_shared<Empresa>());
  account.Cuenta = "572";
  clsGrupo group;
  group.Codigo = 1;
  const std::function<void()> calls[] = {
      [&] { account.CuentaDesarrollo("43.1"); },
      [&] { account.Conexion(nullptr); },
      [&] { account.cEmpresa(nullptr); },
      [&] { group.Conexion(nullptr); },
  };
  for (const auto& call : calls) {
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
    EXPECT_EQ(refused->Source(), kRuntimeSource);
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
