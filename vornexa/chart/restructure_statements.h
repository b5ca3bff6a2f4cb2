// The statements of a restructuring. Each works on every row it concerns at
// once: no statement is run per account or per journal line.
#ifndef VORNEXA_CHART_RESTRUCTURE_STATEMENTS_H_
#define VORNEXA_CHART_RESTRUCTURE_STATEMENTS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/chart/restructure_columns.h"
#include "vornexa/chart/restructure_rewrite.h"

namespace vornexa::restructure_sql {

// " WHERE Cod_Empresa =1", with " AND Cod_Ejercicio >=2024" when `from` is
// set and the column's table has exercises.
SqlStatement& CompanyRows(SqlStatement& sql, const CodeColumn& column, int16_t company,
                          std::optional<int16_t> from);

// How many rows of `column`'s table the company has (field n).
std::string CountCompanyRows(const CodeColumn& column, int16_t company);
// The smallest code of `column` in `scope` (field c).
std::string FirstCode(const CodeColumn& column, int16_t company, std::optional<int16_t> from,
                      const CodeScope& scope);
// One pass over the rows of `column` that the rewrite concerns: how many
// codes it changes (field n), the smallest code already where it puts them
// (existente) and the smallest code it changes that has a character other
// than 0 among those it drops (perdido; NULL when it drops none).
std::string ScanCodes(const CodeColumn& column, int16_t company, const CodeRewrite& rewrite);
// Rewrites every code of `column` that `rewrite` changes.
std::string RenameCodes(const CodeColumn& column, int16_t company, const CodeRewrite& rewrite);
// The codes of Cuentas that `rewrite` changes, each once, in order (field Cuenta).
std::string ChangedAccountCodes(int16_t company, const CodeRewrite& rewrite);
// The exercises, from `from` on, in which Cuentas holds a code of `scope`
// (field Cod_Ejercicio).
std::string ExercisesHolding(int16_t company, std::optional<int16_t> from, const CodeScope& scope);

// Accumulator rows (Acumulados, Acumulados_Dpto) of upper accounts taking
// or giving up the amounts of an account that moves under them.
//
// Inserts a row of `target`, with `level`, wherever `source` has one and
// `target` has none (for each exercise, and department).
std::string EnsureAccumulatorRows(const CodeColumn& table, int16_t company,
                                  std::optional<int16_t> from, std::string_view source,
                                  std::string_view target, int16_t level);
// Adds (`sign` '+') or subtracts ('-') the amounts of `source`'s row to or
// from those of each of `targets` in the same exercise (and department).
std::string MoveAccumulatorAmounts(const CodeColumn& table, int16_t company,
                                   std::optional<int16_t> from, std::string_view source,
                                   const std::vector<std::string>& targets, char sign);
// Deletes every row of `code` of the company, in every exercise.
std::string DeleteCodeRows(const CodeColumn& column, int16_t company, std::string_view code);

}  // namespace vornexa::restructure_sql

#endif  // VORNEXA_CHART_RESTRUCTURE_STATEMENTS_H_
