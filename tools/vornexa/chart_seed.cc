#include "tools/vornexa/chart_seed.h"

#include <algorithm>

#include "tools/vornexa/chart_data.h"
#include "tools/vornexa/csv.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/progress.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kSource = "vornexa init";

void AppendEntries(std::string_view csv, std::vector<ChartEntry>& chart) {
  const std::vector<CsvRecord> records = ParseCsv(csv);
  // The first record is the header "codigo,nombre".
  for (size_t i = 1; i < records.size(); ++i) {
    const CsvRecord& record = records[i];
    if (!record.error.empty() || record.fields.size() != 2) {
      Fail(kSource, "El plan embebido está dañado en la línea " + std::to_string(record.line));
    }
    chart.push_back({record.fields[0], record.fields[1]});
  }
}

}  // namespace

std::vector<ChartEntry> Pgc2007Chart() {
  std::vector<ChartEntry> chart;
  AppendEntries(ChartGroupsCsv(), chart);
  AppendEntries(ChartSubaccountsCsv(), chart);
  std::sort(chart.begin(), chart.end(),
            [](const ChartEntry& a, const ChartEntry& b) { return a.code < b.code; });
  return chart;
}

void CheckChartLevels(const CompanySettings& settings) {
  const auto& levels = settings.level_digits;
  if (levels[0] != 1 || levels[1] != 2 || levels[2] != 3 || levels[3] != 4) {
    Fail(kSource, "El Plan General de Contabilidad necesita niveles de 1, 2, 3 y 4 dígitos "
                  "(--digitos 1,2,3,4,...)");
  }
}

SeedResult SeedPgc2007(const Session& session) {
  CheckChartLevels(session.company().settings());
  const std::vector<ChartEntry> chart = Pgc2007Chart();
  Progress progress("Plan General de Contabilidad", chart.size());
  // One transaction: each account's own atomic creation nests inside it.
  AtomicScope all(session.connection());
  SeedResult result;
  for (size_t i = 0; i < chart.size(); ++i) {
    clsCuenta account = session.NewAccount();
    account.Cuenta = chart[i].code;
    if (account.Existe()) {
      ++result.kept;
    } else {
      account.Nombre = chart[i].name;
      account.Insertar();
      ++result.created;
    }
    progress.Update(i + 1);
  }
  all.Commit();
  return result;
}

}  // namespace vornexa::cli
