#include "tools/vornexa/account_walk.h"

namespace vornexa::cli {

namespace {

bool PastEnd(const std::string& code, const std::string& to) {
  return !to.empty() && code > to && code.compare(0, to.size(), to) != 0;
}

}  // namespace

CodeRange TypedRange(const Session& session, const std::string& from, const std::string& to,
                     std::string_view source) {
  return {from.empty() ? "" : session.ExpandCode(from, source),
          to.empty() ? "" : session.ExpandCode(to, source)};
}

void WalkAccounts(const Session& session, const CodeRange& range,
                  const std::function<void(const clsCuenta&)>& visit) {
  clsCuenta account = session.NewAccount();
  bool found;
  if (range.from.empty()) {
    found = account.Cargar_Primero();
  } else {
    account.Cuenta = range.from;
    found = account.Cargar() || account.Cargar_Siguiente();
  }
  while (found && !PastEnd(account.Cuenta, range.to)) {
    visit(account);
    found = account.Cargar_Siguiente();
  }
}

}  // namespace vornexa::cli
