// RenumerarCuenta: an account, and the accounts under it, given new codes.
#include <algorithm>

#include "vornexa/base/error.h"
#include "vornexa/chart/restructure.h"
#include "vornexa/chart/restructure_checks.h"
#include "vornexa/chart/restructure_run.h"

namespace vornexa {

namespace {

constexpr std::string_view kSource = "Plan::RenumerarCuenta";

}  // namespace

InformeReestructuracion RenumerarCuenta(Connection& conexion, clsEmpresa& empresa,
                                        const std::string& strVieja, const std::string& strNueva,
                                        std::optional<int16_t> intDesde,
                                        const OpcionesReestructuracion& opciones) {
  return Trap(kSource, [&] {
    RestructurePlan plan = PlanFor(kSource, empresa);
    const int16_t level =
        RequireLevelPair(strVieja, strNueva, plan.level_digits,
                         "La cuenta " + strVieja + " ya tiene ese código", kSource);

    const std::string since =
        intDesde ? " desde el ejercicio " + std::to_string(*intDesde) : std::string();
    const std::vector<int16_t> exercises =
        ExercisesHolding(conexion, plan.company, intDesde, {strVieja, strVieja.size()});
    if (exercises.empty()) {
      RaiseComponentError(kSource, "La cuenta " + strVieja + " no existe" + since);
    }
    const auto new_uppers = UpperCodes(strNueva, level, plan.level_digits);
    for (const auto& [upper, upper_level] : new_uppers) {
      const std::vector<int16_t> present =
          ExercisesHolding(conexion, plan.company, intDesde, {upper, upper.size()});
      for (int16_t exercise : exercises) {
        if (std::find(present.begin(), present.end(), exercise) == present.end()) {
          RaiseComponentError(kSource, MissingUpperAccountDescription(upper, exercise));
        }
      }
    }

    CodeRewrite& rewrite = plan.rewrite;
    rewrite.rewritten = {strVieja, std::nullopt};
    rewrite.result = {strNueva, std::nullopt};
    rewrite.insert = strNueva;
    rewrite.drop = strVieja.size();
    rewrite.from_exercise = intDesde;
    plan.existing_result = [](const CodeColumn& column, const std::string& code) {
      return "El código " + code + " ya está en " + column.Label() +
             ": la renumeración no puede dárselo a otra cuenta";
    };
    // An account moving under other upper accounts takes its amounts along.
    const auto old_uppers = UpperCodes(strVieja, level, plan.level_digits);
    plan.before_rewriting = MoveAmountsStatements(plan.company, intDesde, strVieja,
                                                  Without(new_uppers, old_uppers),
                                                  Without(old_uppers, new_uppers));
    return RunRestructure(conexion, plan, opciones);
  });
}

}  // namespace vornexa
