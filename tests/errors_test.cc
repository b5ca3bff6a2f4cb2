// Every public operation of both classes reports its failures under its own
// source: without a company object, when a statement fails, and when the
// database itself refuses one. Then the thread's shared connection as callers
// meet it: an account object always replaces it, a group object stores its
// own only when none is stored, each thread has its own, and without one
// reads and writes fail apart.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <thread>

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
    // From another thread the object refuses before it reaches any
    // connection (that thread has none: a call that got that far would fail
    // with 91 or 3709 instead).
    std::optional<Error> refused;
    std::thread([&] {
      try {
        operation.call(account);
      } catch (const Error& e) {
        refused = e;
      }
    }).join();
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->Number(), err::kWrongThread);
    EXPECT_EQ(refused->Source(), operation.source);
    EXPECT_EQ(refused->Description(),
              "El objeto pertenece a otro subproceso: solo se puede usar en el subproceso que "
              "lo creó.");
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

class SharedConnectionRule : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 3, 'Clientes')");
    InsertAccountRow(1, 5, "572", "Bancos");
    auto empty = OpenSqlite(":memory:");
    CreateSchema(*empty);
    other_ = std::make_shared<RecordingConnection>(empty);
  }

  static clsGrupo Group() {
    clsGrupo group;
    group.Empresa = 1;
    group.Codigo = 3;
    return group;
  }

  std::shared_ptr<RecordingConnection> other_;  // another, empty database
};

TEST_P(SharedConnectionRule, AnAccountAlwaysReplacesItAGroupOnlyFillsItWhenEmpty) {
  clsGrupo group = Group();
  group.Conexion(other_);  // one is stored: ignored
  EXPECT_TRUE(group.Existe());
  EXPECT_TRUE(other_->statements().empty());

  clsCuenta account = NewAccount("572");
  account.Conexion(nullptr);  // an empty reference clears
  group.Conexion(other_);
  EXPECT_FALSE(group.Existe());
  EXPECT_FALSE(account.Cargar());  // accounts use the group's connection too
  group.Conexion(recorder_);       // ignored again
  group.Conexion(nullptr);
  EXPECT_FALSE(group.Existe());
  EXPECT_EQ(other_->statements().size(), 3u);

  account.Conexion(recorder_);
  EXPECT_TRUE(group.Existe());
  EXPECT_TRUE(account.Cargar());
  EXPECT_EQ(other_->statements().size(), 3u);
}

TEST_P(SharedConnectionRule, WithoutOneReadsReportTheUnusableConnectionAndWritesTheMissingObject) {
  clsCuenta account = NewAccount("572");
  account.Conexion(nullptr);
  clsGrupo group = Group();
  Currency debe = Currency::FromDecimal("1"), haber = Currency::FromDecimal("2");
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
      {"clsGrupos::Cargar", [&] { group.Cargar(); }, err::kConnectionUnusable},
      {"clsGrupos::Existe", [&] { group.Existe(); }, err::kConnectionUnusable},
      {"clsGrupos::Eliminar", [&] { group.Eliminar(); }, err::kConnectionUnusable},
      {"clsGrupos::Insertar", [&] { group.Insertar(); }, err::kObjectNotSet},
      {"clsGrupos::Modificar", [&] { group.Modificar(); }, err::kObjectNotSet},
  };
  for (const auto& operation : operations) {
    EXPECT_VORNEXA_ERROR(operation.call(), operation.number, operation.source,
                         std::string(StandardDescription(operation.number)));
  }
  EXPECT_EQ(StandardDescription(err::kConnectionUnusable),
            "No se puede usar la conexión para realizar esta operación. Está cerrada o no es "
            "válida en este contexto.");
  // A failed total leaves the caller's values alone.
  EXPECT_EQ(debe, Currency::FromDecimal("1"));
  EXPECT_EQ(haber, Currency::FromDecimal("2"));
}

TEST_P(SharedConnectionRule, EachThreadHasItsOwn) {
  std::string without_one;
  bool loaded_from_its_own = true;
  std::thread other([&] {
    clsCuenta account = NewAccount("572");
    try {
      account.Cargar();
    } catch (const Error& e) {
      without_one = e.what();
    }
    account.Conexion(other_);
    loaded_from_its_own = account.Cargar();
  });
  other.join();
  EXPECT_EQ(without_one,
            "error -2146824579 (Cuentas::Cargar): No se puede usar la conexión para realizar "
            "esta operación. Está cerrada o no es válida en este contexto.");
  EXPECT_FALSE(loaded_from_its_own);  // the other, empty database
  EXPECT_TRUE(NewAccount("572").Cargar());  // this thread's connection was not touched
}

VORNEXA_ON_EMBEDDED(SharedConnectionRule);

}  // namespace
}  // namespace vornexa::testing
