#include "vornexa/base/types.h"

#include <cmath>
#include <limits>

#include "vornexa/base/error.h"

namespace vornexa {

namespace {

constexpr int64_t kScale = 10000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Currency Currency::FromDecimal(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // The magnitude in ten-thousandths; a fifth decimal and beyond only decide
  // the rounding.
  uint64_t units = 0;
  bool overflow = false;
  bool any_digit = false;
  auto add_digit = [&](int digit, uint64_t place) {
    overflow |= __builtin_mul_overflow(static_cast<uint64_t>(digit), place, &place);
    overflow |= __builtin_add_overflow(units, place, &units);
  };
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    overflow |= __builtin_mul_overflow(units, uint64_t{10}, &units);
    add_digit(text[i] - '0', kScale);
    any_digit = true;
  }
  uint64_t place = kScale / 10;
  int first_dropped = -1;    // the fifth decimal, -1 when there is none
  bool dropped_rest = false;  // any non-zero digit after the fifth
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      any_digit = true;
      const int digit = text[i] - '0';
      if (place > 0) {
        add_digit(digit, place);
        place /= 10;
      } else if (first_dropped < 0) {
        first_dropped = digit;
      } else {
        dropped_rest |= digit != 0;
      }
    }
  }
  if (!any_digit || i != text.size()) RaiseRuntimeError(error_number::kTypeMismatch);
  const bool round_up = first_dropped > 5 || (first_dropped == 5 && (dropped_rest || units % 2 == 1));
  if (round_up) overflow |= __builtin_add_overflow(units, uint64_t{1}, &units);
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
  if (overflow || units > limit) RaiseRuntimeError(error_number::kOverflow);
  return Currency{negative ? static_cast<int64_t>(0 - units) : static_cast<int64_t>(units)};
}

Currency Currency::FromDouble(double value) {
  // nearbyint rounds half to even in the default rounding mode.
  const double scaled = std::nearbyint(value * kScale);
  if (!std::isfinite(scaled) || scaled >= 9.2233720368547758e18 || scaled < -9.2233720368547758e18) {
    RaiseRuntimeError(error_number::kOverflow);
  }
  return Currency{static_cast<int64_t>(scaled)};
}

double Currency::ToDouble() const {
  return static_cast<double>(ten_thousandths) / kScale;
}

std::string Currency::ToString() const {
  const bool negative = ten_thousandths < 0;
  // Work on the unsigned magnitude so that the lowest value prints too.
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ten_thousandths)
                                      : static_cast<uint64_t>(ten_thousandths);
  std::string fraction = std::to_string(magnitude % kScale);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / kScale) + "." + fraction;
}

Currency operator+(Currency a, Currency b) {
  Currency sum;
  if (__builtin_add_overflow(a.ten_thousandths, b.ten_thousandths, &sum.ten_thousandths)) {
    RaiseRuntimeError(error_number::kOverflow);
  }
  return sum;
}

Currency operator-(Currency a, Currency b) {
  Currency difference;
  if (__builtin_sub_overflow(a.ten_thousandths, b.ten_thousandths,
                             &difference.ten_thousandths)) {
    RaiseRuntimeError(error_number::kOverflow);
  }
  return difference;
}

bool Date::IsValid() const {
  constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int days = kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= days && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 &&
         second <= 59;
}

}  // namespace vornexa
