// Loading an account by code: the row loader's steps, the derived mandate id,
// partial loads and what stops them.
#include <gtest/gtest.h>

#include "maintenance_fixture.h"

namespace vornexa::testing {
namespace {

class AccountLoading : public BackendTest {
 protected:
  // Every column of one Cuentas row set to a value of its own.
  void InsertFullRow(int16_t exercise, const std::string& code, const std::string& id_mandato) {
    Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, ContDebe, ContHaber, "
         "Nivel, Nif, Nombre_Comercial, Direccion, Cp, Localidad, Provincia, Pais, Cod_Pais, "
         "Telefono, Fax, eMail, F_Nif, F_Razon, F_Via, F_Direccion, F_Numero, F_Escalera, F_Piso, "
         "F_Puerta, F_Cp, F_Localidad, F_Provincia, F_Pais, F_Telefono, F_Fax, F_eMail, Grupo, "
         "FormaPago, CCC, Carta_Pago, Dpto, IBAN, Fecha_Mandato, IDMandato, Subfijo_SEPA, "
         "ContraparteIDOtroTipo, Secuencia_Adeudo, Cod_Irpf, Tipo_Irpf) VALUES (1, " +
         std::to_string(exercise) + ", '" + code +
         "', 'Cliente Uno', 'CD', 'CH', 5, 'B123', 'Comercial', 'Calle Mayor 1', 46001, "
         "'Valencia', 'Valencia', 'España', 724, '961', '962', 'a@b.es', 'F-NIF', 'Razón', 'C/', "
         "'Colón', '7', 'A', '3', 'B', 46002, 'F-Loc', 'F-Prov', 'F-País', 'F-Tel', 'F-Fax', "
         "'f@b.es', 3, 2, '21000418401234567891', 4, 6, 'ES9121000418401234567891', "
         "'2024-03-01', '" + id_mandato + "', 7, 8, 9, 10, 11)");
  }
};

TEST_P(AccountLoading, LoadsEveryField) {
  InsertFullRow(5, "43000001", "MANDATO-1");
  clsCuenta account = NewAccount("43000001");
  account.NoVerificarNivelesSup = true;
  ASSERT_TRUE(account.Cargar());
  // Carta_Pago, IDMandato and Subfijo_SEPA load into CartaPago, IdMandato and
  // Sufijo_SEPA; Cp is above the 16-bit range.
  clsCuenta expected;
  expected.Cuenta = "43000001", expected.Nombre = "Cliente Uno", expected.ContDebe = "CD";
  expected.ContHaber = "CH", expected.Nivel = 5, expected.Nif = "B123";
  expected.Nombre_Comercial = "Comercial", expected.Direccion = "Calle Mayor 1";
  expected.Cp = 46001, expected.Localidad = "Valencia", expected.Provincia = "Valencia";
  expected.Pais = "España", expected.Cod_Pais = 724, expected.Telefono = "961";
  expected.Fax = "962", expected.eMail = "a@b.es", expected.F_Nif = "F-NIF";
  expected.F_Razon = "Razón", expected.F_Via = "C/", expected.F_Direccion = "Colón";
  expected.F_Numero = "7", expected.F_Escalera = "A", expected.F_Piso = "3";
  expected.F_Puerta = "B", expected.F_Cp = 46002, expected.F_Localidad = "F-Loc";
  expected.F_Provincia = "F-Prov", expected.F_Pais = "F-País", expected.F_Telefono = "F-Tel";
  expected.F_Fax = "F-Fax", expected.F_eMail = "f@b.es", expected.Grupo = 3;
  expected.FormaPago = 2, expected.CCC = "21000418401234567891", expected.CartaPago = 4;
  expected.Dpto = 6, expected.IBAN = "ES9121000418401234567891";
  expected.Fecha_Mandato = "2024-03-01", expected.IdMandato = "MANDATO-1";
  expected.Sufijo_SEPA = 7, expected.ContraparteIDOtroTipo = 8, expected.Secuencia_Adeudo = 9;
  expected.Cod_Irpf = 10, expected.Tipo_Irpf = 11;
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
  db_->Execute("UPDATE Cuentas SET Nombre = 'n', Nombre_Comercial = '', Direccion = '', Cp = 0, Localidad = '', "
               "Provincia = '', Pais = '', Cod_Pais = 0, Telefono = '', Fax = '', eMail = '', "
               "F_Nif = '', F_Razon = '', F_Via = '', F_Direccion = '', F_Numero = '', "
               "F_Escalera = '', F_Piso = '', F_Puerta = '', F_Cp = 0, F_Localidad = '', "
               "F_Provincia = '', F_Pais = '', F_Telefono = '', F_Fax = '', F_eMail = '', "
               "Grupo = 0, FormaPago = 0, CCC = '', Carta_Pago = 0, Dpto = 0, IBAN = '', "
               "Fecha_Mandato = '', IDMandato = 'M', Subfijo_SEPA = 0, Secuencia_Adeudo = 0, "
               "ContraparteIDOtroTipo = 0, Cod_Irpf = 0");
  const Error e = CaughtError([&] { account_.Cargar(); });
  EXPECT_EQ(e.Number(), error_number::kItemNotFound);
  EXPECT_EQ(e.Source(), "Cuentas::Cargar");
  EXPECT_EQ(account_.IdMandato, "M");  // loaded before the missing step
}

}  // namespace
}  // namespace vornexa::testing
