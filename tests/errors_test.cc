// Every public operation of both classes reports its failures under its own
// source: without a company object, when a statement fails, and when the
// database itself refuses one.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

class OperationErrors : public BackendTest {};

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
  const std::string not_set(StandardDescription(err::kObjectNotSet));
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.source);
    if (std::string_view(operation.source).starts_with("Cuentas::")) {
      clsCuenta orphan;  // no company object
      orphan.Cuenta = "572";
      EXPECT_VORNEXA_ERROR(operation.call(orphan), err::kObjectNotSet, operation.source, not_set);
    }
    clsCuenta account = NewAccount("572");
    recorder_->FailStatement(0, Error(-7, "db", "rechazada"));
    EXPECT_VORNEXA_ERROR(operation.call(account), -7, operation.source, "rechazada");
    recorder_->ClearFailure();
  }
  // A failed total leaves the caller's values alone.
  EXPECT_EQ(debe, Currency::FromDecimal("1"));
  EXPECT_EQ(haber, Currency::FromDecimal("2"));
}

TEST_P(OperationErrors, TheDatabasesRefusalKeepsItsNumberAndMessage) {
  // A duplicate group is refused by the table's key.
  Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, 'Clientes')");
  clsGrupo group;
  group.Empresa = 1;
  group.Codigo = 3;
  const Error duplicate = CaughtError([&] { group.Insertar(); });
  EXPECT_EQ(duplicate.Number(), err::kConstraintViolation);
  EXPECT_EQ(duplicate.Source(), "clsGrupos::Insertar");

  // A missing table: the database's own message names it (PostgreSQL in
  // lower case), and a creation that met it is undone as a whole.
  InsertAccountRow(1, 5, "4300");
  Exec("DROP TABLE Acumulados");
  clsCuenta account = NewAccount("43000001");
  const Error failed = CaughtError([&] { account.Insertar(); });
  EXPECT_EQ(failed.Number(), err::kStatementRejected);
  EXPECT_EQ(failed.Source(), "Cuentas::Insertar");
  std::string described = failed.Description();
  for (char& c : described) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(described.find("acumulados"), std::string::npos) << failed.Description();
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas WHERE Cuenta = '43000001'"), 0);

  Exec("DROP TABLE Cuentas");
  const Error load = CaughtError([&] { account.Cargar(); });
  EXPECT_EQ(load.Number(), err::kStatementRejected);
  EXPECT_EQ(load.Source(), "Cuentas::Cargar");
}

VORNEXA_ON_ALL_BACKENDS(OperationErrors);

}  // namespace
}  // namespace vornexa::testing
