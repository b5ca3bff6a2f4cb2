// Loading an account by code: the derived mandate id, what a missing row or a
// crafted code leaves, and rows that stop the load partway through its steps.
// That every field loads into its own member is checked by saving a filled
// account and loading it back (maintenance_test.cc).
#include <gtest/gtest.h>

#include "accounts_fixture.h"

namespace vornexa::testing {
namespace {

class AccountLoading : public BackendTest {};

TEST_P(AccountLoading, DerivesAnEmptyMandateIdFromCompanyAndCode) {
  const std::pair<int16_t, const char*> stored[] = {{5, ""}, {6, "   "}, {7, " M 1 "}};
  for (const auto& [exercise, id] : stored) {
    InsertAccountRow(1, exercise, "43000001");
    Exec("UPDATE Cuentas SET IDMandato = '" + std::string(id) +
         "' WHERE Cod_Ejercicio = " + std::to_string(exercise));
  }
  const struct {
    int16_t company, exercise;
    const char* id;
  } cases[] = {
      // The company code of the loading object, two digits at least.
      {7, 5, "0743000001"}, {12, 5, "1243000001"}, {123, 5, "12343000001"},
      {123, 6, "12343000001"},  // only blanks: derived too
      {123, 7, " M 1 "},        // text keeps its blanks
  };
  for (const auto& c : cases) {
    company_->codigo = c.company;
    company_->ejercicio = c.exercise;
    Exec("UPDATE Cuentas SET Cod_Empresa = " + std::to_string(c.company));
    clsCuenta account = NewAccount("43000001");
    ASSERT_TRUE(account.Cargar());
    EXPECT_EQ(account.IdMandato, c.id) << c.company << " " << c.exercise;
  }
}

TEST_P(AccountLoading, FindingNoRowLeavesEveryFieldAsItWas) {
  InsertAccountRow(1, 6, "572", "Bancos otro ejercicio");
  InsertAccountRow(2, 5, "572", "Bancos otra empresa");
  InsertAccountRow(1, 5, "", "Sin código");
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES (1, 5, "
       "'O''Brien ''''x', 'con apóstrofos')");
  // Codes crafted to end the literal early find nothing and run nothing of their own.
  for (const char* code : {"572", "", "x' OR '1'='1", "x'; DELETE FROM Cuentas; --"}) {
    clsCuenta account = NewAccount(code);
    account.Nombre = "sin cargar";
    account.Cp = 123;
    const std::string before = Describe(account);
    EXPECT_FALSE(account.Cargar()) << code;
    EXPECT_EQ(Describe(account), before);
  }
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 4);
  clsCuenta account = NewAccount("O'Brien ''x");
  ASSERT_TRUE(account.Cargar());
  EXPECT_EQ(account.Nombre, "con apóstrofos");
}

VORNEXA_ON_ALL_BACKENDS(AccountLoading);

// Rows the real table cannot hold (NULLs, out-of-range numbers, missing
// columns) come from a permissive copy of it.
class AccountLoadingFromLooseRows : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = OpenSqlite(":memory:");
    std::string columns;
    for (const ColumnDef& column : SchemaTables().front().columns) {
      columns += (columns.empty() ? "" : ", ") + std::string(column.name);
    }
    db_->Execute("CREATE TABLE Cuentas (" + columns + ")");
    db_->Execute("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, ContDebe, ContHaber, "
                 "Nivel, Nif, Nombre) VALUES (1, 5, '572', 'D', 'H', 3, 'B1', NULL)");
    account_.Conexion(db_);
    account_.cEmpresa(MakeCompany());
    account_.Cuenta = "572";
    account_.ContDebe = account_.ContHaber = account_.Nif = account_.Nombre = "old";
    account_.Direccion = "old";
  }
  void TearDown() override { account_.Conexion(nullptr); }

  std::shared_ptr<Connection> db_;
  clsCuenta account_;
};

TEST_F(AccountLoadingFromLooseRows, AValueOfTheWrongKindStopsTheLoadAtItsStep) {
  EXPECT_VORNEXA_ERROR(account_.Cargar(), error_number::kInvalidUseOfNull, "Cuentas::Cargar",
                       "Uso no válido de Null");
  // Steps before Nombre hold the new row; Nombre and later steps keep theirs.
  EXPECT_EQ(account_.ContDebe + account_.ContHaber + account_.Nif, "DHB1");
  EXPECT_EQ(account_.Nivel, 3);
  EXPECT_EQ(account_.Nombre + account_.Direccion, "oldold");

  db_->Execute("UPDATE Cuentas SET Nombre = 'n', Nivel = 40000");
  account_.Nivel = 7;
  account_.Nif = "old";
  EXPECT_EQ(CaughtError([&] { account_.Cargar(); }).Number(), error_number::kOverflow);
  EXPECT_EQ(account_.Nivel, 7);
  EXPECT_EQ(account_.Nif, "old");
  db_->Execute("UPDATE Cuentas SET Nivel = 'tres'");
  EXPECT_EQ(CaughtError([&] { account_.Cargar(); }).Number(), error_number::kTypeMismatch);
}

TEST_F(AccountLoadingFromLooseRows, MissingColumnIsTheDataAccessError) {
  db_->Execute("ALTER TABLE Cuentas DROP COLUMN Tipo_Irpf");
  // Every step after Nombre's gets a value, up to the missing column.
  std::string sql = "UPDATE Cuentas SET Nombre = 'n'";
  for (const AccountField* field : FieldsInOrder(&AccountField::loader_step)) {
    if (field->loader_step <= FindField("Nombre")->loader_step || field->name == "Tipo_Irpf") {
      continue;
    }
    const bool text = std::holds_alternative<std::string clsCuenta::*>(field->member);
    sql += ", " + std::string(field->column) + " = " +
           (field->name == "IdMandato" ? "'M'" : text ? "''" : "0");
  }
  db_->Execute(sql);
  const Error e = CaughtError([&] { account_.Cargar(); });
  EXPECT_EQ(e.Number(), error_number::kItemNotFound);
  EXPECT_EQ(e.Source(), "Cuentas::Cargar");
  EXPECT_EQ(account_.IdMandato, "M");  // loaded before the missing step
}

}  // namespace
}  // namespace vornexa::testing
