// cuenta meses: the twelve periods of the active exercise of one account, as
// a table and as a bar chart of the balance at the end of each.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/chart_views.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli {

namespace {

void RunMonths(const Session& session, clsCuenta& account, std::string_view source) {
  if (!account.Cargar()) FailMissingAccount(session, account, source);
  const int16_t exercise = session.company().Ejercicio();
  const AccumulatorPeriods periods = account.Dev_Periodos(exercise);
  const Table table = MonthsTable(periods);
  if (session.json()) {
    std::cout << JsonText({{"Cuenta", account.Cuenta},
                           {"Nombre", account.Nombre},
                           {"ejercicio", exercise},
                           {"apertura", CellJson(periods.opening)},
                           {"periodos", ToJson(table)}})
              << '\n';
    return;
  }
  std::cout << "Cuenta " << account.Cuenta << " «" << account.Nombre << "», ejercicio " << exercise
            << "\nApertura: " << FormatAmount(periods.opening) << "\n\n";
  PrintTable(std::cout, table, false);
  std::cout << "\nSaldo al final de cada mes:\n" << MonthsChart(periods, TerminalWidth());
}

}  // namespace

void AddAccountPeriodCommands(CLI::App& cuenta, const GlobalOptions& options) {
  AddCodeCommand(cuenta, "meses",
                 "Debe, haber y saldo acumulado de cada mes del ejercicio activo (de los "
                 "acumulados de la cuenta), con un gráfico del saldo",
                 options, RunMonths);
}

}  // namespace vornexa::cli
