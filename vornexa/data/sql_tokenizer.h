// Splits SQL Server text into tokens. Inline: a driver that reuses compiled
// statements scans every statement's text on each call.
#ifndef VORNEXA_DATA_SQL_TOKENIZER_H_
#define VORNEXA_DATA_SQL_TOKENIZER_H_

#include <array>
#include <cstddef>
#include <string_view>

namespace vornexa {

struct SqlToken {
  enum class Kind { kWord, kNumber, kString, kQuotedName, kComment, kSpace, kSymbol };
  Kind kind;
  std::string_view text;
};

namespace sql_tokenizer {

// Character classes, looked up in a table: every statement of a cached
// driver is scanned on each call.
enum CharClass : unsigned char { kWordStart = 1, kDigit = 2, kWordChar = 4, kBlank = 8 };

constexpr std::array<unsigned char, 256> MakeCharClasses() {
  std::array<unsigned char, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool word_start = letter || c == '_' || c == '@' || c == '#' || c >= 0x80;
    const bool digit = c >= '0' && c <= '9';
    classes[c] = (word_start ? kWordStart : 0) | (digit ? kDigit : 0) |
                 (word_start || digit || c == '$' ? kWordChar : 0) |
                 (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' ? kBlank : 0);
  }
  return classes;
}
inline constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

inline bool Is(char c, CharClass which) { return kCharClasses[static_cast<unsigned char>(c)] & which; }
inline bool IsWordStart(char c) { return Is(c, kWordStart); }
inline bool IsDigit(char c) { return Is(c, kDigit); }
inline bool IsWordChar(char c) { return Is(c, kWordChar); }
inline bool IsSpace(char c) { return Is(c, kBlank); }

// End of a literal opened by `quote` at `begin`; a doubled closing character
// stands for itself inside it.
inline size_t QuotedEnd(std::string_view sql, size_t begin, char close) {
  size_t i = begin + 1;
  while (i < sql.size()) {
    if (sql[i] == close) {
      if (i + 1 < sql.size() && sql[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return sql.size();
}

// Words come first: they are most of every statement.
inline size_t TokenEnd(std::string_view sql, size_t i, SqlToken::Kind* kind) {
  const char c = sql[i];
  const unsigned char char_class = kCharClasses[static_cast<unsigned char>(c)];
  if (char_class & kWordStart) {
    *kind = SqlToken::Kind::kWord;
    for (++i; i < sql.size() && IsWordChar(sql[i]);) ++i;
    return i;
  }
  const bool digit_follows = i + 1 < sql.size() && IsDigit(sql[i + 1]);
  if ((char_class & kDigit) || (c == '.' && digit_follows)) {
    *kind = SqlToken::Kind::kNumber;
    while (i < sql.size() && (IsDigit(sql[i]) || sql[i] == '.')) ++i;
    return i;
  }
  if (char_class & kBlank) {
    *kind = SqlToken::Kind::kSpace;
    while (i < sql.size() && IsSpace(sql[i])) ++i;
    return i;
  }
  const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
  switch (c) {
    case '\'':
      *kind = SqlToken::Kind::kString;
      return QuotedEnd(sql, i, '\'');
    case '"':
    case '`':
      *kind = SqlToken::Kind::kQuotedName;
      return QuotedEnd(sql, i, c);
    case '[':
      *kind = SqlToken::Kind::kQuotedName;
      return QuotedEnd(sql, i, ']');
    case '-':
      if (next != '-') break;
      *kind = SqlToken::Kind::kComment;
      {
        const size_t end = sql.find('\n', i);
        return end == std::string_view::npos ? sql.size() : end;
      }
    case '/':
      if (next != '*') break;
      *kind = SqlToken::Kind::kComment;
      {
        const size_t end = sql.find("*/", i + 2);
        return end == std::string_view::npos ? sql.size() : end + 2;
      }
    default:
      break;
  }
  *kind = SqlToken::Kind::kSymbol;
  return i + 1;
}

}  // namespace sql_tokenizer

// The token that starts at `*position` (before the end of `sql`); moves
// `*position` past it. An unterminated literal or comment runs to the end of
// the text.
inline SqlToken NextSqlToken(std::string_view sql, size_t* position) {
  SqlToken::Kind kind;
  const size_t begin = *position;
  *position = sql_tokenizer::TokenEnd(sql, begin, &kind);
  return {kind, std::string_view(sql.data() + begin, *position - begin)};
}

// Whether `token` is the word `upper_word` (given in capitals), in any case.
inline bool IsSqlWord(const SqlToken& token, std::string_view upper_word) {
  if (token.kind != SqlToken::Kind::kWord || token.text.size() != upper_word.size()) return false;
  for (size_t i = 0; i < upper_word.size(); ++i) {
    char c = token.text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper_word[i]) return false;
  }
  return true;
}

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQL_TOKENIZER_H_
