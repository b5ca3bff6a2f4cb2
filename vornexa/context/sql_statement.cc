#include "vornexa/context/sql_statement.h"

#include <charconv>
#include <cstdio>

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Integers separated by commas, blanks allowed around each.
bool IsIntegerList(std::string_view list) {
  while (true) {
    const size_t comma = list.find(',');
    std::string_view item = TrimBlanks(list.substr(0, comma));
    if (!item.empty() && item.front() == '-') item.remove_prefix(1);
    if (item.empty()) return false;
    for (char c : item) {
      if (!IsDigit(c)) return false;
    }
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

std::string Utilidades::NumeroSQL(double value) const { return ShortestDecimalText(value); }

const Utilidades& ThreadUtilidades() {
  thread_local const Utilidades utilidades;
  return utilidades;
}

void RequireStorableText(std::string_view value, std::string_view field) {
  // A NUL would end the statement's text early on most databases.
  if (value.find('\0') != std::string_view::npos) {
    RaiseComponentError(kRuntimeSource, NulCharacterDescription(field));
  }
  if (!IsValidUtf8(value)) RaiseComponentError(kRuntimeSource, InvalidUtf8Description(field));
}

SqlStatement& SqlStatement::Raw(std::string_view fragment) {
  text_ += fragment;
  return *this;
}

SqlStatement& SqlStatement::Number(int64_t value) {
  char digits[24];  // the widest int64_t, sign included
  text_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  return *this;
}

SqlStatement& SqlStatement::QuotedNumber(int64_t value) {
  text_ += '\'';
  Number(value);
  text_ += '\'';
  return *this;
}

SqlStatement& SqlStatement::Text(std::string_view value, std::string_view field) {
  return AppendLiteral(value, field, "");
}

SqlStatement& SqlStatement::Contains(std::string_view value, std::string_view field) {
  return AppendLiteral(value, field, "%");
}

SqlStatement& SqlStatement::AppendLiteral(std::string_view value, std::string_view field,
                                          std::string_view wildcard) {
  RequireStorableText(value, field);
  text_.reserve(text_.size() + value.size() + 4);
  text_ += '\'';
  text_ += wildcard;
  for (char c : value) {
    // Doubled, an apostrophe stays inside the literal.
    if (c == '\'') text_ += '\'';
    text_ += c;
  }
  text_ += wildcard;
  text_ += '\'';
  return *this;
}

SqlStatement& SqlStatement::Date(const vornexa::Date& value, Dialect dialect) {
  if (!value.IsValid()) RaiseRuntimeError(error_number::kInvalidArgument);
  char buffer[48];
  const char* format = dialect == Dialect::SqlServer ? "'%04d%02d%02d" : "'%04d-%02d-%02d";
  int length = std::snprintf(buffer, sizeof buffer, format, value.year, value.month, value.day);
  if (value.HasTime()) {
    length += std::snprintf(buffer + length, sizeof buffer - length, " %02d:%02d:%02d",
                            value.hour, value.minute, value.second);
  }
  text_.append(buffer, static_cast<size_t>(length));
  text_ += '\'';
  return *this;
}

SqlStatement& SqlStatement::Numeral(std::string_view text) {
  size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      digits = 0;
      break;
    }
  }
  if (digits == 0) RaiseRuntimeError(error_number::kTypeMismatch);
  text_ += text;
  return *this;
}

SqlStatement& SqlStatement::Amount(Currency value) {
  text_ += value.ToString();
  return *this;
}

SqlStatement& SqlStatement::Decimal(const Utilidades& utilidades, double value) {
  text_ += utilidades.NumeroSQL(value);
  return *this;
}

SqlStatement& SqlStatement::IntegerList(std::string_view list, std::string_view what) {
  if (!IsIntegerList(list)) {
    RaiseComponentError(kRuntimeSource,
                        std::string(what) + " '" + std::string(list) +
                            "' no es válida: se esperan números enteros separados por comas");
  }
  text_ += list;
  return *this;
}

}  // namespace vornexa
