// Objects belong to the thread that created them, a copy to the thread that
// made it, and each thread has its own shared connection. The operations with
// an error trap are refused under their own source (OperationErrors); here,
// the members without one.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class ThreadOwnership : public BackendTest {};

TEST_P(ThreadOwnership, MembersWithoutATrapAreRefusedUnderTheRuntimesSource) {
  clsCuenta account = NewAccount("572");
  clsGrupo group;
  const std::function<void()> calls[] = {
      [&] { account.CuentaDesarrollo("43.1"); },
      [&] { account.Conexion(nullptr); },
      [&] { account.cEmpresa(nullptr); },
      [&] { group.Conexion(nullptr); },
  };
  for (const auto& call : calls) {
    EXPECT_VORNEXA_ERROR(throw CaughtOnOtherThread(call), error_number::kWrongThread,
                         std::string(kRuntimeSource),
                         std::string(StandardDescription(error_number::kWrongThread)));
  }
  // The owner keeps its company and its connection.
  EXPECT_FALSE(account.Existe());
  EXPECT_EQ(TakeStatements().size(), 1u);
}

TEST_P(ThreadOwnership, ACopyAndItsConnectionBelongToTheThreadThatMadeIt) {
  InsertAccountRow(1, 5, "572", "Bancos");
  const clsCuenta original = NewAccount("572");
  std::string other_thread;
  std::thread([&] {
    try {
      clsCuenta copy = original;
      other_thread = CaughtError([&] { copy.Cargar(); }).what();
      copy.Conexion(TestBackends().front().open_empty());
      other_thread += copy.Cargar() ? " / loaded" : " / not found";
    } catch (const Error& e) {
      other_thread += e.what();
    }
  }).join();
  const Error no_connection(error_number::kConnectionUnusable, "Cuentas::Cargar",
                            std::string(StandardDescription(error_number::kConnectionUnusable)));
  EXPECT_EQ(other_thread, no_connection.what() + std::string(" / not found"));
  EXPECT_TRUE(NewAccount("572").Cargar());  // this thread's connection was not touched
}

VORNEXA_ON_EMBEDDED(ThreadOwnership);

}  // namespace
}  // namespace vornexa::testing
