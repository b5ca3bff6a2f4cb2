#include "vornexa/context/sql_values.h"

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
  char buffer[40];
  const char* format = dialect == Dialect::SqlServer ? "%04d%02d%02d" : "%04d-%02d-%02d";
  int length = std::snprintf(buffer, sizeof buffer, format, value.year, value.month, value.day);
  if (value.HasTime()) {
    length += std::snprintf(buffer + length, sizeof buffer - length, " %02d:%02d:%02d",
                            value.hour, value.minute, value.second);
  }
  return std::string(buffer, length);
}

std::string SqlDouble(double value) { return ShortestDecimalText(value); }

const Utilidades& ThreadUtilidades() {
  thread_local const Utilidades utilidades;
  return utilidades;
}

}  // namespace vornexa
