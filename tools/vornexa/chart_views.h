// Views for people of the chart as a tree and of an account's twelve
// periods, shared by the commands that show them and by the tour.
#ifndef TOOLS_VORNEXA_CHART_VIEWS_H_
#define TOOLS_VORNEXA_CHART_VIEWS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <vornexa/vornexa.h>

#include "tools/vornexa/output.h"

namespace vornexa::cli {

// One row per account: its level, its code drawn under its upper account's
// with the lines of a tree ("├─ 430  Clientes"), and its balance when the
// tree has them. With a `width` (a terminal's), long names are cut so that
// each row fits on one line.
Table TreeTable(const std::vector<ChartNode>& tree, std::optional<size_t> width);

// Each node as the members of a `cuenta listar` row, with "saldo" when the
// tree has balances, and the accounts under it nested in "cuentas".
nlohmann::ordered_json TreeJson(const std::vector<ChartNode>& tree);

// The twelve periods: debit, credit and the balance at the end of each.
Table MonthsTable(const AccumulatorPeriods& periods);

// A bar chart of the balance at the end of each month, `width` columns wide
// (a terminal's: drawn with block elements), else 80 columns of plain text.
std::string MonthsChart(const AccumulatorPeriods& periods, std::optional<size_t> width);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CHART_VIEWS_H_
