// Record and lookup: the row loader, loading by code, stepping through the
// chart and the existence test.
#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_values.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

// Marks the one derived step: the mandate id.
struct DerivedMandateId {};

struct LoaderStep {
  std::string_view column;
  std::variant<std::string clsCuenta::*, int16_t clsCuenta::*, int32_t clsCuenta::*,
               DerivedMandateId>
      field;
};

// The loader's steps, in order: a failing step leaves the earlier ones loaded.
constexpr std::array<LoaderStep, 44> kLoaderSteps{{
    {"Cuenta", &clsCuenta::Cuenta},
    {"ContDebe", &clsCuenta::ContDebe},
    {"ContHaber", &clsCuenta::ContHaber},
    {"Nivel", &clsCuenta::Nivel},
    {"Nif", &clsCuenta::Nif},
    {"Nombre", &clsCuenta::Nombre},
    {"Nombre_Comercial", &clsCuenta::Nombre_Comercial},
    {"Direccion", &clsCuenta::Direccion},
    {"Cp", &clsCuenta::Cp},
    {"Localidad", &clsCuenta::Localidad},
    {"Provincia", &clsCuenta::Provincia},
    {"Pais", &clsCuenta::Pais},
    {"Cod_Pais", &clsCuenta::Cod_Pais},
    {"Telefono", &clsCuenta::Telefono},
    {"Fax", &clsCuenta::Fax},
    {"eMail", &clsCuenta::eMail},
    {"F_Nif", &clsCuenta::F_Nif},
    {"F_Razon", &clsCuenta::F_Razon},
    {"F_Via", &clsCuenta::F_Via},
    {"F_Direccion", &clsCuenta::F_Direccion},
    {"F_Numero", &clsCuenta::F_Numero},
    {"F_Escalera", &clsCuenta::F_Escalera},
    {"F_Piso", &clsCuenta::F_Piso},
    {"F_Puerta", &clsCuenta::F_Puerta},
    {"F_Cp", &clsCuenta::F_Cp},
    {"F_Localidad", &clsCuenta::F_Localidad},
    {"F_Provincia", &clsCuenta::F_Provincia},
    {"F_Pais", &clsCuenta::F_Pais},
    {"F_Telefono", &clsCuenta::F_Telefono},
    {"F_Fax", &clsCuenta::F_Fax},
    {"F_eMail", &clsCuenta::F_eMail},
    {"Grupo", &clsCuenta::Grupo},
    {"FormaPago", &clsCuenta::FormaPago},
    {"CCC", &clsCuenta::CCC},
    {"Carta_Pago", &clsCuenta::CartaPago},
    {"Dpto", &clsCuenta::Dpto},
    {"IBAN", &clsCuenta::IBAN},
    {"Fecha_Mandato", &clsCuenta::Fecha_Mandato},
    {"IdMandato", DerivedMandateId{}},
    {"Subfijo_SEPA", &clsCuenta::Sufijo_SEPA},
    {"Secuencia_Adeudo", &clsCuenta::Secuencia_Adeudo},
    {"ContraparteIDOtroTipo", &clsCuenta::ContraparteIDOtroTipo},
    {"Tipo_Irpf", &clsCuenta::Tipo_Irpf},
    {"Cod_Irpf", &clsCuenta::Cod_Irpf},
}};

// The company code with at least two digits, as the head of a default mandate id.
std::string TwoDigitCode(int16_t code) {
  std::string digits = std::to_string(std::abs(static_cast<int>(code)));
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return (code < 0 ? "-" : "") + digits;
}

// " WHERE Cod_Empresa =1 AND Cod_Ejercicio =5": the rows of one exercise.
// Built in one buffer, as are the texts of the frequent lookups below: the
// driver reuses compiled statements, so building the text is much of a call.
std::string ExerciseCondition(int16_t company, int16_t exercise) {
  std::string condition;
  condition.reserve(128);  // room for the statement around it
  condition.append(" WHERE Cod_Empresa =").append(SqlInteger(company));
  condition.append(" AND Cod_Ejercicio =").append(SqlInteger(exercise));
  return condition;
}

// " AND Cuenta ='43000001'": one account code, kept inside its literal.
void AppendAccountCondition(const std::string& code, std::string* sql) {
  sql->append(" AND Cuenta ='").append(SqlText(code)).append("'");
}

std::string AccountCondition(const std::string& code) {
  std::string condition;
  AppendAccountCondition(code, &condition);
  return condition;
}

}  // namespace

void clsCuenta::Conexion(std::shared_ptr<Connection> conCta) {
  ReplaceSharedConnection(std::move(conCta));
}

