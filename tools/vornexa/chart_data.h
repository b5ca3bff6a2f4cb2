// The Plan General de Contabilidad 2007 chart, embedded at build time from
// tools/data: header "codigo,nombre", one account per line, RFC 4180 quoting.
#ifndef TOOLS_VORNEXA_CHART_DATA_H_
#define TOOLS_VORNEXA_CHART_DATA_H_

#include <string_view>

namespace vornexa::cli {

// Groups, subgroups and three-digit accounts.
std::string_view ChartGroupsCsv();
// Four-digit subcuentas.
std::string_view ChartSubaccountsCsv();

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CHART_DATA_H_
