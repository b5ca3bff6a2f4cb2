#include "vornexa/data/sql_translator.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "vornexa/base/error.h"

namespace vornexa {

namespace {

using Kind = SqlToken::Kind;

bool IsSymbol(const SqlToken& token, char symbol) {
  return token.kind == Kind::kSymbol && token.text.size() == 1 && token.text[0] == symbol;
}

bool IsBlank(const SqlToken& token) {
  return token.kind == Kind::kSpace || token.kind == Kind::kComment;
}

// A TOP that has no LIMIT of the same meaning: refused rather than changed.
[[noreturn]] void RefuseTop(const std::string& why) {
  throw Error(error_number::kStatementRejected, std::string(kDataSource),
              "No se puede traducir TOP: " + why);
}

class Translator {
 public:
  Translator(std::string_view sql, Dialect target)
      : tokens_(TokenizeSql(sql)), target_(target) {
    out_.reserve(sql.size() + 16);
  }

  // The limits still open at the end go before the trailing blanks, so that
  // a closing line comment does not swallow them.
  std::string Run() {
    size_t end = tokens_.size();
    while (end > 0 && IsBlank(tokens_[end - 1]) && !IsUnclosedToken(tokens_[end - 1])) --end;
    while (at_ < end) Step();
    if (!pending_limits_.empty() && end > 0 && IsUnclosedToken(tokens_[end - 1])) {
      RefuseTop("la instrucción termina dentro de un literal, nombre o comentario sin cerrar");
    }
    while (!pending_limits_.empty()) EmitLimit();
    for (; at_ < tokens_.size(); ++at_) out_ += tokens_[at_].text;
    return std::move(out_);
  }

 private:
  struct PendingLimit {
    int depth;
    std::string_view count;
  };

  // Index of the first token at or after `i` that is not blank.
  size_t SkipBlanks(size_t i) const {
    while (i < tokens_.size() && IsBlank(tokens_[i])) ++i;
    return i;
  }
  bool WordAt(size_t i, std::string_view word) const {
    return i < tokens_.size() && IsSqlWord(tokens_[i], word);
  }
  bool SymbolAt(size_t i, char symbol) const {
    return i < tokens_.size() && IsSymbol(tokens_[i], symbol);
  }

  void EmitLimit() {
    out_ += " LIMIT ";
    out_ += pending_limits_.back().count;
    pending_limits_.pop_back();
  }
  void EmitLimitsAtDepth() {
    while (!pending_limits_.empty() && pending_limits_.back().depth == depth_) EmitLimit();
  }

  // WITH (NOLOCK), blanks before it included: returns the index after it, or 0.
  size_t NoLockEnd(size_t i) const {
    const size_t with = SkipBlanks(i);
    if (!WordAt(with, "WITH")) return 0;
    const size_t open = SkipBlanks(with + 1);
    if (!SymbolAt(open, '(')) return 0;
    const size_t hint = SkipBlanks(open + 1);
    if (!WordAt(hint, "NOLOCK")) return 0;
    const size_t close = SkipBlanks(hint + 1);
    return SymbolAt(close, ')') ? close + 1 : 0;
  }

  void Step() {
    const SqlToken& token = tokens_[at_];
    if (IsBlank(token) || IsSqlWord(token, "WITH")) {
      if (const size_t end = NoLockEnd(at_)) {
        at_ = end;
        return;
      }
    }
    if (IsSqlWord(token, "ISNULL") && SymbolAt(SkipBlanks(at_ + 1), '(')) {
      out_ += target_ == Dialect::PostgreSql ? "COALESCE" : "IFNULL";
      ++at_;
      return;
    }
    // SQL Server's usual collations match LIKE patterns without regard to
    // case; PostgreSQL's LIKE would not, its ILIKE does.
    if (target_ == Dialect::PostgreSql && IsSqlWord(token, "LIKE")) {
      out_ += "ILIKE";
      ++at_;
      return;
    }
    if (target_ == Dialect::Sqlite && IsSqlWord(token, "CONCAT")) {
      const size_t open = SkipBlanks(at_ + 1);
      if (SymbolAt(open, '(')) {
        OpenConcat(open);
        return;
      }
    }
    if (IsSqlWord(token, "SELECT")) {
      Select();
      return;
    }
    if (InConcat() && IsSymbol(token, ',')) {
      out_ += kConcatSeparator;
      at_ = SkipBlanks(at_ + 1);
      return;
    }
    if (IsSqlWord(token, "UNION") || IsSqlWord(token, "EXCEPT") || IsSqlWord(token, "INTERSECT")) {
      Compound();
    }
    if (IsSymbol(token, '(')) ++depth_;
    if (IsSymbol(token, ')')) {
      EmitLimitsAtDepth();
      ForgetCompoundsAtDepth();
      if (InConcat()) {
        out_ += kConcatEnd;
        concat_depths_.pop_back();
      }
      --depth_;
    }
    if (IsSymbol(token, ';')) {
      EmitLimitsAtDepth();
      ForgetCompoundsAtDepth();
    }
    out_ += token.text;
    ++at_;
  }

