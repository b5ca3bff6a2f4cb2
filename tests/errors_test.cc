// Errors as callers meet them: the trap that gives each operation its source,
// the platform's descriptions, every public operation's failures under its own
// source, and the thread's shared connection as the objects hand it in.
#include <functional>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

TEST(ErrorTrap, KeepsNumberAndDescriptionUnderTheOperationsSourceAndDescribesTheRest) {
  const std::tuple<std::function<void()>, int32_t, const char*> cases[] = {
      {[] { throw Error(err::kComponent, "Cuentas::Modificar", "Mensaje"); }, err::kComponent,
       "Mensaje"},
      {[] { throw std::logic_error("roto"); }, err::kInternal, "Error interno: roto"},
      {[] { throw std::bad_alloc(); }, err::kOutOfMemory, "Memoria insuficiente"},
      {[] { throw 1; }, err::kInternal, "Error interno"},
  };
  for (const auto& [body, number, description] : cases) {
    EXPECT_VORNEXA_ERROR(Trap("Cuentas::Insertar", body), number, "Cuentas::Insertar", description);
  }
  EXPECT_STREQ(Error(err::kComponent, "Cuentas::Insertar", "Mensaje\r\nen dos\nlíneas").what(),
               "error 1000 (Cuentas::Insertar): Mensaje en dos líneas");
}

