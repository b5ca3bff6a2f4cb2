// `init` writes a company's settings (and seeds the standard chart);
// `empresas` lists the companies of the database.
#include <algorithm>
#include <ctime>
#include <iostream>

#include "tools/vornexa/chart_plans.h"
#include "tools/vornexa/commands.h"
#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/parse.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kInitSource = "vornexa init";

struct InitOptions {
  std::string name;
  std::string exercises;
  bool multi_exercise = false;   // --multiejercicio
  bool single_exercise = false;  // --sin-multiejercicio
  std::string level_digits;
  int16_t account_digits = 0;
  std::optional<ChartPlan> plan;  // --pgc
  CLI::Option* name_option = nullptr;
  CLI::Option* exercises_option = nullptr;
  CLI::Option* levels_option = nullptr;
  CLI::Option* account_digits_option = nullptr;
};

int16_t CurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<int16_t>(local.tm_year + 1900);
}

// The stored settings (or the defaults of a new company) with what the
// command line gives laid over them.
CompanySettings MergeSettings(std::optional<CompanySettings> stored, const GlobalOptions& global,
                              const InitOptions& init) {
  CompanySettings settings;
  if (stored) {
    settings = std::move(*stored);
  } else {
    settings.code = global.company;
    settings.name = "Empresa " + std::to_string(global.company);
    settings.exercise = global.exercise.value_or(CurrentYear());
    settings.exercises = {settings.exercise};
  }
  if (global.exercise) settings.exercise = *global.exercise;
  if (init.name_option->count()) settings.name = init.name;
  if (init.exercises_option->count()) {
    settings.exercises = ParseInt16List(init.exercises, "--ejercicios", kInitSource);
  } else if (std::find(settings.exercises.begin(), settings.exercises.end(),
                       settings.exercise) == settings.exercises.end()) {
    // A new active exercise joins the company's list.
    settings.exercises.push_back(settings.exercise);
    std::sort(settings.exercises.begin(), settings.exercises.end());
  }
  if (init.multi_exercise || init.single_exercise) settings.multi_exercise = init.multi_exercise;
  if (init.levels_option->count()) {
    const std::vector<int16_t> levels = ParseInt16List(init.level_digits, "--digitos", kInitSource);
    if (levels.size() > settings.level_digits.size()) {
      Fail(kInitSource, "Una cuenta tiene como mucho 6 niveles");
    }
    settings.level_digits.fill(0);
    std::copy(levels.begin(), levels.end(), settings.level_digits.begin());
    settings.account_digits = levels.back();
  }
  if (init.account_digits_option->count()) settings.account_digits = init.account_digits;
  CheckCompany(settings, kInitSource);
  return settings;
}

std::string Describe(const CompanySettings& settings) {
  const std::vector<int16_t> levels(settings.level_digits.begin(), settings.level_digits.end());
  std::string text = "Empresa " + std::to_string(settings.code) + " «" + settings.name +
                     "»: ejercicio activo " + std::to_string(settings.exercise) +
                     " (ejercicios " + JoinNumbers(settings.exercises) + ")";
  if (settings.multi_exercise) text += ", guardando en los ejercicios siguientes";
  return text + "; dígitos por nivel " + JoinNumbers(levels) + ", cuentas de detalle de " +
         std::to_string(settings.account_digits) + " dígitos.";
}

void RunInit(const GlobalOptions& global, const InitOptions& init) {
  std::shared_ptr<Connection> connection = OpenDatabase(global);
  std::optional<CompanySettings> stored = LoadCompany(*connection, global.company);
  const bool existed = stored.has_value();
  const CompanySettings settings = MergeSettings(std::move(stored), global, init);
  if (init.plan) CheckChartLevels(settings, kInitSource);
  SaveCompany(*connection, settings);
  connection.reset();

  const std::string text = Describe(settings) + (existed ? " Actualizada." : " Creada.");
  if (!init.plan) {
    PrintMessage(std::cout, text, global.json);
    return;
  }
  GlobalOptions opened = global;
  opened.exercise.reset();
  const SeedResult seeded = SeedChartPlan(Session::Open(opened), *init.plan);
  const std::string report = text + "\n" + SeedReport(*init.plan, seeded, settings);
  PrintAnswer(std::cout,
              nlohmann::ordered_json{{"mensaje", report},
                                     {"creadas", seeded.created},
                                     {"existentes", seeded.kept},
                                     {"sin_nivel", seeded.LeftOut()}},
              report, global.json);
}

