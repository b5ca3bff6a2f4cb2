// The command tree. Each function adds its commands to the tool's top-level
// app; `options` holds the global options, filled in by the time any
// command runs. A command reports failure by raising vornexa::Error.
#ifndef TOOLS_VORNEXA_COMMANDS_H_
#define TOOLS_VORNEXA_COMMANDS_H_

#include <CLI/CLI.hpp>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

void AddCompanyCommands(CLI::App& app, const GlobalOptions& options);   // init, empresas
void AddAccountCommands(CLI::App& app, const GlobalOptions& options);   // cuenta ...
void AddGroupCommands(CLI::App& app, const GlobalOptions& options);     // grupo ...
void AddBalanceCommands(CLI::App& app, const GlobalOptions& options);   // saldo ...
void AddTransferCommands(CLI::App& app, const GlobalOptions& options);  // importar, exportar
void AddDemoCommand(CLI::App& app, const GlobalOptions& options);       // demo

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_COMMANDS_H_