  // SQLite has no CONCAT before 3.44: its arguments are joined with ||,
  // each NULL taken as '' as SQL Server's CONCAT takes it.
  static constexpr std::string_view kConcatStart = "(IFNULL(";
  static constexpr std::string_view kConcatSeparator = ", '') || IFNULL(";
  static constexpr std::string_view kConcatEnd = ", '')";
  void OpenConcat(size_t open) {
    out_ += kConcatStart;
    at_ = SkipBlanks(open + 1);
    concat_depths_.push_back(++depth_);
  }
  // Whether the innermost open parenthesis is a CONCAT's.
  bool InConcat() const { return !concat_depths_.empty() && concat_depths_.back() == depth_; }

  // A LIMIT ends the whole compound, not one of its SELECTs: a TOP inside
  // UNION, EXCEPT or INTERSECT has no translation.
  void Compound() {
    if (!pending_limits_.empty() && pending_limits_.back().depth == depth_) {
      RefuseTop("en una consulta compuesta con UNION, EXCEPT o INTERSECT");
    }
    compound_depths_.push_back(depth_);
  }
  void ForgetCompoundsAtDepth() {
    while (!compound_depths_.empty() && compound_depths_.back() == depth_) {
      compound_depths_.pop_back();
    }
  }

  bool NumberAt(size_t i) const { return i < tokens_.size() && tokens_[i].kind == Kind::kNumber; }

  // SELECT [DISTINCT|ALL] TOP n (or TOP (n)): keeps the head, drops the TOP
  // and the blank after it, and remembers the LIMIT for the end of this SELECT.
  void Select() {
    size_t i = at_ + 1;
    size_t modifier = SkipBlanks(i);
    if (WordAt(modifier, "DISTINCT") || WordAt(modifier, "ALL")) i = modifier + 1;
    const size_t top = SkipBlanks(i);
    if (!WordAt(top, "TOP")) {
      out_ += tokens_[at_++].text;
      return;
    }
    size_t count = SkipBlanks(top + 1), end = count;
    if (SymbolAt(count, '(')) {
      count = SkipBlanks(count + 1);
      end = SkipBlanks(count + 1);
      if (!SymbolAt(end, ')')) count = tokens_.size();
    }
    if (!NumberAt(count)) RefuseTop("TOP debe ir seguido de un número, como TOP 5 o TOP (5)");
    const size_t after = SkipBlanks(end + 1);
    if (WordAt(after, "PERCENT")) RefuseTop("TOP … PERCENT no tiene equivalente con LIMIT");
    if (WordAt(after, "WITH") && WordAt(SkipBlanks(after + 1), "TIES")) {
      RefuseTop("TOP … WITH TIES no tiene equivalente con LIMIT");
    }
    if (!compound_depths_.empty() && compound_depths_.back() == depth_) {
      RefuseTop("en una consulta compuesta con UNION, EXCEPT o INTERSECT");
    }
    for (size_t k = at_; k < i; ++k) out_ += tokens_[k].text;
    pending_limits_.push_back({depth_, tokens_[count].text});
    at_ = end + 1;
    // One blank separates the head from what followed TOP n.
    const size_t rest = SkipBlanks(at_);
    if (rest > at_) {
      out_ += ' ';
      at_ = rest;
    }
  }

  std::vector<SqlToken> tokens_;
  Dialect target_;
  std::string out_;
  size_t at_ = 0;
  int depth_ = 0;
  std::vector<PendingLimit> pending_limits_;
  std::vector<int> compound_depths_;  // depths where UNION, EXCEPT or INTERSECT was seen
  std::vector<int> concat_depths_;    // depths of the CONCAT argument lists open
};

}  // namespace

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  for (size_t i = 0; i < sql.size();) tokens.push_back(NextSqlToken(sql, &i));
  return tokens;
}


bool IsUnclosedToken(const SqlToken& token) {
  const std::string_view text = token.text;
  switch (token.kind) {
    case SqlToken::Kind::kString:
      return std::count(text.begin(), text.end(), '\'') % 2 != 0;
    case SqlToken::Kind::kQuotedName:
      if (text[0] == '[') return text.size() < 2 || text.back() != ']';
      return std::count(text.begin(), text.end(), text[0]) % 2 != 0;
    case SqlToken::Kind::kComment:
      return text[0] == '/' && (text.size() < 4 || text.substr(text.size() - 2) != "*/");
    default:
      return false;
  }
}

std::string TranslateSql(std::string_view sql, Dialect target) {
  if (target == Dialect::SqlServer) return std::string(sql);
  return Translator(sql, target).Run();
}

}  // namespace vornexa
