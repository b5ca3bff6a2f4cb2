// How a restructuring changes codes: which codes it rewrites and into what,
// written both as statement text (for the database to rewrite every row at
// once) and as a function (for the proof to map what it read before).
#ifndef VORNEXA_CHART_RESTRUCTURE_REWRITE_H_
#define VORNEXA_CHART_RESTRUCTURE_REWRITE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/context/sql_statement.h"

namespace vornexa {

// The codes that begin with `prefix` and, when `length` is set, are exactly
// that many characters long. Codes are digits, checked before a scope is
// made of them, so neither part holds a LIKE wildcard.
struct CodeScope {
  std::string prefix;
  std::optional<size_t> length;

  bool Contains(std::string_view code) const;
  // `column` = '43000017', `column` LIKE '400%' or `column` LIKE '________'.
  void AppendCondition(SqlStatement& sql, std::string_view column) const;
};

// " AND (c = 'A' OR c = 'B')": codes in any of `scopes`.
void AppendAnyScope(SqlStatement& sql, std::string_view column,
                    const std::vector<CodeScope>& scopes);

// A rewritten code keeps its first `keep` characters, gets `insert` after
// them, loses the `drop` characters that followed and keeps the rest.
struct CodeRewrite {
  CodeScope rewritten;         // the codes that change
  CodeScope result;            // where they land
  std::optional<CodeScope> destination;  // a merge's: compared too, unchanged
  size_t keep = 0;
  std::string insert;
  size_t drop = 0;
  // Rows of earlier exercises keep their codes; none: every exercise.
  std::optional<int16_t> from_exercise;

  // The new code of one the rewrite changes.
  std::string NewCode(std::string_view code) const;
  // What a row of `exercise` (none for a table without exercises) with
  // `code` holds after the change.
  std::string Map(std::string_view code, std::optional<int16_t> exercise) const;
  // The statement expression of the new code of the one in `column`.
  void AppendNewCode(SqlStatement& sql, std::string_view column) const;

  // The codes whose amounts the proof compares before the change, and after.
  std::vector<CodeScope> ComparedBefore() const;
  std::vector<CodeScope> ComparedAfter() const { return {result}; }
};

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_REWRITE_H_