TEST(StandardErrors, CarryThePlatformsSpanishDescriptions) {
  const std::string runtime(kRuntimeSource), data(kDataSource);
  const std::tuple<int32_t, std::string, const char*> cases[] = {
      {err::kInvalidArgument, runtime, "Llamada a procedimiento o argumento no válido"},
      {err::kOverflow, runtime, "Desbordamiento"},
      {err::kTypeMismatch, runtime, "No coinciden los tipos"},
      {err::kObjectNotSet, runtime, "Variable de objeto o bloque With no establecido"},
      {err::kInvalidUseOfNull, runtime, "Uso no válido de Null"},
      {err::kMemberNotFound, runtime, "El objeto no admite esta propiedad o método"},
      {err::kWrongArgumentCount, runtime,
       "Número de argumentos incorrecto o asignación de propiedad no válida"},
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

// Without a company object, without a connection (a read reports the unusable
// connection, a write the missing object), from another thread, and when a
// statement fails.
TEST_P(OperationErrors, EachOperationRaisesUnderItsOwnSource) {
  const Date from{2024, 1, 1}, to{2024, 12, 31};
  Currency debe = Currency::FromDecimal("1"), haber = Currency::FromDecimal("2");
  clsGrupo g = NewGroup(1, 3);
  const int32_t kRead = err::kConnectionUnusable, kWrite = err::kObjectNotSet;
  const struct {
    const char* source;
    int32_t without_connection;
    std::function<void(clsCuenta&)> call;
  } operations[] = {
      {"Cuentas::Cargar", kRead, [](auto& a) { a.Cargar(); }},
      {"Cuentas::Existe", kRead, [](auto& a) { a.Existe(); }},
      {"Cuentas::Cargar_Anterior", kRead, [](auto& a) { a.Cargar_Anterior(); }},
      {"Cuentas::Cargar_Primero", kRead, [](auto& a) { a.Cargar_Primero(); }},
      {"Cuentas::Cargar_Siguiente", kRead, [](auto& a) { a.Cargar_Siguiente(); }},
      {"Cuentas::Cargar_Ultimo", kRead, [](auto& a) { a.Cargar_Ultimo(); }},
      {"Cuentas::Insertar", kWrite, [](auto& a) { a.Insertar(); }},
      {"Cuentas::Modificar", kWrite, [](auto& a) { a.Modificar(); }},
      {"Cuentas::Eliminar", kRead, [](auto& a) { a.Eliminar(); }},
      {"Cuentas::Posee_Movimientos", kRead, [](auto& a) { a.Posee_Movimientos(); }},
      {"Cuentas::Reparar_Acumulado", kWrite, [](auto& a) { a.Reparar_Acumulado(); }},
      {"Cuentas::Dev_Saldo", kRead, [](auto& a) { a.Dev_Saldo(5); }},
      {"Cuentas::Dev_Apertura", kRead, [](auto& a) { a.Dev_Apertura(5); }},
      {"Cuentas::Dev_Saldo_Cartera", kRead, [](auto& a) { a.Dev_Saldo_Cartera(); }},
      {"Cuentas::Dev_Saldo_PrevCobro", kRead, [](auto& a) { a.Dev_Saldo_PrevCobro("1"); }},
      {"Cuentas::Dev_Acumulado", kRead,
       [&](auto& a) { a.Dev_Acumulado(5, from, to, debe, haber); }},
      {"Cuentas::Dev_Acumulado3", kRead,
       [&](auto& a) { a.Dev_Acumulado3(5, from, to, {}, {}, "", "", 0, 0, debe, haber); }},
      // Dev_Acumulado2 has no trap of its own: its failure is Dev_Acumulado3's.
      {"Cuentas::Dev_Acumulado3", kRead,
       [&](auto& a) { a.Dev_Acumulado2(5, from, to, {}, {}, "", 1, 0, 0, debe, haber); }},
      {"clsGrupos::Insertar", kWrite, [&](auto&) { g.Insertar(); }},
      {"clsGrupos::Eliminar", kRead, [&](auto&) { g.Eliminar(); }},
      {"clsGrupos::Modificar", kWrite, [&](auto&) { g.Modificar(); }},
      {"clsGrupos::Cargar", kRead, [&](auto&) { g.Cargar(); }},
      {"clsGrupos::Existe", kRead, [&](auto&) { g.Existe(); }},
  };
  const auto described = [](int32_t number) { return std::string(StandardDescription(number)); };
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.source);
    if (std::string_view(operation.source).starts_with("Cuentas::")) {
      clsCuenta orphan;
      orphan.Cuenta = "572";
      EXPECT_VORNEXA_ERROR(operation.call(orphan), err::kObjectNotSet, operation.source,
                           described(err::kObjectNotSet));
    }
    clsCuenta account = NewAccount("572");
    account.Conexion(nullptr);
    EXPECT_VORNEXA_ERROR(operation.call(account), operation.without_connection, operation.source,
                         described(operation.without_connection));
    account.Conexion(recorder_);
    // The other thread has no connection: a call that got as far as one would
    // fail with another number.
    EXPECT_VORNEXA_ERROR(throw CaughtOnOtherThread([&] { operation.call(account); }),
                         err::kWrongThread, operation.source, described(err::kWrongThread));
    recorder_->FailStatement(0, Error(-7, "db", "rechazada"));
    EXPECT_VORNEXA_ERROR(operation.call(account), -7, operation.source, "rechazada");
    recorder_->ClearFailure();
  }
  // A failed total leaves the caller's values alone.
  EXPECT_EQ(debe.ToString() + " " + haber.ToString(), "1.0000 2.0000");
}

TEST_P(OperationErrors, AnAccountAlwaysReplacesTheSharedConnectionAGroupOnlyFillsItWhenEmpty) {
  Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, 'Clientes')");
  InsertAccountRow(1, 5, "572", "Bancos");
  clsGrupo group = NewGroup(1, 3);
  // Another database, without rows.
  auto other = std::make_shared<RecordingConnection>(TestBackends().front().open_empty());
  group.Conexion(other);  // one is stored: ignored
  EXPECT_TRUE(group.Existe());
  clsCuenta account = NewAccount("572");
  account.Conexion(nullptr);  // an empty reference clears
  group.Conexion(other);
  EXPECT_FALSE(group.Existe());
  EXPECT_FALSE(account.Cargar());  // accounts use the group's connection too
  group.Conexion(recorder_);       // ignored again
  group.Conexion(nullptr);
  EXPECT_FALSE(group.Existe());
  account.Conexion(recorder_);
  EXPECT_TRUE(group.Existe());
  EXPECT_TRUE(account.Cargar());
  EXPECT_EQ(other->statements().size(), 3u);
}

VORNEXA_ON_ALL_BACKENDS(OperationErrors);

}  // namespace
}  // namespace vornexa::testing
