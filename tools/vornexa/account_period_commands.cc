// cuenta meses: the twelve periods of the active exercise of one account, as
// a table and as a bar chart of the balance at the end of each.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/bar_chart.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli {

namespace {

// Periods are the months of the exercise.
constexpr const char* kMonths[] = {"enero",   "febrero",    "marzo",   "abril",
                                   "mayo",    "junio",      "julio",   "agosto",
                                   "septiembre", "octubre", "noviembre", "diciembre"};

// Width of the chart when the output is no terminal.
constexpr size_t kPlainWidth = 80;

void RunMonths(const Session& session, clsCuenta& account, std::string_view source) {
  if (!account.Cargar()) FailMissingAccount(session, account, source);
  const int16_t exercise = session.company().Ejercicio();
  const AccumulatorPeriods periods = account.Dev_Periodos(exercise);
  Table table({{"periodo", "Periodo"},
               {"mes", "Mes"},
               {"debe", "Debe"},
               {"haber", "Haber"},
               {"saldo", "Saldo"}});
  std::vector<Bar> bars;
  for (size_t i = 0; i < periods.debit.size(); ++i) {
    const Currency balance = periods.BalanceAfter(static_cast<int>(i + 1));
    table.AddRow({static_cast<int64_t>(i + 1), std::string(kMonths[i]), periods.debit[i],
                  periods.credit[i], balance});
    bars.push_back({kMonths[i], balance});
  }
  if (session.json()) {
    nlohmann::ordered_json json = {{"Cuenta", account.Cuenta},
                                   {"Nombre", account.Nombre},
                                   {"ejercicio", exercise},
                                   {"apertura", CellJson(periods.opening)},
                                   {"periodos", ToJson(table)}};
    std::cout << JsonText(json) << '\n';
    return;
  }
  std::cout << "Cuenta " << account.Cuenta << " «" << account.Nombre << "», ejercicio "
            << exercise << "\nApertura: " << FormatAmount(periods.opening) << "\n\n";
  PrintTable(std::cout, table, false);
  const std::optional<size_t> terminal = TerminalWidth();
  std::cout << "\nSaldo al final de cada mes:\n"
            << BarChart(bars, terminal.value_or(kPlainWidth), terminal.has_value());
}

}  // namespace

void AddAccountPeriodCommands(CLI::App& cuenta, const GlobalOptions& options) {
  AddCodeCommand(cuenta, "meses",
                 "Debe, haber y saldo acumulado de cada mes del ejercicio activo (de los "
                 "acumulados de la cuenta), con un gráfico del saldo",
                 options, RunMonths);
}

}  // namespace vornexa::cli
