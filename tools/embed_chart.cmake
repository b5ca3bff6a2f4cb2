# Writes a C++ source holding the two chart CSV files as string literals.
# Run as: cmake -DOUTPUT=... -DNORMAL_CSV=... -DPYMES_CSV=... -P embed_chart.cmake
file(READ ${NORMAL_CSV} normal)
file(READ ${PYMES_CSV} pymes)
file(WRITE ${OUTPUT}.tmp "// Generated from tools/data at build time; do not edit.
#include \"tools/vornexa/chart_data.h\"

namespace vornexa::cli {

std::string_view NormalChartCsv() {
  return R\"pgc(${normal})pgc\";
}

std::string_view PymesChartCsv() {
  return R\"pgc(${pymes})pgc\";
}

}  // namespace vornexa::cli
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
