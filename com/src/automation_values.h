// Conversions between the engine's values and Automation's: UTF-8 text and
// BSTR, Date and DATE, Currency and CURRENCY, a VARIANT read from a caller's
// object and a field Value.
#ifndef VORNEXA_COM_AUTOMATION_VALUES_H_
#define VORNEXA_COM_AUTOMATION_VALUES_H_

#include <oaidl.h>

#include <string>
#include <string_view>

#include "vornexa/base/types.h"
#include "vornexa/data/value.h"

namespace vornexa::com {

// Text crosses as UTF-16 one way and UTF-8 the other, exactly: an unpaired
// surrogate, which UTF-8 cannot hold, is written as the three bytes its code
// point would take. That is no valid UTF-8, so the engine refuses the text
// (1000, naming the field) wherever it would store it or put it in a
// statement, and reading it back gives the surrogate as it was written.

// A new BSTR holding `utf8`; the caller frees it. Throws std::bad_alloc.
BSTR ToBstr(std::string_view utf8);
// The same, or null when memory runs out.
BSTR ToBstrOrNull(std::string_view utf8) noexcept;
// The UTF-8 form of `text` (a null BSTR is the empty string).
std::string FromBstr(const wchar_t* text);

// Dates are day counts from 30 December 1899 with the time as a fraction. A
// value outside the platform's date range gives a Date that is not valid,
// which the operation it is passed to refuses with 5 under its own source.
Date FromAutomationDate(DATE value);

inline CURRENCY ToAutomationCurrency(Currency value) {
  CURRENCY result;
  result.int64 = value.ten_thousandths;
  return result;
}
inline Currency FromAutomationCurrency(CURRENCY value) { return Currency{value.int64}; }

inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// A field read from a result set: empty and null give null; exact numbers
// (currency, decimal) arrive as decimal text so they reach Currency exactly.
Value ToFieldValue(const VARIANT& value);

// Owns one VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace vornexa::com

#endif  // VORNEXA_COM_AUTOMATION_VALUES_H_
