// What the three restructurings share: the search for other modules' code
// columns, the refusals of codes already where the change would put them,
// the report, the one atomic scope, the statements and the proof.
#ifndef VORNEXA_CHART_RESTRUCTURE_RUN_H_
#define VORNEXA_CHART_RESTRUCTURE_RUN_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/chart/restructure.h"
#include "vornexa/chart/restructure_columns.h"
#include "vornexa/chart/restructure_rewrite.h"

namespace vornexa {

struct RestructurePlan {
  std::string_view source;  // "Plan::RenumerarCuenta"
  int16_t company = 0;
  CodeRewrite rewrite;
  // The refusal of a code already in `rewrite.result` in a column; none
  // when codes there are expected (a merge's destination).
  std::function<std::string(const CodeColumn& column, const std::string& code)> existing_result;
  // The refusal of a code that would lose a digit other than 0; none when
  // the rewrite drops no digit of the code it keeps.
  std::function<std::string(const CodeColumn& column, const std::string& code)> losing_digits;
  // Statements run before the codes are rewritten: amounts moved between
  // accumulator rows.
  std::vector<std::string> before_rewriting;
  // Whether Cuentas, Acumulados and Acumulados_Dpto are rewritten too; a
  // merge adds their rows up and deletes them in `after_rewriting` instead.
  bool rewrite_keyed = true;
  std::vector<std::string> after_rewriting;
  // The company's digits once the change is made.
  std::array<int16_t, 6> level_digits{};
  int16_t account_digits = 0;
};

// A plan of `source` for `company`, its digits as they stand.
RestructurePlan PlanFor(std::string_view source, clsEmpresa& company);

// Runs `plan` (or reports it, under `simular`) under the error trap of its source.
InformeReestructuracion RunRestructure(Connection& connection, const RestructurePlan& plan,
                                       const OpcionesReestructuracion& options);

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_RUN_H_
