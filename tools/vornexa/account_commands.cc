#include "tools/vornexa/account_commands.h"

#include "tools/vornexa/commands.h"
#include "tools/vornexa/errors.h"

namespace vornexa::cli {

CLI::App* AddCodeCommand(CLI::App& cuenta, const std::string& name,
                         const std::string& description, const GlobalOptions& options,
                         AccountAction action) {
  auto code = std::make_shared<std::string>();
  CLI::App* command = AddSessionCommand(
      cuenta, name, description, options,
      [code, action](const Session& session, std::string_view source) {
        clsCuenta account = session.Account(*code, source);
        action(session, account, source);
      });
  command->add_option("codigo", *code, "Código de la cuenta (43.5 se desarrolla)")->required();
  return command;
}

std::string WhereText(const Session& session) {
  return "en el ejercicio " + std::to_string(session.company().Ejercicio()) + " de la empresa " +
         std::to_string(session.company().Codigo());
}

void FailMissingAccount(const Session& session, const clsCuenta& account,
                        std::string_view source) {
  Fail(source, "La cuenta " + account.Cuenta + " no existe " + WhereText(session));
}

void AddAccountCommands(CLI::App& app, const GlobalOptions& options) {
  CLI::App* cuenta = app.add_subcommand(
      "cuenta", "Cuentas del ejercicio activo: ver, guardar, eliminar, listar, recorrer, meses...");
  cuenta->require_subcommand(1);
  AddAccountRecordCommands(*cuenta, options);
  AddAccountNavigationCommands(*cuenta, options);
  AddAccountCodeCommands(*cuenta, options);
  AddAccountPeriodCommands(*cuenta, options);
}

}  // namespace vornexa::cli
