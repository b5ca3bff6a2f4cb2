#include "vornexa/data/statement_parameters.h"

#include <algorithm>
#include <iterator>

#include "vornexa/data/sql_translator.h"

namespace vornexa {

namespace {

using Kind = SqlToken::Kind;

// Longest digit string that always fits an int64_t.
constexpr size_t kMaxIntegerDigits = 18;
// Deeper nesting than this is run as text.
constexpr int kMaxClauses = 16;

// The words that matter here. Runs once per word of every statement, so it
// looks at the first letter before comparing whole words.
enum class Word {
  kOther,
  kStatement,   // SELECT, INSERT, UPDATE, DELETE: may start the text
  kSelect,
  kFrom,
  kCompound,    // UNION, EXCEPT, INTERSECT
  kHaving,      // HAVING, WINDOW: end a GROUP BY
  kOrderOrGroup,
  kBy,
  kLimit,       // LIMIT, OFFSET
  kOpensValue,  // an expression keyword after which a literal is a value
  kReturning,
};

Word Classify(const SqlToken& token) {
  const auto is = [&](std::string_view upper) { return IsSqlWord(token, upper); };
  switch (token.text[0] & ~0x20) {  // ASCII letters in capitals
    case 'A':
      return is("AND") ? Word::kOpensValue : Word::kOther;
    case 'B':
      if (is("BY")) return Word::kBy;
      return is("BETWEEN") ? Word::kOpensValue : Word::kOther;
    case 'C':
      return is("CASE") ? Word::kOpensValue : Word::kOther;
    case 'D':
      return is("DELETE") ? Word::kStatement : Word::kOther;
    case 'E':
      // Not ESCAPE: SQLite seeks an index for a LIKE only when its escape
      // character is a literal.
      if (is("ELSE")) return Word::kOpensValue;
      return is("EXCEPT") ? Word::kCompound : Word::kOther;
    case 'F':
      return is("FROM") ? Word::kFrom : Word::kOther;
    case 'G':
      if (is("GROUP")) return Word::kOrderOrGroup;
      return is("GLOB") ? Word::kOpensValue : Word::kOther;
    case 'H':
      return is("HAVING") ? Word::kHaving : Word::kOther;
    case 'I':
      if (is("IN") || is("IS")) return Word::kOpensValue;
      if (is("INSERT")) return Word::kStatement;
      return is("INTERSECT") ? Word::kCompound : Word::kOther;
    case 'L':
      if (is("LIKE")) return Word::kOpensValue;
      return is("LIMIT") ? Word::kLimit : Word::kOther;
    case 'N':
      return is("NOT") ? Word::kOpensValue : Word::kOther;
    case 'O':
      if (is("OR")) return Word::kOpensValue;
      if (is("ORDER")) return Word::kOrderOrGroup;
      return is("OFFSET") ? Word::kLimit : Word::kOther;
    case 'R':
      return is("RETURNING") ? Word::kReturning : Word::kOther;
    case 'S':
      return is("SELECT") ? Word::kSelect : Word::kOther;
    case 'T':
      return is("THEN") ? Word::kOpensValue : Word::kOther;
    case 'U':
      if (is("UNION")) return Word::kCompound;
      return is("UPDATE") ? Word::kStatement : Word::kOther;
    case 'W':
      if (is("WHEN")) return Word::kOpensValue;
      return is("WINDOW") ? Word::kHaving : Word::kOther;
    default:
      return Word::kOther;
  }
}

bool IsSymbolOpeningValue(char c) {
  switch (c) {
    case '=': case '<': case '>': case '!': case ',': case '(': case '+': case '-': case '*':
    case '/': case '%': case '|': case '&': case '~':
      return true;
    default:
      return false;
  }
}

void Unquote(std::string_view literal, std::string* text) {
  const std::string_view inner = literal.substr(1, literal.size() - 2);
  if (inner.find('\'') == std::string_view::npos) {
    text->assign(inner);
    return;
  }
  text->reserve(inner.size());
  for (size_t i = 0; i < inner.size(); ++i) {
    *text += inner[i];
    if (inner[i] == '\'') ++i;  // the doubled quote stands for one
  }
}

// Depths at which a clause is open, innermost last.
class ClauseStack {
 public:
  bool empty() const { return size_ == 0; }
  bool OpenAt(int depth) const { return size_ > 0 && depths_[size_ - 1] == depth; }
  bool Push(int depth) {
    if (size_ == kMaxClauses) return false;
    depths_[size_++] = depth;
    return true;
  }
  void Pop() { --size_; }
  void CloseDeeperThan(int depth) {
    while (size_ > 0 && depths_[size_ - 1] > depth) --size_;
  }

