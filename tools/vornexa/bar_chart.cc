#include "tools/vornexa/bar_chart.h"

#include <algorithm>
#include <cmath>

#include "tools/vornexa/output.h"

namespace vornexa::cli {

namespace {

constexpr size_t kMinimumArea = 10;

double Magnitude(Currency value) { return std::fabs(static_cast<double>(value.ten_thousandths)); }

std::string Repeat(std::string_view piece, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// A bar of `units` (halves of a column with Unicode, else whole columns) in
// a side of `columns`, drawn from the zero line outwards.
std::string Side(size_t units, size_t columns, bool unicode, bool leftwards) {
  const size_t per_column = unicode ? 2 : 1;
  units = std::min(units, columns * per_column);
  const size_t full = units / per_column;
  const bool half = units % per_column != 0;
  std::string bar = Repeat(unicode ? "█" : "#", full);
  if (half) bar = leftwards ? "▐" + bar : bar + "▌";
  const std::string blank(columns - full - (half ? 1 : 0), ' ');
  return leftwards ? blank + bar : bar + blank;
}

}  // namespace

std::string BarChart(const std::vector<Bar>& bars, size_t width, bool unicode) {
  size_t label_width = 0, amount_width = 0;
  double positive = 0, negative = 0;
  for (const Bar& bar : bars) {
    label_width = std::max(label_width, CharCount(bar.label));
    amount_width = std::max(amount_width, CharCount(FormatAmount(bar.value)));
    double& longest = bar.value.ten_thousandths < 0 ? negative : positive;
    longest = std::max(longest, Magnitude(bar.value));
  }
  const bool both_signs = positive > 0 && negative > 0;
  const size_t fixed = label_width + amount_width + 4 + (both_signs ? 1 : 0);
  const size_t area = std::max(kMinimumArea, width > fixed ? width - fixed : 0);
  // One scale for both sides: each side gets the share its longest bar needs.
  const double total = positive + negative;
  const size_t left = total > 0 ? static_cast<size_t>(std::lround(area * negative / total)) : 0;
  const size_t right = area - left;
  const double units_per_amount = total > 0 ? area * (unicode ? 2.0 : 1.0) / total : 0;
  std::string text;
  for (const Bar& bar : bars) {
    const size_t units = static_cast<size_t>(std::lround(Magnitude(bar.value) * units_per_amount));
    const bool below = bar.value.ten_thousandths < 0;
    const std::string amount = FormatAmount(bar.value);
    text += bar.label + std::string(label_width - CharCount(bar.label) + 2, ' ');
    text += Side(below ? units : 0, left, unicode, true);
    if (both_signs) text += unicode ? "│" : "|";
    text += Side(below ? 0 : units, right, unicode, false);
    text += std::string(amount_width - CharCount(amount) + 2, ' ') + amount + "\n";
  }
  return text;
}

}  // namespace vornexa::cli
