// Value types that cross the public surface: money and dates.
#ifndef VORNEXA_BASE_TYPES_H_
#define VORNEXA_BASE_TYPES_H_

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace vornexa {

// Money: a signed 64-bit count of ten-thousandths, exact in sums.
struct Currency {
  int64_t ten_thousandths = 0;

  // Parses "-1234.5", "12.3400", "7": an optional sign, digits, an optional
  // point with up to four decimals (more decimals round half to even).
  // Raises 13 for text that is no number and 6 when it does not fit.
  static Currency FromDecimal(std::string_view text);
  // Rounds half to even at the fourth decimal; raises 6 when out of range.
  static Currency FromDouble(double value);

  double ToDouble() const;
  // Always four decimals: "12.3400", "-0.5000".
  std::string ToString() const;

  friend auto operator<=>(const Currency&, const Currency&) = default;
  // Sums and differences raise 6 on overflow, as the runtime does.
  friend Currency operator+(Currency a, Currency b);
  friend Currency operator-(Currency a, Currency b);
};

// A calendar date with an optional time of day.
struct Date {
  int year;
  int month;
  int day;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool HasTime() const { return hour != 0 || minute != 0 || second != 0; }
  // A day of the Gregorian calendar between the years 100 and 9999 (the
  // platform's date range) and a time of day from 00:00:00 to 23:59:59.
  bool IsValid() const;
  friend bool operator==(const Date&, const Date&) = default;
};

}  // namespace vornexa

#endif  // VORNEXA_BASE_TYPES_H_
