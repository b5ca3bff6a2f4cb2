// plan: the chart of accounts of the active exercise as a tree. Operations on
// the chart as a whole hang from it as its own subcommands.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/commands.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kSource = "vornexa plan";

struct TreeOptions {
  bool balances = false;
  int16_t level = 0;
  std::string root;
};

// Each node as the members of a `cuenta listar` row, the accounts under it
// nested in "cuentas".
nlohmann::ordered_json TreeJson(const std::vector<ChartNode>& nodes) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const ChartNode& node : nodes) {
    nlohmann::ordered_json object = {
        {"Cuenta", node.code}, {"Nivel", node.level}, {"Nombre", node.name}};
    if (node.balance) object["saldo"] = CellJson(*node.balance);
    object["cuentas"] = TreeJson(node.children);
    array.push_back(std::move(object));
  }
  return array;
}

// One row per node, the code drawn under its upper account's with the lines
// of a tree ("├─ ", "└─ "); `indent` continues the lines of the branches above.
void AddTreeRows(const std::vector<ChartNode>& nodes, const std::string& indent, bool top,
                 std::vector<std::vector<Cell>>& rows) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    const ChartNode& node = nodes[i];
    const bool last = i + 1 == nodes.size();
    const std::string branch = top ? "" : (last ? "└─ " : "├─ ");
    std::string text = indent + branch + node.code;
    if (!node.name.empty()) text += "  " + node.name;
    std::vector<Cell>& row = rows.emplace_back();
    row = {int64_t{node.level}, std::move(text)};
    if (node.balance) row.push_back(*node.balance);
    AddTreeRows(node.children, top ? "" : indent + (last ? "   " : "│  "), false, rows);
  }
}

void PrintTree(const std::vector<ChartNode>& tree, bool balances) {
  std::vector<Column> columns = {{"Nivel", "Nivel"}, {"Cuenta", "Cuenta"}};
  if (balances) columns.push_back({"saldo", "Saldo"});
  std::vector<std::vector<Cell>> rows;
  AddTreeRows(tree, "", true, rows);
  // On a terminal a long name is cut rather than wrapped, so the tree's lines
  // and the balances stay in their columns; a file gets every name whole.
  if (const std::optional<size_t> width = TerminalWidth()) {
    size_t others = CharCount("Nivel") + 2;
    if (balances) {
      size_t amount = CharCount("Saldo");
      for (const auto& row : rows) amount = std::max(amount, CharCount(CellText(row[2])));
      others += amount + 2;
    }
    const size_t room = *width > others + 20 ? *width - others : 20;
    for (auto& row : rows) row[1] = FitWidth(std::get<std::string>(row[1]), room);
  }
  Table table(std::move(columns));
  for (auto& row : rows) table.AddRow(std::move(row));
  PrintTable(std::cout, table, false);
}

void RunTree(const Session& session, const TreeOptions& options) {
  ChartTreeOptions read;
  if (!options.root.empty()) read.root = session.ExpandCode(options.root, kSource);
  read.max_level = options.level;
  if (options.balances) read.balance_exercise = session.company().Ejercicio();
  const std::vector<ChartNode> tree = ReadChartTree(session.shared_company(), read);
  if (session.json()) {
    std::cout << JsonText(TreeJson(tree)) << '\n';
  } else if (tree.empty()) {
    std::cout << "No hay cuentas " << WhereText(session) << ".\n";
  } else {
    PrintTree(tree, options.balances);
  }
}

}  // namespace

void AddChartCommands(CLI::App& app, const GlobalOptions& options) {
  auto tree = std::make_shared<TreeOptions>();
  CLI::App* plan = app.add_subcommand(
      "plan", "El plan de cuentas del ejercicio activo como árbol, con el nivel de cada cuenta "
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
