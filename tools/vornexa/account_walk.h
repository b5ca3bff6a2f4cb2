// Walking the chart of the active exercise in code order with the library's
// navigation: one Cargar_Siguiente per account, never a list fetched at once.
#ifndef TOOLS_VORNEXA_ACCOUNT_WALK_H_
#define TOOLS_VORNEXA_ACCOUNT_WALK_H_

#include <functional>
#include <string>
#include <string_view>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

struct CodeRange {
  std::string from;  // first code, itself included; empty: the first account
  // Last code; every code that begins with it is included too, so "43"
  // reaches 43000001. Empty: the last account.
  std::string to;
};

// The range of --desde and --hasta as typed (empty when not given), short
// codes expanded.
CodeRange TypedRange(const Session& session, const std::string& from, const std::string& to,
                     std::string_view source);

// Calls `visit` with each account of the range, in code order.
void WalkAccounts(const Session& session, const CodeRange& range,
                  const std::function<void(const clsCuenta&)>& visit);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ACCOUNT_WALK_H_
