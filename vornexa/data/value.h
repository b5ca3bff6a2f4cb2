// One field value read from a result set: null, integer, floating point or
// text. The conversions behave like the runtime's assignment of a database
// field to a typed variable: a null raises 94, text that is no number 13, a
// number out of the target's range 6.
#ifndef VORNEXA_DATA_VALUE_H_
#define VORNEXA_DATA_VALUE_H_

#include <cstdint>
#include <string>
#include <variant>

#include "vornexa/base/types.h"

namespace vornexa {

class Value {
 public:
  Value() = default;  // null
  static Value Integer(int64_t v) { return Value(Storage(v)); }
  static Value Real(double v) { return Value(Storage(v)); }
  static Value Text(std::string v) { return Value(Storage(std::move(v))); }

  bool IsNull() const { return std::holds_alternative<std::monostate>(storage_); }
  bool IsInteger() const { return std::holds_alternative<int64_t>(storage_); }
  bool IsReal() const { return std::holds_alternative<double>(storage_); }
  bool IsText() const { return std::holds_alternative<std::string>(storage_); }

  // Numbers give their decimal text (shortest form that reads back the same).
  std::string ToText() const;
  // Fractions round half to even, as the runtime's integer conversion does.
  int16_t ToInt16() const;
  int32_t ToInt32() const;
  int64_t ToInt64() const;
  double ToDouble() const;
  Currency ToCurrency() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  using Storage = std::variant<std::monostate, int64_t, double, std::string>;
  explicit Value(Storage storage) : storage_(std::move(storage)) {}

  Storage storage_;
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_VALUE_H_
