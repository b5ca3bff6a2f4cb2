#include "vornexa/data/value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

// Text read as a number, as the runtime reads it: blanks around it allowed.
double ParseNumber(const std::string& text) {
  const std::string_view trimmed = TrimBlanks(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double parsed = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
    RaiseRuntimeError(error_number::kTypeMismatch);
  }
  return parsed;
}

template <typename Int>
Int ToIntegral(int64_t v) {
  if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) {
    RaiseRuntimeError(error_number::kOverflow);
  }
  return static_cast<Int>(v);
}

template <typename Int>
Int RoundToIntegral(double v) {
  const double rounded = std::nearbyint(v);  // half to even
  if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    RaiseRuntimeError(error_number::kOverflow);
  }
  return static_cast<Int>(rounded);
}

}  // namespace

std::string Value::ToText() const {
  if (IsNull()) RaiseRuntimeError(error_number::kInvalidUseOfNull);
  if (IsInteger()) return std::to_string(std::get<int64_t>(storage_));
  if (IsReal()) return ShortestDecimalText(std::get<double>(storage_));
  return std::get<std::string>(storage_);
}

int64_t Value::ToInt64() const {
  if (IsNull()) RaiseRuntimeError(error_number::kInvalidUseOfNull);
  if (IsInteger()) return std::get<int64_t>(storage_);
  if (IsReal()) return RoundToIntegral<int64_t>(std::get<double>(storage_));
  const std::string& text = std::get<std::string>(storage_);
  // Plain integer text converts exactly; anything else goes through a double.
  int64_t exact = 0;
  const std::string_view trimmed = TrimBlanks(text);
  const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), exact);
  if (!trimmed.empty() && result.ec == std::errc() && result.ptr == trimmed.data() + trimmed.size()) {
    return exact;
  }
  if (result.ec == std::errc::result_out_of_range) RaiseRuntimeError(error_number::kOverflow);
  return RoundToIntegral<int64_t>(ParseNumber(text));
}

int16_t Value::ToInt16() const { return ToIntegral<int16_t>(ToInt64()); }

int32_t Value::ToInt32() const { return ToIntegral<int32_t>(ToInt64()); }

double Value::ToDouble() const {
  if (IsNull()) RaiseRuntimeError(error_number::kInvalidUseOfNull);
  if (IsInteger()) return static_cast<double>(std::get<int64_t>(storage_));
  if (IsReal()) return std::get<double>(storage_);
  return ParseNumber(std::get<std::string>(storage_));
}

Currency Value::ToCurrency() const {
  if (IsNull()) RaiseRuntimeError(error_number::kInvalidUseOfNull);
  if (IsInteger()) {
    Currency c;
    if (__builtin_mul_overflow(std::get<int64_t>(storage_), int64_t{10000}, &c.ten_thousandths)) {
      RaiseRuntimeError(error_number::kOverflow);
    }
    return c;
  }
  if (IsReal()) return Currency::FromDouble(std::get<double>(storage_));
  // Decimal text (as exact numeric columns arrive from some drivers) converts exactly.
  return Currency::FromDecimal(TrimBlanks(std::get<std::string>(storage_)));
}

}  // namespace vornexa
