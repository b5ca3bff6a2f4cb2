// The standard charts of accounts that `init --pgc` seeds, embedded in the
// program: the Plan General de Contabilidad and the plan for small and
// medium-sized companies (PYMES), each as the law stands today.
#ifndef TOOLS_VORNEXA_CHART_PLANS_H_
#define TOOLS_VORNEXA_CHART_PLANS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <vornexa/vornexa.h>

#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/session.h"

namespace vornexa::cli {

enum class ChartPlan { kNormal, kPymes };

inline constexpr std::string_view kChartPlanNames = "normal o pymes";

// The plan called `name` ("normal", "pymes", any letter case); none for
// another name.
std::optional<ChartPlan> ChartPlanNamed(std::string_view name);

// The plan's name, with its legal basis and date.
std::string_view ChartPlanTitle(ChartPlan plan);

// Every code of the plan with its name, at every level.
std::vector<ChartEntry> ChartPlanEntries(ChartPlan plan);

// Raises 1000 from `source` unless the company's first four levels have 1, 2,
// 3 and 4 digits, as the plans' groups, subgroups, accounts and subaccounts
// do. (A level of 5 digits is optional: without one the five-digit
// subaccounts are left out, and the report says so.)
void CheckChartLevels(const CompanySettings& settings, std::string_view source);

// Saves what the session's active exercise lacks of `plan`, all or none, with
// a progress bar on standard error.
SeedResult SeedChartPlan(const Session& session, ChartPlan plan);

// What the seed did, in a sentence: accounts created, accounts already there,
// and which were left out and why.
std::string SeedReport(ChartPlan plan, const SeedResult& result, const CompanySettings& settings);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CHART_PLANS_H_
