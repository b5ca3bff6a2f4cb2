#include "vornexa/data/statement_parameters.h"

#include <algorithm>

#include "vornexa/data/sql_translator.h"

namespace vornexa {

namespace {

using Kind = SqlToken::Kind;

// Longest digit string that always fits an int64_t.
constexpr size_t kMaxIntegerDigits = 18;

bool IsAnyWord(const SqlToken& token, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words) {
    if (IsSqlWord(token, word)) return true;
  }
  return false;
}

bool IsSymbolToken(const SqlToken& token, char symbol) {
  return token.kind == Kind::kSymbol && token.text[0] == symbol;
}

bool IsBlankToken(const SqlToken& token) {
  return token.kind == Kind::kSpace || token.kind == Kind::kComment;
}

// Whether a literal after `previous` is a value in an expression.
bool OpensValue(const SqlToken& previous) {
  if (previous.kind == Kind::kSymbol) {
    return std::string_view("=<>!,(+-*/%|&~").find(previous.text[0]) != std::string_view::npos;
  }
  return IsAnyWord(previous, {"AND", "OR", "NOT", "IN", "LIKE", "GLOB", "BETWEEN", "WHEN",
                              "THEN", "ELSE", "IS", "ESCAPE", "CASE"});
}

// Whether a token makes the whole text unfit: parameter markers of its own,
// a second statement, or a clause that returns rows from a write.
bool Disqualifies(const SqlToken& token) {
  if (token.kind == Kind::kSymbol) {
    return IsSymbolToken(token, '?') || IsSymbolToken(token, ':') || IsSymbolToken(token, '$') ||
           IsSymbolToken(token, ';');
  }
  if (token.kind == Kind::kWord) return token.text[0] == '@' || IsSqlWord(token, "RETURNING");
  return IsUnclosedToken(token);
}

std::string Unquote(std::string_view literal) {
  std::string text;
  text.reserve(literal.size() - 2);
  for (size_t i = 1; i + 1 < literal.size(); ++i) {
    text += literal[i];
    if (literal[i] == '\'') ++i;  // the doubled quote stands for one
  }
  return text;
}

// Walks the tokens, tracking the clauses whose literals must stay literal.
class Parameteriser {
 public:
  explicit Parameteriser(std::string_view sql) : tokens_(TokenizeSql(sql)) {
    result_.skeleton.reserve(sql.size());
  }

  std::optional<ParameterisedStatement> Run() {
    const auto first = std::find_if_not(tokens_.begin(), tokens_.end(), IsBlankToken);
    if (first == tokens_.end() || !IsAnyWord(*first, {"SELECT", "INSERT", "UPDATE", "DELETE"})) {
      return std::nullopt;
    }
    for (size_t i = 0; i < tokens_.size(); ++i) {
      const SqlToken& token = tokens_[i];
      if (Disqualifies(token)) return std::nullopt;
      Track(token);
      if ((token.kind == Kind::kNumber || token.kind == Kind::kString) && Bind(i)) {
        result_.skeleton += '?';
      } else {
        result_.skeleton += token.text;
      }
      if (!IsBlankToken(token)) previous_ = &token;
    }
    return std::move(result_);
  }

 private:
  void Track(const SqlToken& token) {
    if (IsSymbolToken(token, '(')) ++depth_;
    if (IsSymbolToken(token, ')')) {
      --depth_;
      while (!select_lists_.empty() && select_lists_.back() > depth_) select_lists_.pop_back();
      while (!kept_clauses_.empty() && kept_clauses_.back() > depth_) kept_clauses_.pop_back();
    }
    if (token.kind != Kind::kWord) return;
    if (IsSqlWord(token, "SELECT")) select_lists_.push_back(depth_);
    if (IsAnyWord(token, {"FROM", "UNION", "EXCEPT", "INTERSECT"}) && !select_lists_.empty() &&
        select_lists_.back() == depth_) {
      select_lists_.pop_back();
    }
    if (IsAnyWord(token, {"HAVING", "UNION", "EXCEPT", "INTERSECT", "WINDOW"}) &&
        !kept_clauses_.empty() && kept_clauses_.back() == depth_) {
      kept_clauses_.pop_back();
    }
    if (IsSqlWord(token, "BY") && previous_ != nullptr &&
        IsAnyWord(*previous_, {"ORDER", "GROUP"})) {
      kept_clauses_.push_back(depth_);
    }
    if (IsAnyWord(token, {"LIMIT", "OFFSET"})) kept_clauses_.push_back(depth_);
  }

  // Takes the literal at `i` out as a parameter if that is safe.
  bool Bind(size_t i) {
    if (!select_lists_.empty() || !kept_clauses_.empty()) return false;
    if (previous_ == nullptr || !OpensValue(*previous_)) return false;
    const SqlToken& token = tokens_[i];
    if (token.kind == Kind::kString) {
      result_.parameters.push_back({false, 0, Unquote(token.text)});
      return true;
    }
    // 1e5 and 0x1F arrive as a number followed by a word.
    const bool followed = i + 1 < tokens_.size() && (tokens_[i + 1].kind == Kind::kWord ||
                                                     tokens_[i + 1].kind == Kind::kNumber);
    const std::string_view digits = token.text;
    if (followed || digits.size() > kMaxIntegerDigits ||
        digits.find('.') != std::string_view::npos) {
      return false;
    }
    int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    result_.parameters.push_back({true, value, {}});
    return true;
  }

  std::vector<SqlToken> tokens_;
  ParameterisedStatement result_;
  const SqlToken* previous_ = nullptr;
  int depth_ = 0;
  // Depths at which a result column list, or an ORDER BY, GROUP BY or
  // LIMIT clause, is open.
  std::vector<int> select_lists_;
  std::vector<int> kept_clauses_;
};

}  // namespace

std::optional<ParameterisedStatement> ParameteriseStatement(std::string_view sql) {
  if (sql.find('\0') != std::string_view::npos) return std::nullopt;
  return Parameteriser(sql).Run();
}

}  // namespace vornexa