void clsCuenta::cEmpresa(std::shared_ptr<clsEmpresa> clsEmp) { empresa_ = std::move(clsEmp); }

clsEmpresa& clsCuenta::Company() const {
  if (!empresa_) RaiseRuntimeError(error_number::kObjectNotSet);
  return *empresa_;
}

void clsCuenta::CargarInst(Recordset& rows, clsCuenta& destination) {
  Trap("Cuentas::CargarInst", [&] {
    for (const LoaderStep& step : kLoaderSteps) {
      const Value value = rows.Field(step.column);
      if (auto* text = std::get_if<std::string clsCuenta::*>(&step.field)) {
        destination.*(*text) = value.ToText();
      } else if (auto* small = std::get_if<int16_t clsCuenta::*>(&step.field)) {
        destination.*(*small) = value.ToInt16();
      } else if (auto* large = std::get_if<int32_t clsCuenta::*>(&step.field)) {
        destination.*(*large) = value.ToInt32();
      } else {
        // An empty mandate id defaults to the company code and the account code.
        std::string id = value.ToText();
        if (TrimBlanks(id).empty()) {
          id = TwoDigitCode(Company().Codigo()) + rows.Field("Cuenta").ToText();
        }
        destination.IdMandato = std::move(id);
      }
    }
  });
}

bool clsCuenta::LoadFirstRow(const std::string& sql, clsCuenta& destination) {
  const std::unique_ptr<Recordset> rows = OpenShared(sql);
  const bool found = !rows->Eof();
  if (found) CargarInst(*rows, destination);
  rows->Close();
  return found;
}

bool clsCuenta::Cargar() {
  return Trap("Cuentas::Cargar", [&] {
    if (Cuenta.empty()) return false;
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    return LoadFirstRow(
        "SELECT * FROM Cuentas" + ExerciseCondition(code, exercise) + AccountCondition(Cuenta),
        *this);
  });
}

// The inner query picks one code of the company's active exercise; the outer
// one returns that account's row. Stepping from a code compares it as text.
struct NavigationStep {
  std::string_view source;
  std::string_view selector;
  std::string_view comparison;  // empty: the step needs no starting code
  std::string_view closing;
};

namespace {

constexpr NavigationStep kPrevious{"Cuentas::Cargar_Anterior",
                                   " AND Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas",
                                   " AND Cuenta < '", "' ORDER BY Cuenta DESC)"};
constexpr NavigationStep kFirst{
    "Cuentas::Cargar_Primero",
    " AND Cuenta IN (SELECT ISNULL(MIN(Cuenta), '') AS Cuenta FROM Cuentas", "", ")"};
constexpr NavigationStep kNext{"Cuentas::Cargar_Siguiente",
                               " AND Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas",
                               " AND Cuenta > '", "' ORDER BY Cuenta ASC)"};
constexpr NavigationStep kLast{
    "Cuentas::Cargar_Ultimo",
    " AND Cuenta IN (SELECT ISNULL(MAX(Cuenta), '') AS Cuenta FROM Cuentas", "", ")"};

}  // namespace

bool clsCuenta::Navigate(const NavigationStep& step, clsCuenta* clsDest) {
  return Trap(step.source, [&] {
    clsCuenta& destination = clsDest != nullptr ? *clsDest : *this;
    // Always this object's company, never the destination's.
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    std::string tail(step.closing);
    if (!step.comparison.empty()) {
      tail = std::string(step.comparison) + SqlText(destination.Cuenta) + tail;
    }
    const std::string condition = ExerciseCondition(code, exercise);
    return LoadFirstRow(
        "SELECT * FROM Cuentas" + condition + std::string(step.selector) + condition + tail,
        destination);
  });
}

bool clsCuenta::Cargar_Anterior(clsCuenta* clsDest) { return Navigate(kPrevious, clsDest); }
bool clsCuenta::Cargar_Primero(clsCuenta* clsDest) { return Navigate(kFirst, clsDest); }
bool clsCuenta::Cargar_Siguiente(clsCuenta* clsDest) { return Navigate(kNext, clsDest); }
bool clsCuenta::Cargar_Ultimo(clsCuenta* clsDest) { return Navigate(kLast, clsDest); }

bool clsCuenta::Existe() {
  return Trap("Cuentas::Existe", [&] {
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    // An empty code is looked up like any other.
    std::string sql = ExerciseCondition(code, exercise);
    sql.insert(0, "SELECT Cuenta FROM Cuentas WITH (NOLOCK)");
    AppendAccountCondition(Cuenta, &sql);
    return HasRowsShared(sql);
  });
}

}  // namespace vornexa
