// saldo apertura, actual, periodo, cartera, previsiones: one row per account.
#include <functional>
#include <iostream>

#include "tools/vornexa/commands.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/parse.h"

namespace vornexa::cli {

namespace {

// The amounts of one account, in the order of the command's columns.
using Amounts = std::function<std::vector<Cell>(const Session&, clsCuenta&)>;

CLI::App* AddBalanceCommand(CLI::App& saldo, const std::string& name,
                            const std::string& description, const GlobalOptions& options,
                            std::vector<Column> amount_columns, Amounts amounts) {
  auto codes = std::make_shared<std::vector<std::string>>();
  CLI::App* command = AddSessionCommand(
      saldo, name, description, options,
      [codes, amount_columns, amounts](const Session& session, std::string_view source) {
        std::vector<Column> columns = {{"Cuenta", "Cuenta"}, {"Nombre", "Nombre"}};
        columns.insert(columns.end(), amount_columns.begin(), amount_columns.end());
        Table table(std::move(columns));
        for (const std::string& code : *codes) {
          clsCuenta account = session.Account(code, source);
          account.Cargar();  // the name, when the account exists
          std::vector<Cell> row = {account.Cuenta, account.Nombre};
          for (Cell& cell : amounts(session, account)) row.push_back(std::move(cell));
          table.AddRow(std::move(row));
        }
        PrintTable(std::cout, table, session.json());
      });
  command->add_option("codigos", *codes, "Códigos de las cuentas (43.5 se desarrolla)")
      ->required();
  return command;
}

int16_t Exercise(const Session& session) { return session.company().Ejercicio(); }

struct PeriodOptions {
  std::string from;
  std::string to;
  std::string amount;
  std::string variation;
  std::string concept_text;
  std::string document;
  int16_t department = 0;
  int16_t journal = 0;
  bool Filtered() const {
    return !amount.empty() || !variation.empty() || !concept_text.empty() || !document.empty() ||
           department != 0 || journal != 0;
  }
};

std::vector<Cell> PeriodTotals(const Session& session, clsCuenta& account,
                               const PeriodOptions& period) {
  constexpr std::string_view kSource = "vornexa saldo periodo";
  const Date from = ParseIsoDate(period.from, "--desde", kSource);
  const Date to = ParseIsoDate(period.to, "--hasta", kSource);
  Currency debit, credit;
  if (period.Filtered()) {
    const Currency amount =
        period.amount.empty() ? Currency{} : ParseAmount(period.amount, "--importe", kSource);
    const Currency variation = period.variation.empty()
                                   ? Currency{}
                                   : ParseAmount(period.variation, "--variacion", kSource);
    account.Dev_Acumulado3(Exercise(session), from, to, amount, variation, period.concept_text,
                           period.document, period.department, period.journal, debit, credit);
  } else {
    account.Dev_Acumulado(Exercise(session), from, to, debit, credit);
  }
  return {debit, credit, debit - credit};
}

void AddPeriodCommand(CLI::App& saldo, const GlobalOptions& options) {
  auto period = std::make_shared<PeriodOptions>();
  CLI::App* command = AddBalanceCommand(
      saldo, "periodo",
      "Sumas del debe y del haber de los apuntes entre dos fechas (todos los ejercicios; sin "
      "asientos de cierre ni anulados)",
      options, {{"debe", "Debe"}, {"haber", "Haber"}, {"saldo", "Saldo"}},
      [period](const Session& session, clsCuenta& account) {
        return PeriodTotals(session, account, *period);
      });
  command->add_option("--desde", period->from, "Primera fecha, AAAA-MM-DD (incluida)")
      ->required();
  command->add_option("--hasta", period->to, "Última fecha, AAAA-MM-DD (incluida)")->required();
  command->add_option("--importe", period->amount,
                      "Solo apuntes con este importe en el debe o en el haber");
  command->add_option("--variacion", period->variation,
                      "Margen del importe: de importe-variación a importe+variación");
  command->add_option("--concepto", period->concept_text,
                      "Solo apuntes cuyo concepto contiene este texto (% y _ son comodines)");
  command->add_option("--documento", period->document, "Solo apuntes de este documento");
  command->add_option("--dpto", period->department, "Solo apuntes de este departamento");
  command->add_option("--diario", period->journal, "Solo apuntes de este diario");
}

}  // namespace

void AddBalanceCommands(CLI::App& app, const GlobalOptions& options) {
  CLI::App* saldo = app.add_subcommand("saldo", "Saldos, sumas del periodo y previsiones de cobro");
  saldo->require_subcommand(1);

  AddBalanceCommand(*saldo, "apertura", "Saldo de apertura del ejercicio activo", options,
                    {{"ejercicio", "Ejercicio"}, {"apertura", "Apertura"}},
                    [](const Session& session, clsCuenta& account) -> std::vector<Cell> {
                      return {int64_t{Exercise(session)},
                              account.Dev_Apertura(Exercise(session))};
                    });
  AddBalanceCommand(*saldo, "actual",
                    "Saldo del ejercicio activo: apertura más debe menos haber de sus acumulados",
                    options, {{"ejercicio", "Ejercicio"}, {"saldo", "Saldo"}},
                    [](const Session& session, clsCuenta& account) -> std::vector<Cell> {
                      return {int64_t{Exercise(session)}, account.Dev_Saldo(Exercise(session))};
                    });
  AddPeriodCommand(*saldo, options);
  AddBalanceCommand(*saldo, "cartera",
                    "Previsiones de cobro pendientes (estados 1 a 4) de la cuenta", options,
                    {{"cartera", "Cartera"}},
                    [](const Session&, clsCuenta& account) -> std::vector<Cell> {
                      return {account.Dev_Saldo_Cartera()};
                    });

  auto states = std::make_shared<std::string>();
  AddBalanceCommand(*saldo, "previsiones",
                    "Previsiones de cobro de la cuenta en los estados indicados", options,
                    {{"previsiones", "Previsiones"}},
                    [states](const Session&, clsCuenta& account) -> std::vector<Cell> {
                      return {account.Dev_Saldo_PrevCobro(*states)};
                    })
      ->add_option("--estados", *states, "Estados, separados por comas: 1,3")
      ->required();
}

}  // namespace vornexa::cli
