// The base values: Currency, text helpers, field values, and how values are
// written into statements. Each case is what an expression gives as text, or
// the error it raises as what() spells it.
#include <clocale>

#include "support/fixtures.h"

namespace vornexa {
namespace {

namespace err = error_number;
using Cases = std::vector<std::pair<std::string, std::string>>;  // {outcome, expected}

std::string AsText(std::string_view text) { return std::string(text); }
std::string AsText(int64_t number) { return std::to_string(number); }
std::string AsText(Currency amount) { return amount.ToString(); }

template <typename Call>
std::string Outcome(Call call) {
  try {
    return AsText(call());
  } catch (const Error& e) {
    return e.what();
  }
}
#define OUTCOME(expr) Outcome([&] { return expr; })

// The statement "x=" followed by the values `calls` write.
#define RENDERED(calls) OUTCOME(SqlStatement("x=").calls.text())

std::string Raised(int32_t number) {
  const Error error(number, std::string(kRuntimeSource), std::string(StandardDescription(number)));
  return error.what();
}

// Currency keeps four decimals, rounds halves to even and spans 64 bits; text
// helpers count characters, not bytes; field values convert with the
// runtime's range and rounding.
TEST(Values, ConvertPrintAndRoundOrRefuse) {
  const std::string overflow = Raised(err::kOverflow), mismatch = Raised(err::kTypeMismatch),
                    null_use = Raised(err::kInvalidUseOfNull);
  const Value null;
  Cases cases = {
      {OUTCOME(Currency{INT64_MIN}), "-922337203685477.5808"},
      {OUTCOME(Currency{INT64_MAX} + Currency{1}), overflow},
      {OUTCOME(Currency{INT64_MIN} - Currency{1}), overflow},
      {OUTCOME(Currency::FromDouble(0.00025)), "0.0002"},
      {OUTCOME(Currency::FromDouble(-1.23456)), "-1.2346"},
      {OUTCOME(Currency::FromDouble(1e20)), overflow},
      {OUTCOME(CharCount("ñandú")), "5"}, {OUTCOME(LeftChars("ñandú", 2)), "ña"},
      {OUTCOME(LeftChars("ab", 5)), "ab"}, {OUTCOME(LeftChars("ab", 0)), ""},
      {OUTCOME(RightChars("ES91€2100", 5)), "€2100"}, {OUTCOME(RightChars("ab", 5)), "ab"},
      {OUTCOME(TrimBlanks("  43 5  ")), "43 5"}, {OUTCOME(TrimBlanks("   ")), ""},
      {OUTCOME(TrimBlanks("\t43 ")), "\t43"},  // blanks only
      {OUTCOME(Value::Integer(46001).ToInt32()), "46001"},
      {OUTCOME(Value::Integer(-32768).ToInt16()), "-32768"},
      {OUTCOME(Value::Integer(46001).ToInt16()), overflow},
      {OUTCOME(Value::Text("99999999999").ToInt32()), overflow},
      {OUTCOME(Value::Real(2.5).ToInt16()), "2"}, {OUTCOME(Value::Real(3.5).ToInt16()), "4"},
      {OUTCOME(Value::Text(" 12 ").ToInt16()), "12"}, {OUTCOME(Value::Text("7.5").ToInt32()), "8"},
      {OUTCOME(Value::Text("abc").ToInt16()), mismatch},
      {OUTCOME(Value::Text("").ToInt32()), mismatch}, {OUTCOME(Value::Real(0.1).ToText()), "0.1"},
      {OUTCOME(Value::Real(0.0001).ToText()), "0.0001"},
      {OUTCOME(Value::Real(1e16).ToText()), "10000000000000000"},
      {OUTCOME(Value::Integer(-7).ToText()), "-7"}, {OUTCOME(Value::Text(" a ").ToText()), " a "},
      {OUTCOME(Value::Text("12.3456").ToCurrency()), "12.3456"},
      {OUTCOME(Value::Real(12.34).ToCurrency()), "12.3400"},
      {OUTCOME(Value::Integer(5).ToCurrency()), "5.0000"},
      {OUTCOME(Value::Text("x").ToCurrency()), mismatch},
      {OUTCOME(null.ToText()), null_use}, {OUTCOME(null.ToInt16()), null_use},
      {OUTCOME(null.ToInt32()), null_use}, {OUTCOME(null.ToCurrency()), null_use},
  };
  for (const auto& [text, printed] : Cases{
           {"12.34", "12.3400"}, {"7", "7.0000"}, {"-1234.5", "-1234.5000"},
           {"-0.0001", "-0.0001"}, {"0.00005", "0.0000"}, {"0.00015", "0.0002"},
           {"0.000051", "0.0001"}, {"-0.00015", "-0.0002"},
           {"922337203685477.5807", "922337203685477.5807"}, {"922337203685477.5808", overflow},
           {"", mismatch}, {"-", mismatch}, {"1.2.3", mismatch}, {"12a", mismatch},
           {"1,5", mismatch}, {" 1", mismatch}}) {
    cases.push_back({OUTCOME(Currency::FromDecimal(text)), printed});
  }
  for (const auto& [outcome, expected] : cases) EXPECT_EQ(outcome, expected);
}

// Each value is written whole inside its own literal, whatever the locale.
// (Apostrophes, wildcards and department codes inside whole statements, text
// that cannot be stored and lists that are not integers: the statement,
// balance, maintenance and unstorable text suites.)
TEST(ValueRendering, WritesEachValueWholeOrRefusesIt) {
  // A comma-decimal locale must not leak into statements.
  const bool has_locale = std::setlocale(LC_ALL, "es_ES.UTF-8") != nullptr ||
                          std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  const Utilidades& util = ThreadUtilidades();
  Cases cases = {
      {RENDERED(Number(-1).Raw(",").Number(0).Raw(",").Number(12)), "x=-1,0,12"},
      {RENDERED(QuotedNumber(-7)), "x='-7'"}, {RENDERED(Text("", "Nombre")), "x=''"},
      {RENDERED(Text(" Ñandú €\xF0\x9F\x98\x80", "Nombre")), "x=' Ñandú €\xF0\x9F\x98\x80'"},
      {RENDERED(IntegerList(" 1, -2,3 ", "La lista")), "x= 1, -2,3 "},
      {RENDERED(Amount(Currency::FromDecimal("-12.5"))), "x=-12.5000"},
      {RENDERED(Date({2024, 1, 31}, Dialect::SqlServer)), "x='20240131'"},
      {RENDERED(Date({2024, 1, 31}, Dialect::Sqlite)), "x='2024-01-31'"},
      {RENDERED(Date({2024, 12, 5, 9, 7, 3}, Dialect::SqlServer)), "x='20241205 09:07:03'"},
      {RENDERED(Date({2024, 12, 5, 0, 0, 1}, Dialect::Sqlite)), "x='2024-12-05 00:00:01'"},
      // The shortest text that reads back as the same double.
      {RENDERED(Decimal(util, 100).Raw(" ").Decimal(util, 0.1).Raw(" ").Decimal(util, 1e5)),
       "x=100 0.1 100000"},
      {RENDERED(Decimal(util, -1234.5678).Raw(" ").Decimal(util, 99.99)), "x=-1234.5678 99.99"},
      {RENDERED(Date({2024, 2, 29, 23, 59, 59}, Dialect::Sqlite)), "x='2024-02-29 23:59:59'"},
  };
  if (has_locale) std::setlocale(LC_ALL, "C");
  // Dates that do not exist, whichever part is out of its range.
  for (const Date& bad : {Date{2024, 2, 30}, {2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1},
                          {2024, 1, 0}, {2024, 4, 31}, {2024, 1, 32}, {1900, 2, 29}, {99, 12, 31},
                          {10000, 1, 1}, {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0},
                          {2024, 1, 1, 0, 0, -1}}) {
    cases.push_back({RENDERED(Date(bad, Dialect::SqlServer)), Raised(err::kInvalidArgument)});
  }
  for (const auto& [outcome, expected] : cases) EXPECT_EQ(outcome, expected);
  EXPECT_EQ(&ThreadUtilidades(), &util);  // one object per thread
}

}  // namespace
}  // namespace vornexa
