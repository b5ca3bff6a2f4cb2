// Every public operation of an account reports its failures under its own
// source: without a company object, and when the database refuses a statement.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/caught_error.h"
#include "support/fixtures.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::testing {
namespace {

class AccountErrors : public BackendTest {};

TEST_P(AccountErrors, EachOperationRaisesUnderItsOwnSource) {
  const Date from{2024, 1, 1}, to{2024, 12, 31};
  Currency debe = Currency::FromDecimal("1"), haber = Currency::FromDecimal("2");
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
      {"Cuentas::Dev_Saldo", [](clsCuenta& a) { a.Dev_Saldo(5); }},
      {"Cuentas::Dev_Apertura", [](clsCuenta& a) { a.Dev_Apertura(5); }},
      {"Cuentas::Dev_Saldo_Cartera", [](clsCuenta& a) { a.Dev_Saldo_Cartera(); }},
      {"Cuentas::Dev_Saldo_PrevCobro", [](clsCuenta& a) { a.Dev_Saldo_PrevCobro("1"); }},
      {"Cuentas::Dev_Acumulado",
       [&](clsCuenta& a) { a.Dev_Acumulado(5, from, to, debe, haber); }},
      {"Cuentas::Dev_Acumulado3",
       [&](clsCuenta& a) { a.Dev_Acumulado3(5, from, to, {}, {}, "", "", 0, 0, debe, haber); }},
      // Dev_Acumulado2 has no trap of its own: its failure is Dev_Acumulado3's.
      {"Cuentas::Dev_Acumulado3",
       [&](clsCuenta& a) { a.Dev_Acumulado2(5, from, to, {}, {}, "", 1, 0, 0, debe, haber); }},
  };
  const std::string not_set(StandardDescription(error_number::kObjectNotSet));
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.source);
    clsCuenta orphan;  // no company object
    orphan.Cuenta = "572";
    EXPECT_VORNEXA_ERROR(operation.call(orphan), error_number::kObjectNotSet, operation.source,
                         not_set);
    clsCuenta account = NewAccount("572");
    recorder_->FailStatement(0, Error(-7, "db", "rechazada"));
    EXPECT_VORNEXA_ERROR(operation.call(account), -7, operation.source, "rechazada");
    recorder_->ClearFailure();
  }
  // A failed total leaves the caller's values alone.
  EXPECT_EQ(debe, Currency::FromDecimal("1"));
  EXPECT_EQ(haber, Currency::FromDecimal("2"));
}

TEST_P(AccountErrors, WithoutASharedConnectionReadsReportTheUnusableConnection) {
  clsCuenta account = NewAccount("572");
  ReplaceSharedConnection(nullptr);
  const std::string unusable(StandardDescription(error_number::kConnectionUnusable));
  EXPECT_VORNEXA_ERROR(account.Cargar(), error_number::kConnectionUnusable, "Cuentas::Cargar",
                       unusable);
  EXPECT_VORNEXA_ERROR(account.Cargar_Primero(), error_number::kConnectionUnusable,
                       "Cuentas::Cargar_Primero", unusable);
  Currency debe = Currency::FromDecimal("1"), haber = Currency::FromDecimal("2");
  EXPECT_VORNEXA_ERROR(account.Dev_Acumulado(5, {2024, 1, 1}, {2024, 12, 31}, debe, haber),
                       error_number::kConnectionUnusable, "Cuentas::Dev_Acumulado", unusable);
  EXPECT_EQ(debe, Currency::FromDecimal("1"));
  EXPECT_EQ(haber, Currency::FromDecimal("2"));
  // Saving writes through the account's own connection, which it no longer has.
  account.Conexion(nullptr);
  EXPECT_VORNEXA_ERROR(account.Insertar(), error_number::kObjectNotSet, "Cuentas::Insertar",
                       std::string(StandardDescription(error_number::kObjectNotSet)));
}

VORNEXA_ON_ALL_BACKENDS(AccountErrors);

}  // namespace
}  // namespace vornexa::testing
