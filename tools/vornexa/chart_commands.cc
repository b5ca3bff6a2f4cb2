// plan: the chart of accounts of the active exercise as a tree. Operations on
// the chart as a whole hang from it as its own subcommands.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/chart_views.h"
#include "tools/vornexa/commands.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli {

namespace {

struct TreeOptions {
  bool balances = false;
  int16_t level = 0;
  std::string root;
};

void RunTree(const Session& session, const TreeOptions& options) {
  ChartTreeOptions read;
  if (!options.root.empty()) read.root = session.ExpandCode(options.root, "vornexa plan");
  read.max_level = options.level;
  if (options.balances) read.balance_exercise = session.company().Ejercicio();
  const std::vector<ChartNode> tree = ReadChartTree(session.shared_company(), read);
  if (session.json()) {
    std::cout << JsonText(TreeJson(tree)) << '\n';
  } else if (tree.empty()) {
    std::cout << "No hay cuentas " << WhereText(session) << ".\n";
  } else {
    // On a terminal a long name is cut rather than wrapped, so the tree's
    // lines and the balances keep their columns; a file gets every name whole.
    PrintTable(std::cout, TreeTable(tree, TerminalWidth()), false);
  }
}

}  // namespace

void AddChartCommands(CLI::App& app, const GlobalOptions& options) {
  auto tree = std::make_shared<TreeOptions>();
  CLI::App* plan = app.add_subcommand(
      "plan",
      "El plan de cuentas del ejercicio activo como árbol, con el nivel de cada cuenta "
      "y, con --saldos, su saldo");
  // Without a subcommand of its own, `plan` shows the tree.
  plan->require_subcommand(0, 1);
  plan->add_flag("--saldos", tree->balances, "Saldo de cada cuenta en el ejercicio activo");
  plan->add_option("--nivel", tree->level, "Solo hasta este nivel (1: los grupos)");
  plan->add_option("--raiz", tree->root, "Solo la rama de esta cuenta (43: los clientes)");
  plan->callback([&options, tree, plan] {
    if (plan->get_subcommands().empty()) RunTree(Session::Open(options), *tree);
  });
}

}  // namespace vornexa::cli
