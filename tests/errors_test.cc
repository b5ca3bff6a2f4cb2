// Errors as callers meet them: the trap that gives each operation its source,
// the runtime's descriptions, every public operation's failures under its own
// source, and the thread's shared connection: an account object always
// replaces it, a group object stores its own only when none is stored, and
// without one reads and writes fail apart.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

TEST(ErrorTrap, KeepsNumberAndDescriptionUnderTheOperationsSourceAndDescribesTheRest) {
  EXPECT_EQ(Trap("x", [] { return 42; }), 42);
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { throw Error(err::kComponent, "Cuentas::Modificar", "Mensaje"); },
       "error 1000 (Cuentas::Insertar): Mensaje"},
      {[] { throw std::logic_error("roto"); }, "error 51 (Cuentas::Insertar): Error interno: roto"},
      {[] { throw std::bad_alloc(); }, "error 7 (Cuentas::Insertar): Memoria insuficiente"},
      {[] { throw 1; }, "error 51 (Cuentas::Insertar): Error interno"},
  };
  for (const auto& [body, expected] : cases) {
    EXPECT_STREQ(CaughtError([&] { Trap("Cuentas::Insertar", body); }).what(), expected.c_str());
  }
}

TEST(StandardErrors, CarryThePlatformsSpanishDescriptions) {
  const std::string runtime(kRuntimeSource), data(kDataSource);
  const std::tuple<int32_t, std::string, const char*> cases[] = {
      {err::kInvalidArgument, runtime, "Llamada a procedimiento o argumento no válido"},
      {err::kOverflow, runtime, "Desbordamiento"},
      {err::kTypeMismatch, runtime, "No coinciden los tipos"},
      {err::kObjectNotSet, runtime, "Variable de objeto o bloque With no establecido"},
      {err::kInvalidUseOfNull, runtime, "Uso no válido de Null"},
      {err::kWrongThread, runtime,
       "El objeto pertenece a otro subproceso: solo se puede usar en el subproceso que lo creó."},
      {err::kConnectionUnusable, data,
       "No se puede usar la conexión para realizar esta operación. Está cerrada o no es válida "
       "en este contexto."},
      {err::kObjectClosed, data, "No se permite realizar la operación si el objeto está cerrado."},
  };
  for (const auto& [number, source, description] : cases) {
    EXPECT_VORNEXA_ERROR(source == runtime ? RaiseRuntimeError(number) : RaiseDataError(number),
                         number, source, description);
  }
}

class OperationErrors : public BackendTest {};

// Without a company object, from another thread, and when a statement fails.
TEST_P(OperationErrors, EachOperationRaisesUnderItsOwnSource) {
  const Date from{2024, 1, 1}, to{2024, 12, 31};
  Currency debe = Currency::FromDecimal("1"), haber = Currency::FromDecimal("2");
  clsGrupo group;
  group.Empresa = 1;
  group.Codigo = 3;
  const struct {
    const char* source;
    std::function<void(clsCuenta&)> call;
  } operations[] = {
      {"Cuentas::Cargar", [](clsCuenta& a) { a.Cargar(); }},
      {"Cuentas::Existe", [](clsCuenta& a) { a.Existe(); }},
      {"Cuentas::Cargar_Anterior", [](clsCuenta& a) { a.Cargar_Anterior(); }},
      {"Cuentas::Cargar_Primero", [](clsCuenta& a) { a.Cargar_Primero(); }},
      {"Cuentas::Cargar_Siguiente", [](clsCuenta& a) { a.Cargar_Siguiente(); }},
      {"Cuentas::Cargar_Ultimo", [](clsCuenta& a) { a.Cargar_Ultimo(); }},
      {"Cuentas::Insertar", [](clsCuenta& a) { a.Insertar(); }},
      {"Cuentas::Modificar", [](clsCuenta& a) { a.Modificar(); }},
      {"Cuentas::Eliminar", [](clsCuenta& a) { a.Eliminar(); }},
      {"Cuentas::Posee_Movimientos", [](clsCuenta& a) { a.Posee_Movimientos(); }},
      {"Cuentas::Reparar_Acumulado", [](clsCuenta& a) { a.Reparar_Acumulado(); }},
      {"Cuentas::Dev_Saldo", [](clsCuenta& a) { a.Dev_Saldo(5); }},
      {"Cuentas::Dev_Apertura", [](clsCuenta& a) { a.Dev_Apertura(5); }},
      {"Cuentas::Dev_Saldo_Cartera", [](clsCuenta& a) { a.Dev_Saldo_Cartera(); }},
      {"Cuentas::Dev_Saldo_PrevCobro", [](clsCuenta& a) { a.Dev_Saldo_PrevCobro("1"); }},
      {"Cuentas::Dev_Acumulado", [&](clsCuenta& a) { a.Dev_Acumulado(5, from, to, debe, haber); }},
      {"Cuentas::Dev_Acumulado3",
       [&](clsCuenta& a) { a.Dev_Acumulado3(5, from, to, {}, {}, "", "", 0, 0, debe, haber); }},
      // Dev_Acumulado2 has no trap of its own: its failure is Dev_Acumulado3's.
      {"Cuentas::Dev_Acumulado3",
       [&](clsCuenta& a) { a.Dev_Acumulado2(5, from, to, {}, {}, "", 1, 0, 0, debe, haber); }},
      {"clsGrupos::Insertar", [&](clsCuenta&) { group.Insertar(); }},
      {"clsGrupos::Eliminar", [&](clsCuenta&) { group.Eliminar(); }},
      {"clsGrupos::Modificar", [&](clsCuenta&) { group.Modificar(); }},
      {"clsGrupos::Cargar", [&](clsCuenta&) { group.Cargar(); }},
      {"clsGrupos::Existe", [&](clsCuenta&) { group.Existe(); }},
  };
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.source);
    if (std::string_view(operation.source).starts_with("Cuentas::")) {
      clsCuenta orphan;
      orphan.Cuenta = "572";
      EXPECT_VORNEXA_ERROR(operation.call(orphan), err::kObjectNotSet, operation.source,
                           std::string(StandardDescription(err::kObjectNotSet)));
    }
    clsCuenta account = NewAccount("572");
    // The other thread has no connection: a call that got as far as one would
    // fail with another number.
    EXPECT_VORNEXA_ERROR(throw CaughtOnOtherThread([&] { operation.call(account); }),
                         err::kWrongThread, operation.source,
                         std::string(StandardDescription(err::kWrongThread)));
    recorder_->FailStatement(0, Error(-7, "db", "rechazada"));
    EXPECT_VORNEXA_ERROR(operation.call(account), -7, operation.source, "rechazada");
    recorder_->ClearFailure();
  }
  // A failed total leaves the caller's values alone.
  EXPECT_EQ(debe.ToString() + " " + haber.ToString(), "1.0000 2.0000");
}

