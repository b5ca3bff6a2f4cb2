#include "vornexa/accounts/account_record.h"

#include <algorithm>
#include <cstdlib>

#include "vornexa/base/error.h"
#include "vornexa/context/sql_statement.h"

namespace vornexa {

std::vector<const AccountField*> FieldsInOrder(int AccountField::*position) {
  std::vector<const AccountField*> fields;
  for (const AccountField& field : kAccountFields) {
    if (field.*position != 0) fields.push_back(&field);
  }
  std::sort(fields.begin(), fields.end(), [position](const AccountField* a, const AccountField* b) {
    return a->*position < b->*position;
  });
  return fields;
}

const AccountField* FindField(std::string_view name) {
  for (const AccountField& field : kAccountFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::string DefaultMandateId(int16_t company, std::string_view account_code) {
  std::string digits = std::to_string(std::abs(static_cast<int>(company)));
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return (company < 0 ? "-" : "") + digits + std::string(account_code);
}

void RequireStorableRecord(const clsCuenta& account, std::string_view source) {
  Trap(source, [&] {
    for (const AccountField& field : kAccountFields) {
      // A field saved as part of another is checked as that one.
      if (field.column().empty() || (field.spelling & spelling::kLastOfIban) != 0) continue;
      if (const auto* text = std::get_if<std::string clsCuenta::*>(&field.member)) {
        RequireStorableText(account.*(*text), field.name);
      }
    }
  });
}

}  // namespace vornexa
