// Shared pieces of the account maintenance suites: a fully filled account,
// departments, and what the database holds of one account in one exercise.
#ifndef TESTS_MAINTENANCE_FIXTURE_H_
#define TESTS_MAINTENANCE_FIXTURE_H_

#include <string>
#include <vector>

#include "support/fixtures.h"

namespace vornexa::testing {

using Statements = std::vector<std::string>;

// Rows of one account in one exercise: Cuentas, Acumulados, Acumulados_Dpto.
struct AccountRows {
  int64_t cuentas;
  int64_t acumulados;
  int64_t departamentos;
  friend bool operator==(const AccountRows&, const AccountRows&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const AccountRows& rows) {
  return out << "{Cuentas " << rows.cuentas << ", Acumulados " << rows.acumulados
             << ", Acumulados_Dpto " << rows.departamentos << "}";
}

// Every field of the record, in order, for comparing two accounts at once.
inline std::string Describe(const clsCuenta& a) {
  std::string out;
  for (const std::string* text : {&a.Cuenta,      &a.ContDebe,    &a.ContHaber,
                                  &a.Nif,         &a.Nombre,      &a.Nombre_Comercial,
                                  &a.Direccion,   &a.Localidad,   &a.Provincia,
                                  &a.Pais,        &a.Telefono,    &a.Fax,
                                  &a.eMail,       &a.F_Nif,       &a.F_Razon,
                                  &a.F_Via,       &a.F_Direccion, &a.F_Numero,
                                  &a.F_Escalera,  &a.F_Piso,      &a.F_Puerta,
                                  &a.F_Localidad, &a.F_Provincia, &a.F_Pais,
                                  &a.F_Telefono,  &a.F_Fax,       &a.F_eMail,
                                  &a.CCC,         &a.IBAN,        &a.Fecha_Mandato,
                                  &a.IdMandato}) {
    out += *text + "|";
  }
  for (int32_t number :
       {int32_t{a.Nivel}, a.Cp, a.F_Cp, int32_t{a.Grupo}, int32_t{a.FormaPago},
        int32_t{a.CartaPago}, int32_t{a.Dpto}, int32_t{a.Sufijo_SEPA},
        int32_t{a.Secuencia_Adeudo}, int32_t{a.Cod_Pais}, int32_t{a.ContraparteIDOtroTipo},
        int32_t{a.Cod_Irpf}, int32_t{a.Tipo_Irpf}}) {
    out += std::to_string(number) + "|";
  }
  return out;
}

class MaintenanceTest : public BackendTest {
 protected:
  // Every field set to a value of its own, so that a field written into the
  // wrong place shows. The CCC field must never be written.
  clsCuenta FilledAccount(const std::string& code) {
    clsCuenta a = NewAccount(code);
    a.ContDebe = "4300";
    a.ContHaber = "4301";
    a.Nif = "B12345678";
    a.Nombre = "Cliente Uno";
    a.Nombre_Comercial = "Uno Comercial";
    a.Direccion = "Calle Mayor 1";
    a.Cp = 46001;
    a.Localidad = "Valencia";
    a.Provincia = "Valencia Prov";
    a.Pais = "España";
    a.Cod_Pais = 724;
    a.Telefono = "960000001";
    a.Fax = "960000002";
    a.eMail = "uno@ejemplo.es";
    a.F_Nif = "B87654321";
    a.F_Razon = "Uno SL";
    a.F_Via = "Calle";
    a.F_Direccion = "Mayor";
    a.F_Numero = "1";
    a.F_Escalera = "B";
    a.F_Piso = "3";
    a.F_Puerta = "A";
    a.F_Cp = 41001;
    a.F_Localidad = "Sevilla";
    a.F_Provincia = "Sevilla Prov";
    a.F_Pais = "ES";
    a.F_Telefono = "950000001";
    a.F_Fax = "950000002";
    a.F_eMail = "fiscal@ejemplo.es";
    a.Grupo = 11;
    a.FormaPago = 4;
    a.CCC = "NO SE USA";
    a.CartaPago = 1;
    a.Dpto = 6;
    a.IBAN = "ES9121000418450200051332";
    a.Fecha_Mandato = "2024-01-31";
    a.IdMandato = "MND-1";
    a.Sufijo_SEPA = 7;
    a.Secuencia_Adeudo = 8;
    a.ContraparteIDOtroTipo = 3;
    a.Cod_Irpf = 12;
    a.Tipo_Irpf = 13;
    return a;
  }

  void AddDepartments(const std::vector<int>& codes) {
    for (int code : codes) {
      Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, " + std::to_string(code) +
           ")");
    }
  }

  // An account with its accumulator row and one department row per department.
  void SeedAccount(int exercise, const std::string& code, const std::vector<int>& departments) {
    const std::string head = "1, " + std::to_string(exercise) + ", ";
    InsertAccountRow(1, static_cast<int16_t>(exercise), code);
    Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura) VALUES (" +
         head + "'" + code + "', 3, 10)");
    for (int department : departments) {
      Exec(
          "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) "
          "VALUES (" +
          head + std::to_string(department) + ", '" + code + "', 3)");
    }
  }

  AccountRows RowsOf(int exercise, const std::string& code) {
    const std::string key =
        " WHERE Cod_Empresa = 1 AND Cod_Ejercicio = " + std::to_string(exercise) +
        " AND Cuenta = '" + code + "'";
    return {Count("SELECT Cuenta FROM Cuentas" + key), Count("SELECT Cuenta FROM Acumulados" + key),
            Count("SELECT Cuenta FROM Acumulados_Dpto" + key)};
  }

  // The statements sent since the last call are `expected`. Their text does
  // not depend on the database, so it is compared on the embedded one only.
  void ExpectStatements(const Statements& expected) {
    const Statements sent = TakeStatements();
    if (OnEmbedded()) EXPECT_EQ(sent, expected);
  }

  // An error as a data-access layer would raise it, for injection.
  static Error Rejected(const std::string& description) {
    return Error(error_number::kStatementRejected, "Vornexa.Data", description);
  }
};

}  // namespace vornexa::testing

#endif  // TESTS_MAINTENANCE_FIXTURE_H_
