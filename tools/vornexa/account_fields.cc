#include "tools/vornexa/account_fields.h"

#include <algorithm>
#include <cctype>

#include "tools/vornexa/parse.h"

namespace vornexa::cli {

const std::vector<AccountField>& AccountFields() {
  using C = clsCuenta;
  static const std::vector<AccountField> kFields = {
      {"Cuenta", "cuenta", "Cuenta", &C::Cuenta},
      {"ContDebe", "cont-debe", "Contrapartida debe", &C::ContDebe},
      {"ContHaber", "cont-haber", "Contrapartida haber", &C::ContHaber},
      {"Nivel", "nivel", "Nivel", &C::Nivel, true},
      {"Nif", "nif", "NIF", &C::Nif},
      {"Nombre", "nombre", "Nombre", &C::Nombre},
      {"Nombre_Comercial", "nombre-comercial", "Nombre comercial", &C::Nombre_Comercial},
      {"Direccion", "direccion", "Dirección", &C::Direccion},
      {"Cp", "cp", "Código postal", &C::Cp},
      {"Localidad", "localidad", "Localidad", &C::Localidad},
      {"Provincia", "provincia", "Provincia", &C::Provincia},
      {"Pais", "pais", "País", &C::Pais},
      {"Telefono", "telefono", "Teléfono", &C::Telefono},
      {"Fax", "fax", "Fax", &C::Fax},
      {"eMail", "email", "Correo electrónico", &C::eMail},
      {"F_Nif", "f-nif", "Fiscal: NIF", &C::F_Nif},
      {"F_Razon", "f-razon", "Fiscal: razón social", &C::F_Razon},
      {"F_Via", "f-via", "Fiscal: tipo de vía", &C::F_Via},
      {"F_Direccion", "f-direccion", "Fiscal: dirección", &C::F_Direccion},
      {"F_Numero", "f-numero", "Fiscal: número", &C::F_Numero},
      {"F_Escalera", "f-escalera", "Fiscal: escalera", &C::F_Escalera},
      {"F_Piso", "f-piso", "Fiscal: piso", &C::F_Piso},
      {"F_Puerta", "f-puerta", "Fiscal: puerta", &C::F_Puerta},
      {"F_Cp", "f-cp", "Fiscal: código postal", &C::F_Cp},
      {"F_Localidad", "f-localidad", "Fiscal: localidad", &C::F_Localidad},
      {"F_Provincia", "f-provincia", "Fiscal: provincia", &C::F_Provincia},
      {"F_Pais", "f-pais", "Fiscal: país", &C::F_Pais},
      {"F_Telefono", "f-telefono", "Fiscal: teléfono", &C::F_Telefono},
      {"F_Fax", "f-fax", "Fiscal: fax", &C::F_Fax},
      {"F_eMail", "f-email", "Fiscal: correo electrónico", &C::F_eMail},
      {"Grupo", "grupo", "Grupo", &C::Grupo},
      {"FormaPago", "forma-pago", "Forma de pago", &C::FormaPago},
      {"CCC", "ccc", "CCC", &C::CCC},
      {"CartaPago", "carta-pago", "Carta de pago", &C::CartaPago},
      {"Dpto", "dpto", "Departamento", &C::Dpto},
      {"IBAN", "iban", "IBAN", &C::IBAN},
      {"Fecha_Mandato", "fecha-mandato", "Fecha del mandato", &C::Fecha_Mandato},
      {"IdMandato", "id-mandato", "Id. del mandato", &C::IdMandato},
      {"Sufijo_SEPA", "sufijo-sepa", "Sufijo SEPA", &C::Sufijo_SEPA},
      {"Secuencia_Adeudo", "secuencia-adeudo", "Secuencia de adeudo", &C::Secuencia_Adeudo},
      {"Cod_Pais", "cod-pais", "Código de país", &C::Cod_Pais},
      {"ContraparteIDOtroTipo", "contraparte-id-otro-tipo", "Tipo de id. de contraparte",
       &C::ContraparteIDOtroTipo},
      {"Cod_Irpf", "cod-irpf", "Código IRPF", &C::Cod_Irpf},
      {"Tipo_Irpf", "tipo-irpf", "Tipo IRPF", &C::Tipo_Irpf},
  };
  return kFields;
}

std::vector<const AccountField*> WritableFields() {
  std::vector<const AccountField*> fields;
  for (const AccountField& field : AccountFields()) {
    if (!field.derived) fields.push_back(&field);
  }
  return fields;
}

const AccountField* FindAccountField(std::string_view name) {
  const auto same = [](std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) ==
             std::tolower(static_cast<unsigned char>(y));
    });
  };
  for (const AccountField& field : AccountFields()) {
    if (same(field.name, name)) return &field;
  }
  return nullptr;
}

Cell FieldCell(const clsCuenta& account, const AccountField& field) {
  return std::visit(
      [&](auto member) -> Cell {
        const auto& value = account.*member;
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
          return value;
        } else {
          return static_cast<int64_t>(value);
        }
      },
      field.member);
}

std::string FieldText(const clsCuenta& account, const AccountField& field) {
  return CellText(FieldCell(account, field));
}

void SetField(clsCuenta& account, const AccountField& field, std::string_view text,
              std::string_view source) {
  const std::string what = "El campo " + std::string(field.name);
  std::visit(
      [&](auto member) {
        auto& target = account.*member;
        using Target = std::decay_t<decltype(target)>;
        if constexpr (std::is_same_v<Target, std::string>) {
          target = std::string(text);
        } else if constexpr (std::is_same_v<Target, int16_t>) {
          target = ParseInt16(text, what, source);
        } else {
          target = ParseInt32(text, what, source);
        }
      },
      field.member);
}

void BlankDefaultMandateId(clsCuenta& account, int16_t company) {
  std::string prefix = std::to_string(company < 0 ? -company : company);
  if (prefix.size() < 2) prefix.insert(0, 1, '0');
  if (company < 0) prefix.insert(0, 1, '-');
  if (account.IdMandato == prefix + account.Cuenta) account.IdMandato.clear();
}

Record AccountRecord(const clsCuenta& account, bool all) {
  Record record;
  for (const AccountField& field : AccountFields()) {
    const Cell cell = FieldCell(account, field);
    const bool always = field.name == "Cuenta" || field.name == "Nombre" || field.name == "Nivel";
    const bool empty = cell == Cell(std::string()) || cell == Cell(int64_t{0});
    if (all || always || !empty) {
      record.Add(std::string(field.name), std::string(field.label), cell);
    }
  }
  return record;
}

}  // namespace vornexa::cli