 private:
  int depths_[kMaxClauses];
  int size_ = 0;
};

// One pass over the tokens, tracking the clauses whose literals must stay
// literal: result column lists, and ORDER BY, GROUP BY and LIMIT clauses.
class Parameteriser {
 public:
  Parameteriser(std::string_view sql, ParameterisedStatement* result) : sql_(sql), result_(*result) {
    result_.skeleton.clear();
    result_.parameters.clear();
  }

  bool Run() {
    for (size_t position = 0; position < sql_.size();) {
      // Most tokens are single blanks between words.
      if (sql_[position] == ' ') {
        ++position;
        continue;
      }
      const size_t begin = position;
      const SqlToken token = NextSqlToken(sql_, &position);
      if (token.kind == Kind::kSpace) continue;
      if (token.kind != Kind::kWord && token.kind != Kind::kSymbol && token.kind != Kind::kNumber &&
          IsUnclosedToken(token)) {
        return false;
      }
      if (token.kind == Kind::kComment) continue;
      Word word = Word::kOther;
      if (token.kind == Kind::kWord) {
        if (token.text[0] == '@') return false;  // a parameter marker to SQLite
        word = Classify(token);
        if (word == Word::kReturning) return false;
      }
      if (started_ == false) {
        if (word != Word::kStatement && word != Word::kSelect) return false;
        started_ = true;
      }
      if (token.kind == Kind::kSymbol) {
        const char c = token.text[0];
        if (c == '?' || c == ':' || c == '$' || c == ';') return false;
        TrackSymbol(c);
      }
      if (token.kind == Kind::kWord && !TrackWord(word)) return false;
      const bool literal = token.kind == Kind::kNumber || token.kind == Kind::kString;
      if (literal && Bind(token, position)) {
        // The text since the previous parameter, then the marker.
        result_.skeleton.append(sql_.substr(copied_, begin - copied_));
        result_.parameters.back().marker = result_.skeleton.size();
        result_.skeleton += '?';
        copied_ = position;
      }
      opens_value_ = (token.kind == Kind::kSymbol && IsSymbolOpeningValue(token.text[0])) ||
                     word == Word::kOpensValue;
      previous_word_ = word;
    }
    if (!started_) return false;
    result_.skeleton.append(sql_.substr(copied_));
    return true;
  }

 private:
  void TrackSymbol(char c) {
    if (c == '(') ++depth_;
    if (c == ')') {
      --depth_;
      select_lists_.CloseDeeperThan(depth_);
      kept_clauses_.CloseDeeperThan(depth_);
    }
  }

  bool TrackWord(Word word) {
    switch (word) {
      case Word::kStatement:
        return true;
      case Word::kSelect:
        return select_lists_.Push(depth_);
      case Word::kFrom:
        if (select_lists_.OpenAt(depth_)) select_lists_.Pop();
        return true;
      case Word::kCompound:
        if (select_lists_.OpenAt(depth_)) select_lists_.Pop();
        if (kept_clauses_.OpenAt(depth_)) kept_clauses_.Pop();
        return true;
      case Word::kHaving:
        if (kept_clauses_.OpenAt(depth_)) kept_clauses_.Pop();
        return true;
      case Word::kBy:
        return previous_word_ != Word::kOrderOrGroup || kept_clauses_.Push(depth_);
      case Word::kLimit:
        return kept_clauses_.Push(depth_);
      default:
        return true;
    }
  }

  // Takes the literal out as a parameter if that is safe; `next` is where
  // the token after it starts.
  bool Bind(const SqlToken& token, size_t next) {
    if (!select_lists_.empty() || !kept_clauses_.empty() || !opens_value_) return false;
    if (token.kind == Kind::kString) {
      result_.parameters.push_back({false, 0, {}, 0});
      Unquote(token.text, &result_.parameters.back().text);
      return true;
    }
    // 1e5 and 0x1F arrive as a number followed by a word.
    const std::string_view digits = token.text;
    if ((next < sql_.size() && sql_tokenizer::IsWordChar(sql_[next])) || digits.size() > kMaxIntegerDigits ||
        digits.find('.') != std::string_view::npos) {
      return false;
    }
    int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    result_.parameters.push_back({true, value, {}, 0});
    return true;
  }

