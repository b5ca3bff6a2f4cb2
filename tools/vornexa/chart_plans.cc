#include "tools/vornexa/chart_plans.h"

#include <cctype>

#include "tools/vornexa/chart_data.h"
#include "tools/vornexa/csv.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/parse.h"
#include "tools/vornexa/progress.h"

namespace vornexa::cli {

std::optional<ChartPlan> ChartPlanNamed(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "normal") return ChartPlan::kNormal;
  if (lower == "pymes") return ChartPlan::kPymes;
  return std::nullopt;
}

std::string_view ChartPlanTitle(ChartPlan plan) {
  return plan == ChartPlan::kNormal
             ? "Plan General de Contabilidad (RD 1514/2007, texto consolidado de 21 de diciembre "
               "de 2024)"
             : "Plan General de Contabilidad de PYMES (RD 1515/2007, con las reformas hasta el "
               "RD 1/2021)";
}

std::vector<ChartEntry> ChartPlanEntries(ChartPlan plan) {
  const std::vector<CsvRecord> records =
      ParseCsv(plan == ChartPlan::kNormal ? NormalChartCsv() : PymesChartCsv());
  std::vector<ChartEntry> chart;
  // The first record is the header "codigo,nombre".
  for (size_t i = 1; i < records.size(); ++i) {
    const CsvRecord& record = records[i];
    if (!record.error.empty() || record.fields.size() != 2) {
      Fail("vornexa init",
           "El plan embebido está dañado en la línea " + std::to_string(record.line));
    }
    chart.push_back({record.fields[0], record.fields[1]});
  }
  return chart;
}

void CheckChartLevels(const CompanySettings& settings, std::string_view source) {
  const auto& levels = settings.level_digits;
  if (levels[0] != 1 || levels[1] != 2 || levels[2] != 3 || levels[3] != 4) {
    Fail(source,
         "El Plan General de Contabilidad necesita niveles de 1, 2, 3 y 4 dígitos "
         "(--digitos 1,2,3,4,...)");
  }
}

SeedResult SeedChartPlan(const Session& session, ChartPlan plan) {
  CheckChartLevels(session.company().settings(), "vornexa init");
  std::vector<ChartEntry> chart = ChartPlanEntries(plan);
  Progress progress("Plan de cuentas", chart.size());
  return SeedChart(session.shared_company(), std::move(chart),
                   [&progress](size_t done, size_t) { progress.Update(done); });
}

std::string SeedReport(ChartPlan plan, const SeedResult& result, const CompanySettings& settings) {
  std::string text = std::string(ChartPlanTitle(plan)) + ": " + std::to_string(result.created) +
                     " cuentas creadas; " + std::to_string(result.kept) +
                     " ya existían y se conservan como estaban.";
  if (result.without_level.empty()) return text;
  std::vector<int16_t> levels;
  for (int16_t digits : settings.level_digits) {
    if (digits != 0) levels.push_back(digits);
  }
  // Only codes longer than the four required levels can lack one: in both
  // plans, the five-digit subaccounts.
  for (const auto& [length, count] : result.without_level) {
    text += " No se han creado las " + std::to_string(count) + " subcuentas de " +
            std::to_string(length) + " dígitos: ningún nivel de la empresa tiene " +
            std::to_string(length) + " dígitos (sus niveles: " + JoinNumbers(levels) +
            "); para incluirlas, use niveles como --digitos 1,2,3,4," + std::to_string(length) +
            "," + std::to_string(levels.back()) + ".";
  }
  return text;
}

}  // namespace vornexa::cli
