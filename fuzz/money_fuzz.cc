// Money and numbers as text: Currency::FromDecimal and ToString, and the
// shortest decimal text of a double, round-trip exactly; bad text is refused
// only with the runtime's type-mismatch or overflow errors.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "vornexa/base/error.h"
#include "vornexa/base/text.h"
#include "vornexa/base/types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vornexa::Currency;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const Currency parsed = Currency::FromDecimal(text);
    const std::string shown = parsed.ToString();
    FUZZ_CHECK(Currency::FromDecimal(shown) == parsed, text + " -> " + shown);
    const size_t point = shown.find('.');
    FUZZ_CHECK(point != std::string::npos && shown.size() - point == 5, shown);
  } catch (const vornexa::Error& e) {
    FUZZ_CHECK(e.Number() == vornexa::error_number::kTypeMismatch ||
                   e.Number() == vornexa::error_number::kOverflow,
               e.what());
  }

  if (size >= 8) {
    int64_t raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    const Currency amount{raw};
    FUZZ_CHECK(Currency::FromDecimal(amount.ToString()) == amount, amount.ToString());

    double value = 0;
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value)) {
      const std::string decimal = vornexa::ShortestDecimalText(value);
      FUZZ_CHECK(decimal.find_first_of("eE") == std::string::npos, decimal);
      FUZZ_CHECK(std::strtod(decimal.c_str(), nullptr) == value, decimal);
      try {
        const Currency rounded = Currency::FromDouble(value);
        FUZZ_CHECK(std::fabs(rounded.ToDouble() - value) <= 0.00005 + std::fabs(value) * 4e-16,
                   decimal + " -> " + rounded.ToString());
      } catch (const vornexa::Error& e) {
        FUZZ_CHECK(e.Number() == vornexa::error_number::kOverflow, e.what());
      }
    }
  }
  return 0;
}