void RunListCompanies(const GlobalOptions& global) {
  std::shared_ptr<Connection> connection = OpenDatabase(global);
  Table table({{"codigo", "Código"},
               {"nombre", "Nombre"},
               {"ejercicio", "Ejercicio"},
               {"ejercicios", "Ejercicios"},
               {"multiejercicio", "Multiejercicio"},
               {"digitos_nivel", "Dígitos por nivel"},
               {"digitos_cuenta", "Dígitos cuenta"}});
  for (const CompanySettings& company : LoadCompanies(*connection)) {
    const std::vector<int16_t> levels(company.level_digits.begin(), company.level_digits.end());
    table.AddRow({int64_t{company.code}, company.name, int64_t{company.exercise},
                  JoinNumbers(company.exercises), company.multi_exercise, JoinNumbers(levels),
                  int64_t{company.account_digits}});
  }
  PrintTable(std::cout, table, global.json);
}

}  // namespace

void AddCompanyCommands(CLI::App& app, const GlobalOptions& options) {
  auto init = std::make_shared<InitOptions>();
  CLI::App* command = app.add_subcommand(
      "init", "Crea la empresa de --empresa (o cambia sus datos) y, con --pgc, le da el Plan "
              "General de Contabilidad vigente o el de PYMES. El ejercicio activo es --ejercicio "
              "(por defecto, el año en curso)");
  init->name_option = command->add_option("--nombre", init->name, "Nombre de la empresa");
  init->exercises_option = command->add_option(
      "--ejercicios", init->exercises, "Ejercicios que guarda la empresa, p. ej. 2024,2025");
  // Two flags rather than one with a negated name, which help would show
  // with an English "{false}".
  command
      ->add_flag("--multiejercicio", init->multi_exercise,
                 "Guardar cada cuenta también en los ejercicios siguientes al activo")
      ->excludes(command->add_flag("--sin-multiejercicio", init->single_exercise,
                                   "Guardar cada cuenta solo en el ejercicio activo"));
  init->levels_option = command->add_option(
      "--digitos", init->level_digits, "Dígitos de cada nivel, hasta 6 (por defecto 1,2,3,4,8)");
  init->account_digits_option = command->add_option(
      "--digitos-cuenta", init->account_digits,
      "Dígitos de una cuenta de detalle (por defecto, los del último nivel)");
  command
      ->add_option_function<std::string>(
          "--pgc",
          [init](const std::string& name) {
            // A bare --pgc is the general plan.
            init->plan = name.empty() ? ChartPlan::kNormal : ChartPlanNamed(name);
            if (!init->plan) {
              throw CLI::ValidationError("--pgc", "'" + name + "' no es un plan de cuentas (" +
                                                      std::string(kChartPlanNames) + ")");
            }
          },
          "Crear las cuentas del plan: normal (por defecto), el Plan General de Contabilidad "
          "vigente (RD 1514/2007, texto consolidado de 21-12-2024: 913 códigos); pymes, el de "
          "PYMES (RD 1515/2007 con sus reformas hasta 2021: 779 códigos). Las subcuentas de 5 "
          "dígitos, solo con un nivel de 5 dígitos (--digitos 1,2,3,4,5,8)")
      ->expected(0, 1)
      ->option_text("[PLAN]");
  command->callback([&options, init] { RunInit(options, *init); });

  app.add_subcommand("empresas", "Lista las empresas de la base de datos")
      ->callback([&options] { RunListCompanies(options); });
}

}  // namespace vornexa::cli
