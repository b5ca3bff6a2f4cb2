// The two charts of accounts the tool seeds, embedded at build time from
// tools/data: header "codigo,nombre", one code per line at every level,
// sorted by code, RFC 4180 quoting.
#ifndef TOOLS_VORNEXA_CHART_DATA_H_
#define TOOLS_VORNEXA_CHART_DATA_H_

#include <string_view>

namespace vornexa::cli {

// Plan General de Contabilidad (Real Decreto 1514/2007 as amended up to its
// consolidated text of 21 December 2024).
std::string_view NormalChartCsv();
// Plan General de Contabilidad de PYMES (Real Decreto 1515/2007).
std::string_view PymesChartCsv();

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CHART_DATA_H_
