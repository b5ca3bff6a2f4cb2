#include "tools/vornexa/chart_views.h"

#include <algorithm>

#include "tools/vornexa/bar_chart.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli {

namespace {

// Periods are the months of the exercise.
constexpr const char* kMonths[] = {"enero",      "febrero", "marzo",     "abril",
                                   "mayo",       "junio",   "julio",     "agosto",
                                   "septiembre", "octubre", "noviembre", "diciembre"};

constexpr size_t kPlainWidth = 80;

// Adds a row per node; `indent` continues the lines of the branches above.
void AddTreeRows(const std::vector<ChartNode>& nodes, const std::string& indent, bool top,
                 std::vector<std::vector<Cell>>& rows) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    const ChartNode& node = nodes[i];
    const bool last = i + 1 == nodes.size();
    std::string text = indent + (top ? "" : (last ? "└─ " : "├─ ")) + node.code;
    if (!node.name.empty()) text += "  " + node.name;
    std::vector<Cell>& row = rows.emplace_back();
    row.emplace_back(int64_t{node.level});
    row.emplace_back(std::move(text));
    if (node.balance) row.emplace_back(*node.balance);
    AddTreeRows(node.children, top ? "" : indent + (last ? "   " : "│  "), false, rows);
  }
}

}  // namespace

Table TreeTable(const std::vector<ChartNode>& tree, std::optional<size_t> width) {
  const bool balances = !tree.empty() && tree.front().balance.has_value();
  std::vector<Column> columns = {{"Nivel", "Nivel"}, {"Cuenta", "Cuenta"}};
  if (balances) columns.push_back({"saldo", "Saldo"});
  std::vector<std::vector<Cell>> rows;
  AddTreeRows(tree, "", true, rows);
  if (width) {
    // What the other columns and their gaps take.
    size_t others = CharCount(columns.front().header) + 2;
    if (balances) {
      size_t amount = CharCount(columns.back().header);
      for (const auto& row : rows) amount = std::max(amount, CharCount(CellText(row[2])));
      others += amount + 2;
    }
    const size_t room = std::max<size_t>(20, *width > others ? *width - others : 0);
    for (auto& row : rows) row[1] = FitWidth(std::get<std::string>(row[1]), room);
  }
  Table table(std::move(columns));
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

nlohmann::ordered_json TreeJson(const std::vector<ChartNode>& tree) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const ChartNode& node : tree) {
    nlohmann::ordered_json object = {
        {"Cuenta", node.code}, {"Nivel", node.level}, {"Nombre", node.name}};
    if (node.balance) object["saldo"] = CellJson(*node.balance);
    object["cuentas"] = TreeJson(node.children);
    array.push_back(std::move(object));
  }
  return array;
}

Table MonthsTable(const AccumulatorPeriods& periods) {
  Table table({{"periodo", "Periodo"},
               {"mes", "Mes"},
               {"debe", "Debe"},
               {"haber", "Haber"},
               {"saldo", "Saldo"}});
  for (size_t i = 0; i < periods.debit.size(); ++i) {
    table.AddRow({static_cast<int64_t>(i + 1), std::string(kMonths[i]), periods.debit[i],
                  periods.credit[i], periods.BalanceAfter(static_cast<int>(i + 1))});
  }
  return table;
}

std::string MonthsChart(const AccumulatorPeriods& periods, std::optional<size_t> width) {
  std::vector<Bar> bars;
  for (size_t i = 0; i < periods.debit.size(); ++i) {
    bars.push_back({kMonths[i], periods.BalanceAfter(static_cast<int>(i + 1))});
  }
  return BarChart(bars, width.value_or(kPlainWidth), width.has_value());
}

}  // namespace vornexa::cli
