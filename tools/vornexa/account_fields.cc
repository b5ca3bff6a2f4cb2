#include "tools/vornexa/account_fields.h"

#include <algorithm>
#include <cctype>

#include "tools/vornexa/errors.h"
#include "tools/vornexa/parse.h"
#include "vornexa/base/text.h"

namespace vornexa::cli {

namespace {

// The option of a field: its name in lower case, a dash between words
// ("FormaPago", "Cod_Pais", "ContraparteIDOtroTipo" give "forma-pago",
// "cod-pais", "contraparte-id-otro-tipo"). A one-letter word joins the next
// one, so "eMail" gives "email".
std::string OptionName(std::string_view name) {
  const auto upper = [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; };
  std::string option;
  size_t word_length = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '_') {
      option += '-';
      word_length = 0;
      continue;
    }
    const bool starts_word =
        i > 0 && upper(c) && name[i - 1] != '_' &&
        ((!upper(name[i - 1]) && word_length > 1) ||
         (upper(name[i - 1]) && i + 1 < name.size() && !upper(name[i + 1]) && name[i + 1] != '_'));
    if (starts_word) {
      option += '-';
      word_length = 0;
    }
    option += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ++word_length;
  }
  return option;
}

}  // namespace

const std::vector<AccountField>& AccountFields() {
  static const std::vector<AccountField> kFields = [] {
    std::vector<AccountField> fields;
    for (const vornexa::AccountField& field : kAccountFields) {
      if (field.column().empty()) continue;  // never stored
      fields.push_back({field.name, OptionName(field.name), field.description, field.member,
                        field.member == FieldMember(&clsCuenta::Nivel)});
    }
    return fields;
  }();
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
        } else {  // numbers (the tool has no Boolean field)
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
        } else if constexpr (std::is_same_v<Target, int32_t>) {
          target = ParseInt32(text, what, source);
        }
      },
      field.member);
}

void CheckKeptFields(const clsCuenta& account, const std::vector<const AccountField*>& replaced,
                     std::string_view source) {
  for (const AccountField* field : WritableFields()) {
    const auto* member = std::get_if<std::string clsCuenta::*>(&field->member);
    if (member == nullptr || field->name == "Cuenta" ||
        std::find(replaced.begin(), replaced.end(), field) != replaced.end()) {
      continue;
    }
    const std::string& text = account.**member;
    if (IsValidUtf8(text) && text.find('\0') == std::string::npos) continue;
    Fail(source, "El campo " + std::string(field->name) + " de la cuenta " + account.Cuenta +
                     ", guardado por otro programa, no es texto válido (UTF-8 sin caracteres "
                     "nulos) y no se puede volver a guardar: dele un valor nuevo (--" +
                     field->option + " en cuenta guardar, o la columna " +
                     std::string(field->name) + " al importar)");
  }
}

void BlankDefaultMandateId(clsCuenta& account, int16_t company) {
  if (account.IdMandato == DefaultMandateId(company, account.Cuenta)) account.IdMandato.clear();
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
