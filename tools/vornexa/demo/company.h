// Builds the sample company of `vornexa demo` in a new database file.
#ifndef TOOLS_VORNEXA_DEMO_COMPANY_H_
#define TOOLS_VORNEXA_DEMO_COMPANY_H_

#include <cstddef>
#include <string>

namespace vornexa::cli::demo {

struct DemoSummary {
  size_t chart_accounts = 0;   // from the general chart
  size_t chart_left_out = 0;   // its five-digit subaccounts: the demo has no such level
  size_t detail_accounts = 0;  // the company's own, with their upper subcuentas
  size_t entries = 0;
  size_t lines = 0;
  size_t forecasts = 0;
};

// Writes the company's settings (two exercises, saving into both), its
// departments, the general chart of accounts and its own accounts (saved through the
// library), its groups, and its journal with the matching accumulator
// amounts and its collection forecasts, all in one transaction. Leaves the
// second exercise active.
DemoSummary BuildDemoCompany(const std::string& path);

}  // namespace vornexa::cli::demo

#endif  // TOOLS_VORNEXA_DEMO_COMPANY_H_
