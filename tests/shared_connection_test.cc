// The thread's shared connection, as callers meet it: an account object
// always replaces it, a group object stores its own only when none is stored,
// each thread has its own, and without one reads and writes fail apart.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

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
