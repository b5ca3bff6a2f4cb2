# Writes a C++ source holding the two chart CSV files as string literals.
# Run as: cmake -DOUTPUT=... -DGROUPS_CSV=... -DSUBACCOUNTS_CSV=... -P embed_chart.cmake
file(READ ${GROUPS_CSV} groups)
file(READ ${SUBACCOUNTS_CSV} subaccounts)
file(WRITE ${OUTPUT}.tmp "// Generated from tools/data at build time; do not edit.
#include \"tools/vornexa/chart_data.h\"

namespace vornexa::cli {

std::string_view ChartGroupsCsv() {
  return R\"pgc(${groups})pgc\";
}

std::string_view ChartSubaccountsCsv() {
  return R\"pgc(${subaccounts})pgc\";
}

}  // namespace vornexa::cli
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
