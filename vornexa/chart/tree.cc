#include "vornexa/chart/tree.h"

#include "vornexa/accounts/cls_cuenta.h"

namespace vornexa {

namespace {

bool BeginsWith(const std::string& code, const std::string& prefix) {
  return code.compare(0, prefix.size(), prefix) == 0;
}

// Moves `account` to the first account of the walk: the root itself, or the
// first code after it.
bool First(clsCuenta& account, const std::string& root) {
  if (root.empty()) return account.Cargar_Primero();
  account.Cuenta = root;
  return account.Cargar() || account.Cargar_Siguiente();
}

}  // namespace

std::vector<ChartNode> ReadChartTree(const std::shared_ptr<clsEmpresa>& company,
                                     const ChartTreeOptions& options) {
  std::vector<ChartNode> roots;
  // The open branch: each node an upper account of the next. A node is only
  // ever added to the last of these, so the pointers stay valid.
  std::vector<ChartNode*> branch;
  clsCuenta account;
  account.cEmpresa(company);
  for (bool found = First(account, options.root); found && BeginsWith(account.Cuenta, options.root);
       found = account.Cargar_Siguiente()) {
    if (options.max_level != 0 && account.Nivel > options.max_level) continue;
    while (!branch.empty() && !BeginsWith(account.Cuenta, branch.back()->code)) branch.pop_back();
    std::vector<ChartNode>& siblings = branch.empty() ? roots : branch.back()->children;
    ChartNode& node = siblings.emplace_back();
    node.code = account.Cuenta;
    node.name = account.Nombre;
    node.level = account.Nivel;
    if (options.balance_exercise) node.balance = account.Dev_Saldo(*options.balance_exercise);
    branch.push_back(&node);
  }
  return roots;
}

}  // namespace vornexa
