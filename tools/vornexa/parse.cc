#include "tools/vornexa/parse.h"

#include <charconv>
#include <limits>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

namespace {

[[noreturn]] void Reject(int32_t number, std::string_view source, std::string description) {
  throw Error(number, std::string(source), std::move(description));
}

template <typename Int>
Int ParseInteger(std::string_view text, std::string_view what, std::string_view source) {
  const std::string_view digits = TrimBlanks(text);
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || end != digits.data() + digits.size() || ec == std::errc::invalid_argument) {
    Reject(error_number::kTypeMismatch, source,
           std::string(what) + " debe ser un número entero: '" + std::string(text) + "'");
  }
  if (ec == std::errc::result_out_of_range || value < std::numeric_limits<Int>::min() ||
      value > std::numeric_limits<Int>::max()) {
    Reject(error_number::kOverflow, source,
           std::string(what) + " está fuera de rango: " + std::string(digits));
  }
  return static_cast<Int>(value);
}

}  // namespace

int16_t ParseInt16(std::string_view text, std::string_view what, std::string_view source) {
  return ParseInteger<int16_t>(text, what, source);
}

int32_t ParseInt32(std::string_view text, std::string_view what, std::string_view source) {
  return ParseInteger<int32_t>(text, what, source);
}

std::vector<int16_t> ParseInt16List(std::string_view text, std::string_view what,
                                    std::string_view source) {
  std::vector<int16_t> numbers;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    numbers.push_back(ParseInt16(text.substr(start, comma - start), what, source));
    if (comma == std::string_view::npos) return numbers;
    start = comma + 1;
  }
}

Date ParseIsoDate(std::string_view text, std::string_view what, std::string_view source) {
  const std::string_view date = TrimBlanks(text);
  const auto invalid = [&] {
    Reject(error_number::kTypeMismatch, source,
           std::string(what) + " debe ser una fecha AAAA-MM-DD válida (años 100 a 9999): '" + std::string(text) +
               "'");
  };
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') invalid();
  int parts[3] = {};
  const std::string_view pieces[3] = {date.substr(0, 4), date.substr(5, 2), date.substr(8, 2)};
  for (int i = 0; i < 3; ++i) {
    const auto [end, ec] =
        std::from_chars(pieces[i].data(), pieces[i].data() + pieces[i].size(), parts[i]);
    if (ec != std::errc() || end != pieces[i].data() + pieces[i].size()) invalid();
  }
  // The library's own rule (its date range included), so that no date the
  // tool accepts is refused later under an operation's name.
  const Date parsed{parts[0], parts[1], parts[2]};
  if (!parsed.IsValid()) invalid();
  return parsed;
}

Currency ParseAmount(std::string_view text, std::string_view what, std::string_view source) {
  std::string decimal(TrimBlanks(text));
  if (decimal.find(',') != std::string::npos && decimal.find('.') == std::string::npos) {
    decimal[decimal.find(',')] = '.';  // the Spanish decimal comma
  }
  try {
    return Currency::FromDecimal(decimal);
  } catch (const Error& error) {
    Reject(error.Number(), source,
           std::string(what) + " debe ser un importe como 1234.56: '" + std::string(text) + "'");
  }
}

std::string JoinNumbers(const std::vector<int16_t>& numbers) {
  std::string text;
  for (int16_t number : numbers) {
    if (!text.empty()) text += ',';
    text += std::to_string(number);
  }
  return text;
}

}  // namespace vornexa::cli
