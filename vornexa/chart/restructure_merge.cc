// FusionarCuentas: one account merged into another.
#include <algorithm>

#include "vornexa/base/error.h"
#include "vornexa/chart/restructure.h"
#include "vornexa/chart/restructure_checks.h"
#include "vornexa/chart/restructure_columns.h"
#include "vornexa/chart/restructure_run.h"
#include "vornexa/chart/restructure_statements.h"

namespace vornexa {

namespace {

constexpr std::string_view kSource = "Plan::FusionarCuentas";

// Refuses an account with accounts under it: merging it would leave them
// under a code that no longer exists.
void RequireNoAccountsUnder(Connection& connection, int16_t company, const std::string& code,
                            int16_t level, const std::array<int16_t, 6>& digits) {
  for (int16_t lower = level; lower < 6; ++lower) {
    const size_t length = static_cast<size_t>(digits[lower]);
    if (length <= code.size()) continue;
    const auto rows = connection.Open(
        restructure_sql::FirstCode(LibraryCodeColumns().front(), company, std::nullopt,
                                   {code, length}),
        Cursor::Static);
    if (!rows->Eof()) {
      RaiseComponentError(kSource, "La cuenta " + code + " tiene cuentas debajo (" +
                                       rows->Field("c").ToText() +
                                       "): solo se fusionan cuentas sin cuentas debajo");
    }
  }
}

}  // namespace

InformeReestructuracion FusionarCuentas(Connection& conexion, clsEmpresa& empresa,
                                        const std::string& strOrigen,
                                        const std::string& strDestino,
                                        const OpcionesReestructuracion& opciones) {
  return Trap(kSource, [&] {
    RestructurePlan plan = PlanFor(kSource, empresa);
    const int16_t level =
        RequireLevelPair(strOrigen, strDestino, plan.level_digits,
                         "No se puede fusionar la cuenta " + strOrigen + " consigo misma", kSource);

    const CodeScope origin{strOrigen, strOrigen.size()};
    const CodeScope destination{strDestino, strDestino.size()};
    const std::vector<int16_t> exercises =
        ExercisesHolding(conexion, plan.company, std::nullopt, origin);
    if (exercises.empty()) RaiseComponentError(kSource, "La cuenta " + strOrigen + " no existe");
    const std::vector<int16_t> present =
        ExercisesHolding(conexion, plan.company, std::nullopt, destination);
    for (int16_t exercise : exercises) {
      if (std::find(present.begin(), present.end(), exercise) == present.end()) {
        RaiseComponentError(kSource, "La cuenta " + strDestino + " no existe en el ejercicio " +
                                         std::to_string(exercise) + ", donde está la cuenta " +
                                         strOrigen);
      }
    }
    for (const std::string* code : {&strOrigen, &strDestino}) {
      RequireNoAccountsUnder(conexion, plan.company, *code, level, plan.level_digits);
    }

    CodeRewrite& rewrite = plan.rewrite;
    rewrite.rewritten = origin;
    rewrite.result = destination;
    rewrite.destination = destination;
    rewrite.insert = strDestino;
    rewrite.drop = strOrigen.size();
    // The destination and, where they differ, its upper accounts take the
    // origin's amounts; the origin's upper accounts give them up.
    const auto old_uppers = UpperCodes(strOrigen, level, plan.level_digits);
    const auto new_uppers = UpperCodes(strDestino, level, plan.level_digits);
    auto gaining = Without(new_uppers, old_uppers);
    gaining.insert(gaining.begin(), {strDestino, level});
    plan.before_rewriting = MoveAmountsStatements(plan.company, std::nullopt, strOrigen, gaining,
                                                  Without(old_uppers, new_uppers));
    plan.rewrite_keyed = false;
    for (const CodeColumn& column : LibraryCodeColumns()) {
      if (column.Keyed()) {
        plan.after_rewriting.push_back(
            restructure_sql::DeleteCodeRows(column, plan.company, strOrigen));
      }
    }
    return RunRestructure(conexion, plan, opciones);
  });
}

}  // namespace vornexa
