// The Spanish general chart of accounts (Plan General de Contabilidad 2007):
// its groups, subgroups, three-digit accounts and four-digit subcuentas.
#ifndef TOOLS_VORNEXA_CHART_SEED_H_
#define TOOLS_VORNEXA_CHART_SEED_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/session.h"

namespace vornexa::cli {

struct ChartEntry {
  std::string code;
  std::string name;
};

// The embedded chart, sorted by code, so every account follows its upper one.
std::vector<ChartEntry> Pgc2007Chart();

// Raises 1000 unless the company's first four levels have 1, 2, 3 and 4
// digits, as the chart's codes do.
void CheckChartLevels(const CompanySettings& settings);

struct SeedResult {
  size_t created = 0;
  size_t kept = 0;  // already in the active exercise: left as they were
};

// Saves every entry that the active exercise lacks through
// clsCuenta::Insertar (level and accumulator rows included), all or none.
// Accounts already there keep their data. Checks the levels first.
SeedResult SeedPgc2007(const Session& session);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CHART_SEED_H_
