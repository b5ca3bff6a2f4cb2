// The account record, described once: each of clsCuenta's 45 public fields
// in the order of the application's interface, with its type, its Spanish
// label, and its place in the row loader, the UPDATE and the INSERT, whose
// orders are the application's own and differ from the interface's. The
// INSERT's order is the schema's order of the Cuentas columns, which is how
// a field finds its column. The loader, the save statements and the tool's
// options and CSV columns are all driven from this table. (The interface
// itself, member order and dispatch ids, is the type library's.)
#ifndef VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_
#define VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/schema/schema.h"

namespace vornexa {

// Automation types of the fields: String, Integer (16-bit), Long (32-bit), Boolean.
enum class FieldType { kText, kInteger, kLong, kBoolean };

// Where the application's statements write a field otherwise than plainly
// (number bare, text quoted, " =" before the value, ", " before the column).
namespace spelling {
inline constexpr uint8_t kQuotedInUpdate = 1;   // the UPDATE puts the number between apostrophes
inline constexpr uint8_t kQuotedInInsert = 2;   // so does the INSERT
inline constexpr uint8_t kSpacedInUpdate = 4;   // the UPDATE writes " = " before the value
inline constexpr uint8_t kNoBlankInInsert = 8;  // no blank before it in the INSERT's column list
inline constexpr uint8_t kLastOfIban = 16;      // saved as IBAN's last 20 characters, not itself
inline constexpr uint8_t kDefaultOnLoad = 32;   // loaded blank, it takes DefaultMandateId
}  // namespace spelling

using FieldMember = std::variant<std::string clsCuenta::*, int16_t clsCuenta::*,
                                 int32_t clsCuenta::*, bool clsCuenta::*>;

struct AccountField {
  std::string_view name;    // the public field, e.g. "CartaPago"
  FieldType type;
  FieldMember member;
  int loader_step;               // 1..44 in the row loader's order; 0 when not loaded
  std::string_view description;  // a Spanish label for people, e.g. "Carta de pago"
  // The save statements' own orders: 1..42 in the UPDATE's assignments and
  // 1..44 in the INSERT's columns (after company and exercise); 0 when absent.
  int update_position = 0;
  int insert_position = 0;
  uint8_t spelling = 0;  // how the statements depart from the plain form: spelling::

