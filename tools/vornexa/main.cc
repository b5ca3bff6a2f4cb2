// vornexa: the chart of accounts of a company, from a terminal or a script.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

#include "tools/vornexa/commands.h"
#include "tools/vornexa/global_options.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/usage_messages.h"

namespace vornexa::cli {
namespace {

void UseSpanishHelp(CLI::App& app) {
  auto formatter = app.get_formatter();
  formatter->label("Usage", "Uso");
  formatter->label("OPTIONS", "OPCIONES");
  formatter->label("SUBCOMMAND", "ORDEN");
  formatter->label("SUBCOMMANDS", "ÓRDENES");
  formatter->label("Positionals", "Argumentos");
  formatter->label("REQUIRED", "(obligatorio)");
  formatter->label("Env", "Variable de entorno");
  formatter->label("Needs", "Necesita");
  formatter->label("Excludes", "Excluye");
  formatter->label("TEXT", "TEXTO");
  formatter->label("INT", "ENTERO");
  formatter->column_width(34);
  app.option_defaults()->group("Opciones");
  app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
  app.failure_message(
      [](const CLI::App* top, const CLI::Error& error) { return UsageMessage(*top, error); });
}

// Help lists commands and options under Spanish headings, at every depth
// (a command's own help flag is made before any default could reach it).
void LabelCommandGroups(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
    command->group("Órdenes");
    for (CLI::Option* option : command->get_options()) option->group("Opciones");
    LabelCommandGroups(*command);
  }
}

int Run(int argc, char** argv) {
  CLI::App app{"vornexa: el plan de cuentas de una empresa, desde la terminal o un guion.\n"
               "Los códigos abreviados con punto se desarrollan: 43.5 -> 43000005.",
               "vornexa"};
  UseSpanishHelp(app);
  app.footer("Empiece por: vornexa demo");
  app.require_subcommand(1);
  // Global options may follow the command too: `vornexa cuenta ver 430 --json`.
  app.fallthrough();

  GlobalOptions options;
  if (argc > 0) options.program = argv[0];
  AddGlobalOptions(app, options);

  AddCompanyCommands(app, options);
  AddAccountCommands(app, options);
  AddChartCommands(app, options);
  AddGroupCommands(app, options);
  AddBalanceCommands(app, options);
  AddTransferCommands(app, options);
  AddDemoCommand(app, options);
  AddRestructureCommands(app, options);

  LabelCommandGroups(app);

  try {
    std::vector<std::string> args = EmptyValuesExplicit(argc, argv);
    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    app.parse(args);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  return 0;
}

}  // namespace
}  // namespace vornexa::cli

int main(int argc, char** argv) {
  using vornexa::Error;
  using vornexa::cli::kExitFailure;
  using vornexa::cli::PrintError;
  // No failure leaves as an exception or an abort: one line on stderr.
  try {
    return vornexa::cli::Run(argc, argv);
  } catch (const Error& error) {
    PrintError(std::cerr, error);
  } catch (const std::exception& error) {
    PrintError(std::cerr, Error(vornexa::error_number::kInternal, "vornexa", error.what()));
  } catch (...) {
    PrintError(std::cerr, Error(vornexa::error_number::kInternal, "vornexa", "Error desconocido"));
  }
  return kExitFailure;
}
