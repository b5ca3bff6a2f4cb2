// cuenta listar, primera, ultima, siguiente, anterior.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/account_fields.h"
#include "tools/vornexa/account_walk.h"
#include "tools/vornexa/output.h"

namespace vornexa::cli {

namespace {

struct ListOptions {
  std::string from;
  std::string to;
  int16_t level = 0;
};

void RunList(const Session& session, const ListOptions& list, std::string_view source) {
  const CodeRange range = TypedRange(session, list.from, list.to, source);
  TableWriter table(std::cout, {{"Cuenta", "Cuenta"}, {"Nivel", "Nivel"}, {"Nombre", "Nombre"}},
                    session.json());
  WalkAccounts(session, range, [&](const clsCuenta& account) {
    if (list.level == 0 || account.Nivel == list.level) {
      table.AddRow({account.Cuenta, int64_t{account.Nivel}, account.Nombre});
    }
  });
  table.Finish();
}

// The account a step landed on, or a sentence (JSON null) when there is none.
void PrintStep(const Session& session, const clsCuenta& account, bool found,
               const std::string& none) {
  if (found) {
    PrintRecord(std::cout, AccountRecord(account, session.json()), session.json());
  } else {
    PrintAnswer(std::cout, nullptr, none, session.json());
  }
}

using Step = bool (clsCuenta::*)(clsCuenta*);

void AddEndCommand(CLI::App& cuenta, const std::string& name, const std::string& description,
                   const GlobalOptions& options, Step step) {
  AddSessionCommand(
      cuenta, name, description, options, [step](const Session& session, std::string_view) {
        clsCuenta account = session.NewAccount();
        const bool found = (account.*step)(nullptr);
        PrintStep(session, account, found, "No hay cuentas " + WhereText(session) + ".");
      });
}

void AddNeighbourCommand(CLI::App& cuenta, const std::string& name,
                         const std::string& description, const GlobalOptions& options, Step step,
                         const std::string& relation) {
  AddCodeCommand(cuenta, name, description, options,
                 [step, relation](const Session& session, clsCuenta& account, std::string_view) {
                   // The step lands in another object, so the start code stays for the message.
                   clsCuenta destination = session.NewAccount();
                   destination.Cuenta = account.Cuenta;
                   const bool found = (account.*step)(&destination);
                   PrintStep(session, destination, found,
                             "No hay cuenta " + relation + " a " + account.Cuenta + " " +
                                 WhereText(session) + ".");
                 });
}

}  // namespace

void AddAccountNavigationCommands(CLI::App& cuenta, const GlobalOptions& options) {
  auto list = std::make_shared<ListOptions>();
  CLI::App* command = AddSessionCommand(
      cuenta, "listar", "Lista las cuentas del ejercicio activo en orden de código", options,
      [list](const Session& session, std::string_view source) { RunList(session, *list, source); });
  command->add_option("--desde", list->from, "Primer código (incluido)");
  command->add_option("--hasta", list->to,
                      "Último código (incluido, con todos los que empiezan por él)");
  command->add_option("--nivel", list->level, "Solo las cuentas de este nivel");

  AddEndCommand(cuenta, "primera", "Muestra la primera cuenta", options,
                &clsCuenta::Cargar_Primero);
  AddEndCommand(cuenta, "ultima", "Muestra la última cuenta", options, &clsCuenta::Cargar_Ultimo);
  AddNeighbourCommand(cuenta, "siguiente", "Muestra la cuenta que sigue al código", options,
                      &clsCuenta::Cargar_Siguiente, "siguiente");
  AddNeighbourCommand(cuenta, "anterior", "Muestra la cuenta que precede al código", options,
                      &clsCuenta::Cargar_Anterior, "anterior");
}

}  // namespace vornexa::cli
