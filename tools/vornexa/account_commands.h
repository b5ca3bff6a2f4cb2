// The `cuenta` commands, in three families added to the one `cuenta` command.
#ifndef TOOLS_VORNEXA_ACCOUNT_COMMANDS_H_
#define TOOLS_VORNEXA_ACCOUNT_COMMANDS_H_

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <string_view>

#include "tools/vornexa/commands.h"

namespace vornexa::cli {

// ver, guardar, eliminar, existe, movimientos, reparar.
void AddAccountRecordCommands(CLI::App& cuenta, const GlobalOptions& options);
// listar, primera, ultima, siguiente, anterior.
void AddAccountNavigationCommands(CLI::App& cuenta, const GlobalOptions& options);
// desarrollar, componer.
void AddAccountCodeCommands(CLI::App& cuenta, const GlobalOptions& options);
// meses.
void AddAccountPeriodCommands(CLI::App& cuenta, const GlobalOptions& options);

// What a command does with the account whose code it was given (a short
// code already expanded). `source` names the command in the tool's errors.
using AccountAction =
    std::function<void(const Session& session, clsCuenta& account, std::string_view source)>;

// Adds `cuenta NAME CODIGO` running `action`; returns it for more options.
CLI::App* AddCodeCommand(CLI::App& cuenta, const std::string& name,
                         const std::string& description, const GlobalOptions& options,
                         AccountAction action);

// "en el ejercicio 2025 de la empresa 1", for messages.
std::string WhereText(const Session& session);

// Raises 1000 from `source`: the account is not in the active exercise.
[[noreturn]] void FailMissingAccount(const Session& session, const clsCuenta& account,
                                     std::string_view source);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ACCOUNT_COMMANDS_H_
