// Loading an account by code: the row loader's steps, the derived mandate id,
// partial loads and what stops them.
#include <gtest/gtest.h>

#include "maintenance_fixture.h"

namespace vornexa::testing {
namespace {

// Every stored field's value in the record's order: each column of a full row
// holds a value of its own. Cp is above the 16-bit range.
constexpr const char* kFullRow[] = {
    "43000001", "CD", "CH", "5", "B123", "Cliente Uno", "Comercial", "Calle Mayor 1", "46001",
    "Valencia", "Valencia", "España", "961", "962", "a@b.es", "F-NIF", "Razón", "C/", "Colón",
    "7", "A", "3", "B", "46002", "F-Loc", "F-Prov", "F-País", "F-Tel", "F-Fax", "f@b.es", "3",
    "2", "21000418401234567891", "4", "6", "ES9121000418401234567891", "2024-03-01",
    "MANDATO-1", "7", "9", "724", "8", "10", "11"};

class AccountLoading : public BackendTest {
 protected:
  // One full Cuentas row; `id_mandato` replaces the row's own mandate id.
  void InsertFullRow(int16_t exercise, const std::string& code, const std::string& id_mandato) {
    std::string columns = "Cod_Empresa, Cod_Ejercicio";
    std::string values = "1, " + std::to_string(exercise);
    for (const auto& [field, value] : FullRow()) {
      const bool text = std::holds_alternative<std::string clsCuenta::*>(field->member);
      std::string written = field->name == "Cuenta"      ? code
                            : field->name == "IdMandato" ? id_mandato
                                                         : value;
      columns += ", " + std::string(field->column);
      values += ", " + (text ? "'" + written + "'" : written);
    }
    Exec("INSERT INTO Cuentas (" + columns + ") VALUES (" + values + ")");
  }

  static std::vector<std::pair<const AccountField*, std::string>> FullRow() {
    std::vector<std::pair<const AccountField*, std::string>> row;
    for (const AccountField& field : kAccountFields) {
      if (!field.column.empty()) row.emplace_back(&field, kFullRow[row.size()]);
    }
    return row;
  }
};

TEST_P(AccountLoading, LoadsEveryField) {
  InsertFullRow(5, "43000001", "MANDATO-1");
  clsCuenta account = NewAccount("43000001");
  account.NoVerificarNivelesSup = true;
  ASSERT_TRUE(account.Cargar());
  // Carta_Pago, IDMandato and Subfijo_SEPA load into CartaPago, IdMandato and
  // Sufijo_SEPA.
  clsCuenta expected;
  for (const auto& [field, value] : FullRow()) SetFromText(expected, *field, value);
  EXPECT_EQ(Describe(account), Describe(expected));
  EXPECT_TRUE(account.NoVerificarNivelesSup);  // never loaded
}

TEST_P(AccountLoading, DerivesAnEmptyMandateIdFromCompanyAndCode) {
  InsertFullRow(5, "43000001", "");
  InsertFullRow(6, "43000001", "   ");
  InsertFullRow(7, "43000001", " M 1 ");
  const std::pair<int16_t, const char*> cases[] = {{7, "0743000001"}, {12, "1243000001"}, {123, "12343000001"}};
  for (const auto& [code, expected] : cases) {
    // The row belongs to company 1; the derived id uses the loading object's company code.
    company_->codigo = code;
    Exec("UPDATE Cuentas SET Cod_Empresa = " + std::to_string(code));
    clsCuenta account = NewAccount("43000001");
    ASSERT_TRUE(account.Cargar());
    EXPECT_EQ(account.IdMandato, expected);
  }
  company_->ejercicio = 6;  // only blanks: derived too
  clsCuenta blanks = NewAccount("43000001");
  ASSERT_TRUE(blanks.Cargar());
  EXPECT_EQ(blanks.IdMandato, "12343000001");
  company_->ejercicio = 7;  // text keeps its blanks
  clsCuenta kept = NewAccount("43000001");
  ASSERT_TRUE(kept.Cargar());
  EXPECT_EQ(kept.IdMandato, " M 1 ");
}

TEST_P(AccountLoading, MissingRowOrEmptyCodeLeavesEveryFieldAsItWas) {
  InsertAccountRow(1, 6, "572", "Bancos otro ejercicio");
  InsertAccountRow(2, 5, "572", "Bancos otra empresa");
  InsertAccountRow(1, 5, "", "Sin código");
  for (const char* code : {"572", ""}) {
    clsCuenta account = NewAccount(code);
    account.Nombre = "sin cargar";
    account.Cp = 123;
    EXPECT_FALSE(account.Cargar());
    EXPECT_EQ(account.Nombre, "sin cargar");
    EXPECT_EQ(account.Cp, 123);
    EXPECT_EQ(account.Cuenta, code);
  }
}

TEST_P(AccountLoading, ApostrophesStayInsideTheirLiteral) {
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES (1, 5, 'O''Brien ''''x', 'con apóstrofos')");
  clsCuenta account = NewAccount("O'Brien ''x");
  ASSERT_TRUE(account.Cargar());
  EXPECT_EQ(account.Cuenta, "O'Brien ''x");
  EXPECT_EQ(account.Nombre, "con apóstrofos");

  // A code crafted to end the literal early finds nothing and runs nothing of its own.
  InsertAccountRow(1, 5, "572", "Bancos");
  for (const char* attack : {"x' OR '1'='1", "x'; DELETE FROM Cuentas; --"}) {
    clsCuenta probe = NewAccount(attack);
    EXPECT_FALSE(probe.Cargar()) << attack;
  }
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 2);
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

TEST_F(AccountLoadingFromLooseRows, NullStopsTheLoadAtItsStep) {
  EXPECT_VORNEXA_ERROR(account_.Cargar(), error_number::kInvalidUseOfNull, "Cuentas::Cargar",
                       "Uso no válido de Null");
  EXPECT_EQ(account_.ContDebe, "D");  // steps before Nombre hold the new row
  EXPECT_EQ(account_.ContHaber, "H");
  EXPECT_EQ(account_.Nivel, 3);
  EXPECT_EQ(account_.Nif, "B1");
  EXPECT_EQ(account_.Nombre, "old");  // Nombre and later steps keep theirs
  EXPECT_EQ(account_.Direccion, "old");
}

TEST_F(AccountLoadingFromLooseRows, OutOfRangeAndNonNumericValuesStopTheLoad) {
  db_->Execute("UPDATE Cuentas SET Nombre = 'n', Nivel = 40000");
  EXPECT_EQ(CaughtError([&] { account_.Cargar(); }).Number(), error_number::kOverflow);
  EXPECT_EQ(account_.Nivel, 0);
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