VORNEXA_ON_ALL_BACKENDS(OperationErrors);

class SharedConnectionRule : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, 'Clientes')");
    InsertAccountRow(1, 5, "572", "Bancos");
    group_.Empresa = 1;
    group_.Codigo = 3;
  }

  clsGrupo group_;
};

TEST_P(SharedConnectionRule, AnAccountAlwaysReplacesItAGroupOnlyFillsItWhenEmpty) {
  // Another database, without rows.
  auto other = std::make_shared<RecordingConnection>(TestBackends().front().open_empty());
  group_.Conexion(other);  // one is stored: ignored
  EXPECT_TRUE(group_.Existe());
  clsCuenta account = NewAccount("572");
  account.Conexion(nullptr);  // an empty reference clears
  group_.Conexion(other);
  EXPECT_FALSE(group_.Existe());
  EXPECT_FALSE(account.Cargar());  // accounts use the group's connection too
  group_.Conexion(recorder_);      // ignored again
  group_.Conexion(nullptr);
  EXPECT_FALSE(group_.Existe());
  account.Conexion(recorder_);
  EXPECT_TRUE(group_.Existe());
  EXPECT_TRUE(account.Cargar());
  EXPECT_EQ(other->statements().size(), 3u);
}

TEST_P(SharedConnectionRule, WithoutOneReadsReportTheUnusableConnectionAndWritesTheMissingObject) {
  clsCuenta account = NewAccount("572");
  account.Conexion(nullptr);
  Currency debe, haber;
  const struct {
    const char* source;
    std::function<void()> call;
    int32_t number;
  } operations[] = {
      {"Cuentas::Cargar", [&] { account.Cargar(); }, err::kConnectionUnusable},
      {"Cuentas::Cargar_Primero", [&] { account.Cargar_Primero(); }, err::kConnectionUnusable},
      {"Cuentas::Dev_Acumulado",
       [&] { account.Dev_Acumulado(5, {2024, 1, 1}, {2024, 12, 31}, debe, haber); },
       err::kConnectionUnusable},
      {"Cuentas::Insertar", [&] { account.Insertar(); }, err::kObjectNotSet},
      {"clsGrupos::Cargar", [&] { group_.Cargar(); }, err::kConnectionUnusable},
      {"clsGrupos::Existe", [&] { group_.Existe(); }, err::kConnectionUnusable},
      {"clsGrupos::Eliminar", [&] { group_.Eliminar(); }, err::kConnectionUnusable},
      {"clsGrupos::Insertar", [&] { group_.Insertar(); }, err::kObjectNotSet},
      {"clsGrupos::Modificar", [&] { group_.Modificar(); }, err::kObjectNotSet},
  };
  for (const auto& operation : operations) {
    EXPECT_VORNEXA_ERROR(operation.call(), operation.number, operation.source,
                         std::string(StandardDescription(operation.number)));
  }
}

VORNEXA_ON_EMBEDDED(SharedConnectionRule);

}  // namespace
}  // namespace vornexa::testing
