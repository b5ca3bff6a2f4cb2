// The command tree. Each function adds its commands to the tool's top-level
// app; `options` holds the global options, filled in by the time any
// command runs. A command reports failure by raising vornexa::Error.
#ifndef TOOLS_VORNEXA_COMMANDS_H_
#define TOOLS_VORNEXA_COMMANDS_H_

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <string_view>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

// What a command does once its company is open. `source` ("vornexa cuenta
// ver") names the command in the tool's errors.
using SessionAction = std::function<void(const Session& session, std::string_view source)>;

// Adds `parent NAME`, which opens the session the global options name and
// runs `action`. The caller adds the command's own arguments and options to
// the command returned.
CLI::App* AddSessionCommand(CLI::App& parent, const std::string& name,
                            const std::string& description, const GlobalOptions& options,
                            SessionAction action);

void AddCompanyCommands(CLI::App& app, const GlobalOptions& options);   // init, empresas
void AddAccountCommands(CLI::App& app, const GlobalOptions& options);   // cuenta ...
void AddGroupCommands(CLI::App& app, const GlobalOptions& options);     // grupo ...
void AddBalanceCommands(CLI::App& app, const GlobalOptions& options);   // saldo ...
void AddTransferCommands(CLI::App& app, const GlobalOptions& options);  // importar, exportar
void AddDemoCommand(CLI::App& app, const GlobalOptions& options);       // demo
void AddChartCommands(CLI::App& app, const GlobalOptions& options);     // plan ...
// plan digitos-cuenta; cuenta renumerar, fusionar. Adds to the `plan` and
// `cuenta` commands, creating `plan` when no other family has: call it last.
void AddRestructureCommands(CLI::App& app, const GlobalOptions& options);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_COMMANDS_H_
