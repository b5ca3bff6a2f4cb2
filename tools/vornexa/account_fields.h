// The account record as the tool sees it: each stored field of the library's
// account record with its name (CSV header and JSON member), its option of
// `cuenta guardar` and its Spanish label, so that options, CSV, JSON and the
// text view share the library's one list.
#ifndef TOOLS_VORNEXA_ACCOUNT_FIELDS_H_
#define TOOLS_VORNEXA_ACCOUNT_FIELDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <vornexa/vornexa.h>

#include "tools/vornexa/output.h"

namespace vornexa::cli {

struct AccountField {
  std::string_view name;  // clsCuenta's field name
  std::string option;     // long option name, without dashes: "nombre-comercial"
  std::string_view label;
  FieldMember member;
  // Nivel is worked out from the code when the account is created.
  bool derived = false;
};

// Every stored field, in the order of the account record.
const std::vector<AccountField>& AccountFields();
// The fields a user writes: all but the derived Nivel. Cuenta comes first.
std::vector<const AccountField*> WritableFields();
// The field named `name`, without regard to letter case; nullptr if none.
const AccountField* FindAccountField(std::string_view name);

Cell FieldCell(const clsCuenta& account, const AccountField& field);
// Numbers in decimal, text as it stands.
std::string FieldText(const clsCuenta& account, const AccountField& field);
// Stores `text` into the field; integer fields raise 13 or 6 naming the
// field when `text` is no number of their width.
void SetField(clsCuenta& account, const AccountField& field, std::string_view text,
              std::string_view source);

// Raises 1000 from `source`, naming the field and how to mend it, when a
// text field that a save keeps as stored (all but Cuenta and `replaced`)
// holds what another program stored and no save can write back: bytes that
// are no valid UTF-8, or a NUL. The library would refuse the save naming a
// field the user never gave.
void CheckKeptFields(const clsCuenta& account, const std::vector<const AccountField*>& replaced,
                     std::string_view source);

// Loading fills an empty IdMandato with its default (DefaultMandateId).
// Blanks it again when it holds just that default, so that a save or an
// export does not turn the default into a stored value.
void BlankDefaultMandateId(clsCuenta& account, int16_t company);

// The account as a Record. Unless `all`, fields that are empty or 0 are left
// out (Cuenta, Nombre and Nivel always stay).
Record AccountRecord(const clsCuenta& account, bool all);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ACCOUNT_FIELDS_H_
