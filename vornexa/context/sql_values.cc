#include "vornexa/context/sql_values.h"

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

#include <cstdio>

namespace vornexa {

std::string SqlInteger(int64_t value) { return std::to_string(value); }

std::string SqlText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string SqlDate(const Date& value, Dialect dialect) {
  if (!value.IsValid()) RaiseRuntimeError(error_number::kInvalidArgument);
  char buffer[40];
  const char* format = dialect == Dialect::SqlServer ? "%04d%02d%02d" : "%04d-%02d-%02d";
  int length = std::snprintf(buffer, sizeof buffer, format, value.year, value.month, value.day);
  if (value.HasTime()) {
    length += std::snprintf(buffer + length, sizeof buffer - length, " %02d:%02d:%02d",
                            value.hour, value.minute, value.second);
  }
  return std::string(buffer, length);
}

std::string SqlNumeral(std::string_view text) {
  size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      digits = 0;
      break;
    }
  }
  if (digits == 0) RaiseRuntimeError(error_number::kTypeMismatch);
  return std::string(text);
}

std::string SqlDouble(double value) { return ShortestDecimalText(value); }

const Utilidades& ThreadUtilidades() {
  thread_local const Utilidades utilidades;
  return utilidades;
}

}  // namespace vornexa
