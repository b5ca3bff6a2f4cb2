#include "vornexa/chart/restructure_rewrite.h"

#include "vornexa/base/text.h"

namespace vornexa {

namespace {

// The characters of `text` from the `from`-th on (0-based), or none.
std::string_view CharsFrom(std::string_view text, size_t from) {
  return text.substr(LeftChars(text, from).size());
}

}  // namespace

bool CodeScope::Contains(std::string_view code) const {
  return code.starts_with(prefix) && (!length || CharCount(code) == *length);
}

void CodeScope::AppendCondition(SqlStatement& sql, std::string_view column) const {
  sql.Raw(column);
  const size_t prefix_length = CharCount(prefix);
  if (length && *length == prefix_length) {
    sql.Raw(" = ").Text(prefix, "Cuenta");
    return;
  }
  const std::string rest = length ? std::string(*length - prefix_length, '_') : "%";
  sql.Raw(" LIKE ").Text(prefix + rest, "Cuenta");
}

void AppendAnyScope(SqlStatement& sql, std::string_view column,
                    const std::vector<CodeScope>& scopes) {
  sql.Raw(" AND (");
  for (const CodeScope& scope : scopes) {
    if (&scope != &scopes.front()) sql.Raw(" OR ");
    scope.AppendCondition(sql, column);
  }
  sql.Raw(")");
}

std::string CodeRewrite::NewCode(std::string_view code) const {
  std::string result(LeftChars(code, keep));
  result += insert;
  result += CharsFrom(code, keep + drop);
  return result;
}

std::string CodeRewrite::Map(std::string_view code, std::optional<int16_t> exercise) const {
  const bool in_time = !exercise || !from_exercise || *exercise >= *from_exercise;
  return in_time && rewritten.Contains(code) ? NewCode(code) : std::string(code);
}

void CodeRewrite::AppendNewCode(SqlStatement& sql, std::string_view column) const {
  // Characters, not bytes, as NewCode counts them; the rest of a code is at
  // most as long as the column. SQL Server's CONCAT wants two parts at least.
  constexpr int kRest = 50;
  const bool joined = keep > 0 || !insert.empty();
  if (joined) sql.Raw("CONCAT(");
  if (keep > 0) {
    sql.Raw("SUBSTRING(").Raw(column).Raw(", 1, ").Number(static_cast<int64_t>(keep)).Raw("), ");
  }
  if (!insert.empty()) sql.Text(insert, "Cuenta").Raw(", ");
  sql.Raw("SUBSTRING(")
      .Raw(column)
      .Raw(", ")
      .Number(static_cast<int64_t>(keep + drop + 1))
      .Raw(", ")
      .Number(kRest)
      .Raw(joined ? "))" : ")");
}

std::vector<CodeScope> CodeRewrite::ComparedBefore() const {
  std::vector<CodeScope> scopes = {rewritten};
  if (destination) scopes.push_back(*destination);
  return scopes;
}

}  // namespace vornexa
