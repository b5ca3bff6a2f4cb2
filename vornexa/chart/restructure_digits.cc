// AmpliarDigitos: every detail code made longer or shorter.
#include "vornexa/base/error.h"
#include "vornexa/chart/restructure.h"
#include "vornexa/chart/restructure_checks.h"
#include "vornexa/chart/restructure_run.h"
#include "vornexa/schema/schema.h"

namespace vornexa {

namespace {

constexpr std::string_view kSource = "Plan::AmpliarDigitos";

// As long as a code can be: what Cuentas.Cuenta holds.
constexpr int16_t LongestCode() {
  for (const CuentasColumn& column : kCuentasColumns) {
    if (column.name == "Cuenta") return static_cast<int16_t>(column.length);
  }
  return 0;
}

}  // namespace

InformeReestructuracion AmpliarDigitos(Connection& conexion, clsEmpresa& empresa,
                                       int16_t intDigitos, const OpcionesReestructuracion& opciones) {
  return Trap(kSource, [&] {
    RestructurePlan plan = PlanFor(kSource, empresa);
    const int16_t old_digits = plan.account_digits;
    int detail = -1;  // the level of the detail accounts, counted from 0
    for (int i = 0; i < 6; ++i) {
      if (plan.level_digits[i] == old_digits) detail = i;
    }
    if (detail < 0) {
      RaiseComponentError(kSource, "Las cuentas de detalle, de " + std::to_string(old_digits) +
                                       " dígitos, no son de ningún nivel de la empresa");
    }
    if (intDigitos == old_digits) {
      RaiseComponentError(kSource, "Las cuentas de detalle ya tienen " +
                                       std::to_string(old_digits) + " dígitos");
    }
    // Longer than the level above, shorter than any level below.
    const int16_t upper = detail > 0 ? plan.level_digits[detail - 1] : 0;
    int16_t longest = LongestCode();
    if (detail < 5 && plan.level_digits[detail + 1] > 0) {
      longest = std::min<int16_t>(longest, plan.level_digits[detail + 1] - 1);
    }
    if (intDigitos <= upper || intDigitos > longest) {
      RaiseComponentError(kSource, "Las cuentas de detalle deben tener de " +
                                       std::to_string(upper + 1) + " a " + std::to_string(longest) +
                                       " dígitos, no " + std::to_string(intDigitos));
    }

    const size_t from_length = static_cast<size_t>(old_digits);
    const size_t to_length = static_cast<size_t>(intDigitos);
    CodeRewrite& rewrite = plan.rewrite;
    rewrite.rewritten = {"", from_length};
    rewrite.result = {"", to_length};
    rewrite.keep = static_cast<size_t>(upper);
    if (to_length > from_length) {
      rewrite.insert = std::string(to_length - from_length, '0');
    } else {
      rewrite.drop = from_length - to_length;
      plan.losing_digits = [intDigitos](const CodeColumn& column, const std::string& code) {
        return "No se puede acortar el código " + code + " de " + column.Label() + " a " +
               std::to_string(intDigitos) + " dígitos: perdería dígitos distintos de 0";
      };
    }
    plan.existing_result = [intDigitos](const CodeColumn& column, const std::string& code) {
      return "Ya hay códigos de " + std::to_string(intDigitos) + " dígitos (el primero, " + code +
             ", en " + column.Label() + "), que se confundirían con los de las cuentas de detalle";
    };
    plan.level_digits[detail] = intDigitos;
    plan.account_digits = intDigitos;
    return RunRestructure(conexion, plan, opciones);
  });
}

}  // namespace vornexa
