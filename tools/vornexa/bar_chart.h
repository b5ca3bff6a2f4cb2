// A horizontal bar chart of amounts, drawn as text.
#ifndef TOOLS_VORNEXA_BAR_CHART_H_
#define TOOLS_VORNEXA_BAR_CHART_H_

#include <cstddef>
#include <string>
#include <vector>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

struct Bar {
  std::string label;
  Currency value;
};

// One line per bar, `width` columns wide at most (never narrower than needed
// for a bar area of 10): the label, the bar, the amount in the Spanish
// format. Every bar has the same scale; positive ones grow to the right of a
// zero line, negative ones to its left, so a balance that changes sign reads
// as such. `unicode` draws with block elements to half a column; otherwise
// with '#' to whole columns and '|' as the zero line, for files and pipes.
std::string BarChart(const std::vector<Bar>& bars, size_t width, bool unicode);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_BAR_CHART_H_