  // Its Cuentas column, e.g. "Carta_Pago" for CartaPago: the schema's column
  // at its INSERT position; empty when never stored.
  constexpr std::string_view column() const {
    return insert_position == 0 ? std::string_view() : kCuentasColumns[insert_position + 1].name;
  }
};

// The 45 fields in the order of the interface.
inline constexpr std::array<AccountField, 45> kAccountFields{{
    {"Cuenta", FieldType::kText, &clsCuenta::Cuenta, 1, "Cuenta", 0, 1, 0},
    {"ContDebe", FieldType::kText, &clsCuenta::ContDebe, 2, "Contrapartida debe", 2, 3, 0},
    {"ContHaber", FieldType::kText, &clsCuenta::ContHaber, 3, "Contrapartida haber", 3, 4, 0},
    {"Nivel", FieldType::kInteger, &clsCuenta::Nivel, 4, "Nivel", 0, 5, 0},
    {"Nif", FieldType::kText, &clsCuenta::Nif, 5, "NIF", 4, 6, 0},
    {"Nombre", FieldType::kText, &clsCuenta::Nombre, 6, "Nombre", 1, 2, 0},
    {"Nombre_Comercial", FieldType::kText, &clsCuenta::Nombre_Comercial, 7, "Nombre comercial", 5,
     7, 0},
    {"Direccion", FieldType::kText, &clsCuenta::Direccion, 8, "Dirección", 6, 8, 0},
    {"Cp", FieldType::kLong, &clsCuenta::Cp, 9, "Código postal", 7, 9, spelling::kQuotedInUpdate},
    {"Localidad", FieldType::kText, &clsCuenta::Localidad, 10, "Localidad", 8, 10, 0},
    {"Provincia", FieldType::kText, &clsCuenta::Provincia, 11, "Provincia", 9, 11, 0},
    {"Pais", FieldType::kText, &clsCuenta::Pais, 12, "País", 10, 12, 0},
    {"Telefono", FieldType::kText, &clsCuenta::Telefono, 14, "Teléfono", 12, 14, 0},
    {"Fax", FieldType::kText, &clsCuenta::Fax, 15, "Fax", 13, 15, 0},
    {"eMail", FieldType::kText, &clsCuenta::eMail, 16, "Correo electrónico", 14, 16, 0},
    {"F_Nif", FieldType::kText, &clsCuenta::F_Nif, 17, "Fiscal: NIF", 15, 17, 0},
    {"F_Razon", FieldType::kText, &clsCuenta::F_Razon, 18, "Fiscal: razón social", 16, 18, 0},
    {"F_Via", FieldType::kText, &clsCuenta::F_Via, 19, "Fiscal: tipo de vía", 17, 19, 0},
    {"F_Direccion", FieldType::kText, &clsCuenta::F_Direccion, 20, "Fiscal: dirección", 18, 20, 0},
    {"F_Numero", FieldType::kText, &clsCuenta::F_Numero, 21, "Fiscal: número", 19, 21, 0},
    {"F_Escalera", FieldType::kText, &clsCuenta::F_Escalera, 22, "Fiscal: escalera", 20, 22, 0},
    {"F_Piso", FieldType::kText, &clsCuenta::F_Piso, 23, "Fiscal: piso", 21, 23, 0},
    {"F_Puerta", FieldType::kText, &clsCuenta::F_Puerta, 24, "Fiscal: puerta", 22, 24, 0},
    {"F_Cp", FieldType::kLong, &clsCuenta::F_Cp, 25, "Fiscal: código postal", 23, 25,
     spelling::kQuotedInUpdate},
    {"F_Localidad", FieldType::kText, &clsCuenta::F_Localidad, 26, "Fiscal: localidad", 24, 26, 0},
    {"F_Provincia", FieldType::kText, &clsCuenta::F_Provincia, 27, "Fiscal: provincia", 25, 27, 0},
    {"F_Pais", FieldType::kText, &clsCuenta::F_Pais, 28, "Fiscal: país", 26, 28, 0},
    {"F_Telefono", FieldType::kText, &clsCuenta::F_Telefono, 29, "Fiscal: teléfono", 27, 29, 0},
    {"F_Fax", FieldType::kText, &clsCuenta::F_Fax, 30, "Fiscal: fax", 28, 30, 0},
    {"F_eMail", FieldType::kText, &clsCuenta::F_eMail, 31, "Fiscal: correo electrónico", 29, 31, 0},
    {"Grupo", FieldType::kInteger, &clsCuenta::Grupo, 32, "Grupo", 30, 32, 0},
    {"FormaPago", FieldType::kInteger, &clsCuenta::FormaPago, 33, "Forma de pago", 31, 33, 0},
    {"CCC", FieldType::kText, &clsCuenta::CCC, 34, "CCC", 32, 34, spelling::kLastOfIban},
    {"NoVerificarNivelesSup", FieldType::kBoolean, &clsCuenta::NoVerificarNivelesSup, 0,
     "No verificar niveles superiores", 0, 0, 0},
    {"CartaPago", FieldType::kInteger, &clsCuenta::CartaPago, 35, "Carta de pago", 33, 35, 0},
    {"Dpto", FieldType::kInteger, &clsCuenta::Dpto, 36, "Departamento", 34, 36, 0},
    {"IBAN", FieldType::kText, &clsCuenta::IBAN, 37, "IBAN", 35, 37, 0},
    {"Fecha_Mandato", FieldType::kText, &clsCuenta::Fecha_Mandato, 38, "Fecha del mandato", 36, 38,
     spelling::kNoBlankInInsert},
    {"IdMandato", FieldType::kText, &clsCuenta::IdMandato, 39, "Id. del mandato", 37, 39,
     spelling::kSpacedInUpdate | spelling::kDefaultOnLoad},
    {"Sufijo_SEPA", FieldType::kInteger, &clsCuenta::Sufijo_SEPA, 40, "Sufijo SEPA", 38, 40,
     spelling::kSpacedInUpdate},
    {"Secuencia_Adeudo", FieldType::kInteger, &clsCuenta::Secuencia_Adeudo, 41,
     "Secuencia de adeudo", 39, 42, spelling::kSpacedInUpdate},
    {"Cod_Pais", FieldType::kInteger, &clsCuenta::Cod_Pais, 13, "Código de país", 11, 13, 0},
    {"ContraparteIDOtroTipo", FieldType::kInteger, &clsCuenta::ContraparteIDOtroTipo, 42,
     "Tipo de id. de contraparte", 40, 41, spelling::kQuotedInUpdate | spelling::kQuotedInInsert},
    {"Cod_Irpf", FieldType::kInteger, &clsCuenta::Cod_Irpf, 44, "Código IRPF", 41, 43, 0},
    {"Tipo_Irpf", FieldType::kInteger, &clsCuenta::Tipo_Irpf, 43, "Tipo IRPF", 42, 44, 0},
}};

// The fields that `position` places (those where it is not 0), in its order:
// FieldsInOrder(&AccountField::update_position) gives the UPDATE's order.
std::vector<const AccountField*> FieldsInOrder(int AccountField::*position);

// The field named `name`, compared exactly; nullptr when there is none.
const AccountField* FindField(std::string_view name);

// The mandate id of an account whose stored one is blank: the company code in
// at least two digits (a minus sign before them), then the account code, as
// in "07" "43000001".
std::string DefaultMandateId(int16_t company, std::string_view account_code);

// Raises error 1000 under `source`, naming the first text field of `account`
// that a database could not store and give back exactly (invalid UTF-8, a
// NUL). Saves call it before their first statement.
void RequireStorableRecord(const clsCuenta& account, std::string_view source);

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_
