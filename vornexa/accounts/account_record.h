// The account record, described once: each of clsCuenta's 45 public fields
// with its Cuentas column, its type, its place in the application's interface
// (position among all members, dispatch id) and its step in the row loader.
// The loader, the save statements, the tool and the component's dispatch map
// are all driven from this table.
#ifndef VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_
#define VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "vornexa/accounts/cls_cuenta.h"

namespace vornexa {

// Automation types of the fields: String, Integer (16-bit), Long (32-bit), Boolean.
enum class FieldType { kText, kInteger, kLong, kBoolean };

using FieldMember = std::variant<std::string clsCuenta::*, int16_t clsCuenta::*,
                                 int32_t clsCuenta::*, bool clsCuenta::*>;

struct AccountField {
  std::string_view name;    // the public field, e.g. "CartaPago"
  std::string_view column;  // its Cuentas column, e.g. "Carta_Pago"; empty when never stored
  FieldType type;
  FieldMember member;
  int interface_position;  // 0-based among all 67 members of _clsCuenta
  int32_t dispatch_id;
  int loader_step;  // 1..44 in the row loader's order; 0 when not loaded
};

// The 45 fields in the order of the interface.
inline constexpr std::array<AccountField, 45> kAccountFields{{
    {"Cuenta", "Cuenta", FieldType::kText, &clsCuenta::Cuenta, 0, 0x40030021, 1},
    {"ContDebe", "ContDebe", FieldType::kText, &clsCuenta::ContDebe, 1, 0x40030022, 2},
    {"ContHaber", "ContHaber", FieldType::kText, &clsCuenta::ContHaber, 2, 0x40030023, 3},
    {"Nivel", "Nivel", FieldType::kInteger, &clsCuenta::Nivel, 3, 0x40030024, 4},
    {"Nif", "Nif", FieldType::kText, &clsCuenta::Nif, 4, 0x40030025, 5},
    {"Nombre", "Nombre", FieldType::kText, &clsCuenta::Nombre, 5, 0x40030026, 6},
    {"Nombre_Comercial", "Nombre_Comercial", FieldType::kText, &clsCuenta::Nombre_Comercial, 6,
     0x40030027, 7},
    {"Direccion", "Direccion", FieldType::kText, &clsCuenta::Direccion, 7, 0x40030028, 8},
    {"Cp", "Cp", FieldType::kLong, &clsCuenta::Cp, 8, 0x40030029, 9},
    {"Localidad", "Localidad", FieldType::kText, &clsCuenta::Localidad, 9, 0x4003002A, 10},
    {"Provincia", "Provincia", FieldType::kText, &clsCuenta::Provincia, 10, 0x4003002B, 11},
    {"Pais", "Pais", FieldType::kText, &clsCuenta::Pais, 11, 0x4003002C, 12},
    {"Telefono", "Telefono", FieldType::kText, &clsCuenta::Telefono, 12, 0x4003002D, 14},
    {"Fax", "Fax", FieldType::kText, &clsCuenta::Fax, 13, 0x4003002E, 15},
    {"eMail", "eMail", FieldType::kText, &clsCuenta::eMail, 14, 0x4003002F, 16},
    {"F_Nif", "F_Nif", FieldType::kText, &clsCuenta::F_Nif, 15, 0x40030030, 17},
    {"F_Razon", "F_Razon", FieldType::kText, &clsCuenta::F_Razon, 16, 0x40030031, 18},
    {"F_Via", "F_Via", FieldType::kText, &clsCuenta::F_Via, 17, 0x40030032, 19},
    {"F_Direccion", "F_Direccion", FieldType::kText, &clsCuenta::F_Direccion, 18, 0x40030033,
     20},
    {"F_Numero", "F_Numero", FieldType::kText, &clsCuenta::F_Numero, 19, 0x40030034, 21},
    {"F_Escalera", "F_Escalera", FieldType::kText, &clsCuenta::F_Escalera, 20, 0x40030035, 22},
    {"F_Piso", "F_Piso", FieldType::kText, &clsCuenta::F_Piso, 21, 0x40030036, 23},
    {"F_Puerta", "F_Puerta", FieldType::kText, &clsCuenta::F_Puerta, 22, 0x40030037, 24},
    {"F_Cp", "F_Cp", FieldType::kLong, &clsCuenta::F_Cp, 23, 0x40030038, 25},
    {"F_Localidad", "F_Localidad", FieldType::kText, &clsCuenta::F_Localidad, 24, 0x40030039,
     26},
    {"F_Provincia", "F_Provincia", FieldType::kText, &clsCuenta::F_Provincia, 25, 0x4003003A,
     27},
    {"F_Pais", "F_Pais", FieldType::kText, &clsCuenta::F_Pais, 26, 0x4003003B, 28},
    {"F_Telefono", "F_Telefono", FieldType::kText, &clsCuenta::F_Telefono, 27, 0x4003003C, 29},
    {"F_Fax", "F_Fax", FieldType::kText, &clsCuenta::F_Fax, 28, 0x4003003D, 30},
    {"F_eMail", "F_eMail", FieldType::kText, &clsCuenta::F_eMail, 29, 0x4003003E, 31},
    {"Grupo", "Grupo", FieldType::kInteger, &clsCuenta::Grupo, 30, 0x4003003F, 32},
    {"FormaPago", "FormaPago", FieldType::kInteger, &clsCuenta::FormaPago, 31, 0x40030040, 33},
    {"CCC", "CCC", FieldType::kText, &clsCuenta::CCC, 32, 0x40030041, 34},
    {"NoVerificarNivelesSup", "", FieldType::kBoolean, &clsCuenta::NoVerificarNivelesSup, 49,
     0x40030042, 0},
    {"CartaPago", "Carta_Pago", FieldType::kInteger, &clsCuenta::CartaPago, 52, 0x40030043, 35},
    {"Dpto", "Dpto", FieldType::kInteger, &clsCuenta::Dpto, 53, 0x40030044, 36},
    {"IBAN", "IBAN", FieldType::kText, &clsCuenta::IBAN, 55, 0x40030045, 37},
    {"Fecha_Mandato", "Fecha_Mandato", FieldType::kText, &clsCuenta::Fecha_Mandato, 56,
     0x40030046, 38},
    {"IdMandato", "IdMandato", FieldType::kText, &clsCuenta::IdMandato, 58, 0x40030047, 39},
    {"Sufijo_SEPA", "Subfijo_SEPA", FieldType::kInteger, &clsCuenta::Sufijo_SEPA, 59, 0x40030048,
     40},
    {"Secuencia_Adeudo", "Secuencia_Adeudo", FieldType::kInteger, &clsCuenta::Secuencia_Adeudo,
     60, 0x40030049, 41},
    {"Cod_Pais", "Cod_Pais", FieldType::kInteger, &clsCuenta::Cod_Pais, 63, 0x4003004A, 13},
    {"ContraparteIDOtroTipo", "ContraparteIDOtroTipo", FieldType::kInteger,
     &clsCuenta::ContraparteIDOtroTipo, 64, 0x4003004B, 42},
    {"Cod_Irpf", "Cod_Irpf", FieldType::kInteger, &clsCuenta::Cod_Irpf, 65, 0x4003004C, 44},
    {"Tipo_Irpf", "Tipo_Irpf", FieldType::kInteger, &clsCuenta::Tipo_Irpf, 66, 0x4003004D, 43},
}};

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_ACCOUNT_RECORD_H_
