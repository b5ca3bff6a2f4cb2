// What callers rely on arrives unchanged: an unknown affected-row count is not
// "no row", a department code is written as it was read, an impossible date
// is refused before any statement.
#include <gtest/gtest.h>

#include <functional>

#include "accounts_fixture.h"

namespace vornexa::testing {
namespace {

// Reports -1 for every UPDATE once `unknown` is set, as SQL Server does in a
// session with NOCOUNT on.
class UnknownCountConnection : public RecordingConnection {
 public:
  using RecordingConnection::RecordingConnection;
  bool unknown = false;

  int64_t Execute(std::string_view sql) override {
    const int64_t rows = RecordingConnection::Execute(sql);
    return unknown && sql.starts_with("UPDATE") ? -1 : rows;
  }
};

// On the embedded database alone: its loosely typed tables can hold what
// the others refuse.
class Fidelity : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    connection_ = std::make_shared<UnknownCountConnection>(database_);
    clsCuenta().Conexion(connection_);
  }

  clsCuenta Account(const std::string& code) {
    clsCuenta account = NewAccount(code);
    account.NoVerificarNivelesSup = true;
    return account;
  }
  // The statements sent since the last call that contain `part`.
  Statements Sent(const std::string& part) {
    Statements sent;
    for (const std::string& sql : connection_->statements()) {
      if (sql.find(part) != std::string::npos) sent.push_back(sql);
    }
    connection_->Clear();
    return sent;
  }

  std::shared_ptr<UnknownCountConnection> connection_;
};

TEST_P(Fidelity, OnlyACountOfZeroLeadsToTheInsert) {
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 3)");
  clsCuenta existing = Account("43000001");
  existing.Nif = "B12345678";
  ASSERT_TRUE(existing.Insertar());
  ASSERT_EQ(Sent("INSERT").size(), 4u);  // Cuentas, Acumulados, Acumulados_Dpto, Razon_Social

  connection_->unknown = true;
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"save of an existing account with its Nif", [&] { existing.Modificar(); }},
      {"accumulator repair", [&] { existing.Reparar_Acumulado(); }},
      // With every count unknown, not even a missing account is created: an
      // INSERT on a guess could duplicate a row.
      {"save of a new account", [&] { Account("43000002").Modificar(); }},
  };
  for (const auto& [name, run] : cases) {
    SCOPED_TRACE(name);
    run();
    EXPECT_FALSE(connection_->statements().empty());
    EXPECT_EQ(Sent("INSERT"), Statements{});
  }
}

TEST_P(Fidelity, DepartmentCodesAreWrittenAsTheyWereRead) {
  // A table that keeps each code as it was given, as a loosely typed
  // database or a decimal column does.
  Exec("DROP TABLE Departamentos");
  Exec("CREATE TABLE Departamentos (Cod_Empresa, Codigo)");
  Exec("DROP TABLE Acumulados_Dpto");
  Exec("CREATE TABLE Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel)");
  Exec("INSERT INTO Departamentos VALUES (1, '007'), (1, 2.5), (1, -4)");
  ASSERT_TRUE(Account("430").Insertar());
  const std::string update = "UPDATE Acumulados_Dpto SET Nivel = 3 WHERE Cod_Empresa =1 AND "
                             "Cod_Ejercicio =5 AND Dpto =";
  const std::string insert = "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, "
                             "Cuenta, Nivel) VALUES (1, 5, ";
  EXPECT_EQ(Sent("Acumulados_Dpto"),
            (Statements{update + "007 AND Cuenta = '430'", insert + "007, '430', 3)",
                        update + "2.5 AND Cuenta = '430'", insert + "2.5, '430', 3)",
                        update + "-4 AND Cuenta = '430'", insert + "-4, '430', 3)"}));

  // Text that is not a number would change the statement around it.
  Exec("DELETE FROM Departamentos");
  Exec("INSERT INTO Departamentos VALUES (1, '1 OR 1=1')");
  EXPECT_VORNEXA_ERROR(Account("431").Insertar(), error_number::kTypeMismatch, "Cuentas::Insertar",
                       "No coinciden los tipos");
}

TEST_P(Fidelity, ImpossibleDatesAreRefusedBeforeAnyStatement) {
  const Date valid{2024, 2, 29};
  const Date impossible[] = {{2024, 2, 30}, {2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
                             {2024, 1, 0},  {2024, 4, 31}, {2024, 1, 32}, {1900, 2, 29},
                             {99, 12, 31},  {10000, 1, 1}, {2024, 1, 1, 24, 0, 0},
                             {2024, 1, 1, 0, 60, 0}, {2024, 1, 1, 0, 0, -1}};
  clsCuenta account = Account("572");
  const Currency kept{123};
  const std::string invalid = "Llamada a procedimiento o argumento no válido";
  for (const Date& bad : impossible) {
    SCOPED_TRACE(::testing::Message() << bad.year << "-" << bad.month << "-" << bad.day << " "
                                      << bad.hour << ":" << bad.minute << ":" << bad.second);
    for (const auto& [from, to] : {std::pair{bad, valid}, std::pair{valid, bad}}) {
      Currency debit = kept, credit = kept;
      EXPECT_VORNEXA_ERROR(account.Dev_Acumulado(5, from, to, debit, credit),
                           error_number::kInvalidArgument, "Cuentas::Dev_Acumulado", invalid);
      EXPECT_VORNEXA_ERROR(account.Dev_Acumulado2(5, from, to, {}, {}, "", 0, 0, 0, debit, credit),
                           error_number::kInvalidArgument, "Cuentas::Dev_Acumulado3", invalid);
      EXPECT_EQ(Sent(""), Statements{});
      EXPECT_EQ(std::make_pair(debit, credit), std::make_pair(kept, kept));
    }
  }
  Currency debit, credit;
  account.Dev_Acumulado(5, valid, {2024, 12, 31, 23, 59, 59}, debit, credit);
  EXPECT_EQ(Sent("").size(), 1u);
}

VORNEXA_ON_EMBEDDED(Fidelity);

}  // namespace
}  // namespace vornexa::testing