  std::string_view sql_;
  size_t copied_ = 0;  // sql_ up to here is in the skeleton
  ParameterisedStatement& result_;
  bool started_ = false;
  bool opens_value_ = false;
  Word previous_word_ = Word::kOther;
  int depth_ = 0;
  ClauseStack select_lists_;
  ClauseStack kept_clauses_;
};

// The integer literal at `*position` of `sql`, if one as Bind takes it
// starts there; moves `*position` past it.
bool TakeInteger(std::string_view sql, size_t* position, int64_t* value) {
  const size_t begin = *position;
  size_t i = begin;
  *value = 0;
  while (i < sql.size() && sql_tokenizer::IsDigit(sql[i]) && i - begin < kMaxIntegerDigits) {
    *value = *value * 10 + (sql[i++] - '0');
  }
  // The fresh parse reads digits and points as one number and refuses a
  // word character after it.
  if (i == begin || (i < sql.size() && (sql_tokenizer::IsWordChar(sql[i]) || sql[i] == '.'))) {
    return false;
  }
  *position = i;
  return true;
}

// The closed text literal at `*position` of `sql`, unquoted into `*text`;
// moves `*position` past it.
bool TakeText(std::string_view sql, size_t* position, std::string* text) {
  const size_t begin = *position;
  if (begin >= sql.size() || sql[begin] != '\'') return false;
  const size_t end = sql_tokenizer::QuotedEnd(sql, begin, '\'');
  const SqlToken token{Kind::kString, sql.substr(begin, end - begin)};
  if (IsUnclosedToken(token)) return false;
  text->clear();
  Unquote(token.text, text);
  *position = end;
  return true;
}

}  // namespace

bool StatementParameteriser::Matches(const Shape& shape, std::string_view sql,
                                     ParameterisedStatement* out) {
  const std::string_view skeleton = shape.skeleton;
  const size_t count = shape.parameters.size();
  if (skeleton.empty()) return false;
  out->parameters.resize(count);
  size_t at = 0;       // in sql
  size_t segment = 0;  // in the skeleton: the text before the next marker
  for (size_t i = 0; i < count; ++i) {
    const size_t marker = shape.parameters[i].second;
    const std::string_view before = skeleton.substr(segment, marker - segment);
    if (sql.substr(at, before.size()) != before) return false;
    at += before.size();
    StatementParameter& parameter = out->parameters[i];
    parameter.is_integer = shape.parameters[i].first;
    parameter.marker = marker;
    if (parameter.is_integer ? !TakeInteger(sql, &at, &parameter.integer)
                             : !TakeText(sql, &at, &parameter.text)) {
      return false;
    }
    segment = marker + 1;
  }
  if (sql.substr(at) != skeleton.substr(segment)) return false;
  out->skeleton.assign(skeleton);
  return true;
}

void StatementParameteriser::Remember(const ParameterisedStatement& statement) {
  // The least recently used shape makes way, and the new one goes first.
  std::rotate(std::begin(shapes_), std::end(shapes_) - 1, std::end(shapes_));
  Shape& shape = shapes_[0];
  shape.skeleton = statement.skeleton;
  shape.parameters.clear();
  for (const StatementParameter& parameter : statement.parameters) {
    shape.parameters.emplace_back(parameter.is_integer, parameter.marker);
  }
}

bool StatementParameteriser::Parameterise(std::string_view sql, ParameterisedStatement* out) {
  if (sql.find('\0') != std::string_view::npos) return false;
  for (size_t i = 0; i < kShapes; ++i) {
    if (Matches(shapes_[i], sql, out)) {
      // Most recently used first: a caller repeating a statement finds it at once.
      std::rotate(shapes_, shapes_ + i, shapes_ + i + 1);
      return true;
    }
  }
  if (!Parameteriser(sql, out).Run()) return false;
  Remember(*out);
  return true;
}

bool ParameteriseStatement(std::string_view sql, ParameterisedStatement* out) {
  if (sql.find('\0') != std::string_view::npos) return false;
  return Parameteriser(sql, out).Run();
}

std::optional<ParameterisedStatement> ParameteriseStatement(std::string_view sql) {
  ParameterisedStatement result;
  if (!ParameteriseStatement(sql, &result)) return std::nullopt;
  return result;
}

}  // namespace vornexa
