// What the three restructurings ask of the company and of the codes given
// to them before they plan anything.
#ifndef VORNEXA_CHART_RESTRUCTURE_CHECKS_H_
#define VORNEXA_CHART_RESTRUCTURE_CHECKS_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vornexa/chart/restructure_rewrite.h"
#include "vornexa/context/empresa.h"
#include "vornexa/data/connection.h"

namespace vornexa {

// The company's digits per level, DigitosNivel(0) to DigitosNivel(5).
std::array<int16_t, 6> LevelDigits(clsEmpresa& company);

// The level of `code`, by its length as account creation finds it (the
// highest level of that many digits). Refused from `source` when `code`
// is not digits only or is of no level's length.
int16_t RequireLevelCode(std::string_view code, const std::array<int16_t, 6>& digits,
                         std::string_view source);

// The level of `from`, as RequireLevelCode finds it, for a renumbering or a
// merge into `to`. Refused from `source` unless `to` is digits only and as
// long as `from`, and, with `when_same` for description, when the two are
// the same code.
int16_t RequireLevelPair(std::string_view from, std::string_view to,
                         const std::array<int16_t, 6>& digits, std::string_view when_same,
                         std::string_view source);

// The codes of the accounts above a code of `level`, one per level, with
// their levels, the highest first.
std::vector<std::pair<std::string, int16_t>> UpperCodes(std::string_view code, int16_t level,
                                                        const std::array<int16_t, 6>& digits);

// Those of `codes` that are not in `others`.
std::vector<std::pair<std::string, int16_t>> Without(
    const std::vector<std::pair<std::string, int16_t>>& codes,
    const std::vector<std::pair<std::string, int16_t>>& others);

// The exercises, from `from` on, in which Cuentas has a code of `scope`.
std::vector<int16_t> ExercisesHolding(Connection& connection, int16_t company,
                                      std::optional<int16_t> from, const CodeScope& scope);

// Statements that move the amounts of `source`'s accumulator rows (general
// and per department) into those of `gaining` accounts, creating their rows
// where missing, and out of those of `losing` ones.
std::vector<std::string> MoveAmountsStatements(
    int16_t company, std::optional<int16_t> from, std::string_view source,
    const std::vector<std::pair<std::string, int16_t>>& gaining,
    const std::vector<std::pair<std::string, int16_t>>& losing);

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_CHECKS_H_
