// Objects belong to the thread that created them, a copy to the thread that
// made it, and each thread has its own shared connection. The operations with
// an error trap are refused under their own source (OperationErrors); here,
// the members without one.
#include <functional>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class ThreadOwnership : public BackendTest {};

TEST_P(ThreadOwnership, AnotherThreadIsRefusedAndACopyMadeThereUsesThatThreadsConnection) {
  InsertAccountRow(1, 5, "572", "Bancos");
  clsCuenta account = NewAccount("572");
  clsGrupo group;
  const auto what = [](int32_t number, std::string_view source) -> std::string {
    return Error(number, std::string(source), std::string(StandardDescription(number))).what();
  };
  const std::string refused = what(error_number::kWrongThread, kRuntimeSource);
  const std::pair<std::function<void()>, std::string> calls[] = {
      {[&] { account.CuentaDesarrollo("43.1"); }, refused},
      {[&] { account.Conexion(nullptr); }, refused},
      {[&] { account.cEmpresa(nullptr); }, refused},
      {[&] { group.Conexion(nullptr); }, refused},
      // Clearing that thread's connection leaves this one's alone.
      {[&] { clsCuenta copy = account; copy.Conexion(nullptr), copy.Cargar(); },
       what(error_number::kConnectionUnusable, "Cuentas::Cargar")},
  };
  for (const auto& [call, expected] : calls) {
    EXPECT_EQ(CaughtOnOtherThread(call).what(), expected);
  }
  // The owner keeps its company and its connection.
  EXPECT_TRUE(account.Cargar());
}

VORNEXA_ON_EMBEDDED(ThreadOwnership);

}  // namespace
}  // namespace vornexa::testing
