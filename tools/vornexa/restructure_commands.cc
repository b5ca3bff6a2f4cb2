// plan digitos-cuenta, cuenta renumerar, cuenta fusionar: the chart
// restructured, every balance proven unchanged before the change is kept.
#include <iostream>
#include <memory>

#include "tools/vornexa/commands.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/progress.h"

namespace vornexa::cli {

namespace {

// Codes listed in the text view; --json lists them all.
constexpr size_t kCodesShown = 20;

struct RestructureArgs {
  bool simulate = false;
  std::vector<std::string> rewrite;
  std::vector<std::string> leave;
};

void AddRestructureOptions(CLI::App& command, RestructureArgs& args) {
  command.add_flag("--simular", args.simulate,
                   "Muestra lo que cambiaría (códigos, filas, columnas de otras tablas) sin "
                   "cambiar nada");
  // One column per option, repeated as needed: a list would swallow the
  // codes that follow it.
  const auto one_each = [](CLI::Option* option) {
    option->expected(1)->allow_extra_args(false)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  };
  one_each(command.add_option("--reescribir", args.rewrite,
                              "Columna de otra tabla con códigos de cuenta (Tabla.Columna) que "
                              "se reescribe también; se puede repetir"));
  one_each(command.add_option("--dejar", args.leave,
                              "Columna de otra tabla con códigos de cuenta que se deja como está; "
                              "se puede repetir"));
}

// Runs `operation` with the options given, a progress bar while it lasts.
InformeReestructuracion Restructure(
    const RestructureArgs& args,
    const std::function<InformeReestructuracion(const OpcionesReestructuracion&)>& operation) {
  OpcionesReestructuracion options;
  options.simular = args.simulate;
  for (const std::string& column : args.rewrite) {
    options.columnas[column] = TratamientoColumna::Reescribir;
  }
  for (const std::string& column : args.leave) options.columnas[column] = TratamientoColumna::Dejar;
  std::unique_ptr<Progress> bar;
  options.avance = [&bar](const AvanceReestructuracion& advance) {
    if (!bar && advance.total > 0) bar = std::make_unique<Progress>("Reestructurando", advance.total);
    if (bar) bar->Update(static_cast<size_t>(advance.hecho));
  };
  return operation(options);
}

std::string TreatmentText(const std::optional<TratamientoColumna>& treatment) {
  if (!treatment) return "sin decidir";
  return *treatment == TratamientoColumna::Reescribir ? "reescribir" : "dejar";
}

nlohmann::ordered_json ReportJson(const InformeReestructuracion& report) {
  nlohmann::ordered_json codes = nlohmann::ordered_json::array();
  for (const CambioCodigo& code : report.codigos) {
    codes.push_back({{"antes", code.antes}, {"despues", code.despues}});
  }
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const FilasColumna& column : report.filas) {
    rows.push_back({{"tabla", column.tabla}, {"columna", column.columna}, {"filas", column.filas}});
  }
  nlohmann::ordered_json others = nlohmann::ordered_json::array();
  for (const ColumnaCodigos& column : report.columnas) {
    others.push_back({{"tabla", column.tabla},
                      {"columna", column.columna},
                      {"tratamiento", TreatmentText(column.tratamiento)}});
  }
  return {{"simulacion", report.simulado},
          {"codigos", codes},
          {"filas", rows},
          {"columnas", others},
          {"digitos_nivel", report.digitos_nivel},
          {"digitos_cuenta", report.digitos_cuenta},
          {"filas_comprobadas", report.filas_comprobadas},
          {"superiores_cuadrados", report.superiores_cuadrados}};
}

void PrintReport(const InformeReestructuracion& report, bool json) {
  if (json) {
    std::cout << JsonText(ReportJson(report)) << '\n';
    return;
  }
  std::cout << (report.simulado
                    ? "Simulación: no se ha cambiado nada.\n"
                    : "Hecho. Los saldos cuadran: " + std::to_string(report.filas_comprobadas) +
                          " filas comparadas una a una, los totales de cada nivel y " +
                          std::to_string(report.superiores_cuadrados) +
                          " cuentas superiores que siguen sumando las de debajo.\n");
  Table codes({{"antes", "Código"}, {"despues", "Nuevo código"}});
  for (size_t i = 0; i < report.codigos.size() && i < kCodesShown; ++i) {
    codes.AddRow({report.codigos[i].antes, report.codigos[i].despues});
  }
  std::cout << "\nCuentas (" << report.codigos.size() << "):\n";
  PrintTable(std::cout, codes, false);
  if (report.codigos.size() > kCodesShown) {
    std::cout << "... y " << report.codigos.size() - kCodesShown << " más (--json las da todas)\n";
  }
  Table rows({{"tabla", "Tabla"}, {"columna", "Columna"}, {"filas", "Filas"}});
  for (const FilasColumna& column : report.filas) {
    rows.AddRow({column.tabla, column.columna, column.filas});
  }
  std::cout << "\nFilas con códigos que cambian:\n";
  PrintTable(std::cout, rows, false);
  if (report.columnas.empty()) return;
  Table others({{"tabla", "Tabla"}, {"columna", "Columna"}, {"tratamiento", "Tratamiento"}});
  for (const ColumnaCodigos& column : report.columnas) {
    others.AddRow({column.tabla, column.columna, TreatmentText(column.tratamiento)});
  }
  std::cout << "\nColumnas de otras tablas con códigos de cuenta (--reescribir o --dejar):\n";
  PrintTable(std::cout, others, false);
}

void AddDigitsCommand(CLI::App& plan, const GlobalOptions& options) {
  auto args = std::make_shared<RestructureArgs>();
  auto digits = std::make_shared<int16_t>(0);
  CLI::App* command = AddSessionCommand(
      plan, "digitos-cuenta",
      "Alarga o acorta los códigos de las cuentas de detalle a N dígitos, con ceros tras el "
      "código de la cuenta superior (43320017 -> 4332000017), en todos los ejercicios",
      options, [args, digits](const Session& session, std::string_view) {
        // The company's digits change with the codes, or neither does.
        AtomicScope scope(session.connection());
        const InformeReestructuracion report =
            Restructure(*args, [&](const OpcionesReestructuracion& restructure) {
              return AmpliarDigitos(session.connection(), session.company(), *digits, restructure);
            });
        if (!report.simulado) {
          CompanySettings settings = session.company().settings();
          settings.level_digits = report.digitos_nivel;
          settings.account_digits = report.digitos_cuenta;
          SaveCompany(session.connection(), settings);
          scope.Commit();
        }
        PrintReport(report, session.json());
      });
  command->add_option("digitos", *digits, "Dígitos de las cuentas de detalle")->required();
  AddRestructureOptions(*command, *args);
}

void AddRenumberCommand(CLI::App& cuenta, const GlobalOptions& options) {
  auto args = std::make_shared<RestructureArgs>();
  auto codes = std::make_shared<std::array<std::string, 2>>();
  auto from = std::make_shared<int16_t>(0);
  auto from_given = std::make_shared<CLI::Option*>();
  CLI::App* command = AddSessionCommand(
      cuenta, "renumerar",
      "Da a una cuenta, y a las que tiene debajo, otro código del mismo nivel, con sus apuntes, "
      "acumulados y previsiones",
      options, [args, codes, from, from_given](const Session& session, std::string_view source) {
        const std::string old_code = session.ExpandCode((*codes)[0], source);
        const std::string new_code = session.ExpandCode((*codes)[1], source);
        const std::optional<int16_t> since =
            (*from_given)->count() > 0 ? std::optional<int16_t>(*from) : std::nullopt;
        PrintReport(Restructure(*args,
                                [&](const OpcionesReestructuracion& restructure) {
                                  return RenumerarCuenta(session.connection(), session.company(),
                                                         old_code, new_code, since, restructure);
                                }),
                    session.json());
      });
  command->add_option("vieja", (*codes)[0], "Código actual (43.5 se desarrolla)")->required();
  command->add_option("nueva", (*codes)[1], "Código nuevo, del mismo nivel")->required();
  *from_given = command->add_option("--desde", *from,
                                    "Primer ejercicio que cambia (por defecto, todos)");
  AddRestructureOptions(*command, *args);
}

void AddMergeCommand(CLI::App& cuenta, const GlobalOptions& options) {
  auto args = std::make_shared<RestructureArgs>();
  auto codes = std::make_shared<std::array<std::string, 2>>();
  CLI::App* command = AddSessionCommand(
      cuenta, "fusionar",
      "Pasa a DESTINO los apuntes, previsiones y acumulados de ORIGEN, que desaparece, en todos "
      "los ejercicios",
      options, [args, codes](const Session& session, std::string_view source) {
        const std::string origin = session.ExpandCode((*codes)[0], source);
        const std::string destination = session.ExpandCode((*codes)[1], source);
        PrintReport(Restructure(*args,
                                [&](const OpcionesReestructuracion& restructure) {
                                  return FusionarCuentas(session.connection(), session.company(),
                                                         origin, destination, restructure);
                                }),
                    session.json());
      });
  command->add_option("origen", (*codes)[0], "Cuenta que desaparece (43.5 se desarrolla)")
      ->required();
  command->add_option("destino", (*codes)[1], "Cuenta que la absorbe, del mismo nivel")->required();
  AddRestructureOptions(*command, *args);
}

// The command `name` of `app`, or none (this CLI11 has no lookup that does
// not throw).
CLI::App* FindCommand(CLI::App& app, const std::string& name) {
  const std::vector<CLI::App*> found =
      app.get_subcommands([&name](CLI::App* command) { return command->get_name() == name; });
  return found.empty() ? nullptr : found.front();
}

}  // namespace

void AddRestructureCommands(CLI::App& app, const GlobalOptions& options) {
  CLI::App* plan = FindCommand(app, "plan");
  if (plan == nullptr) {
    plan = app.add_subcommand("plan", "El plan de cuentas de la empresa en conjunto");
    plan->require_subcommand(1);
  }
  AddDigitsCommand(*plan, options);
  CLI::App* cuenta = FindCommand(app, "cuenta");
  AddRenumberCommand(*cuenta, options);
  AddMergeCommand(*cuenta, options);
}

}  // namespace vornexa::cli
