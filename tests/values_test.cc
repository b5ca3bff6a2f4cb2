// The base values: Currency, text helpers, field values, and how values are
// written into statements. Each case is a call and the text it gives, or the
// error it raises as what() spells it.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>

#include "support/fixtures.h"
#include "vornexa/base/text.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/vornexa.h"

namespace vornexa {
namespace {

namespace err = error_number;

struct Case {
  std::string what;
  std::function<std::string()> call;
  std::string expected;
};

void ExpectOutcomes(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    std::string outcome;
    try {
      outcome = c.call();
    } catch (const Error& e) {
      outcome = e.what();
    }
    EXPECT_EQ(outcome, c.expected) << c.what;
  }
}

std::string Raised(int32_t number, std::string description = "") {
  if (description.empty()) description = StandardDescription(number);
  return Error(number, std::string(kRuntimeSource), description).what();
}

const std::string kOverflow = Raised(err::kOverflow);
const std::string kMismatch = Raised(err::kTypeMismatch);
const std::string kNull = Raised(err::kInvalidUseOfNull);

// Four decimals, halves to even, and the whole range of 64 bits.
TEST(CurrencyValue, ParsesPrintsAndRoundsHalfToEvenOrRefuses) {
  std::vector<Case> cases = {
      {"minimum", [] { return Currency{INT64_MIN}.ToString(); }, "-922337203685477.5808"},
      {"double", [] { return Currency::FromDouble(0.00025).ToString(); }, "0.0002"},
      {"double", [] { return Currency::FromDouble(12.34).ToString(); }, "12.3400"},
      {"double", [] { return Currency::FromDouble(-1.23456).ToString(); }, "-1.2346"},
      {"double", [] { return Currency::FromDouble(1e20).ToString(); }, kOverflow},
      {"sum", [] { return (Currency{INT64_MAX} + Currency{1}).ToString(); }, kOverflow},
      {"difference", [] { return (Currency{INT64_MIN} - Currency{1}).ToString(); }, kOverflow},
  };
  for (const auto& [text, printed] : std::vector<std::pair<const char*, std::string>>{
           {"12.34", "12.3400"}, {"7", "7.0000"}, {"-1234.5", "-1234.5000"},
           {"-0.0001", "-0.0001"}, {"0.00005", "0.0000"}, {"0.00015", "0.0002"},
           {"0.000051", "0.0001"}, {"-0.00015", "-0.0002"},
           {"922337203685477.5807", "922337203685477.5807"}, {"922337203685477.5808", kOverflow},
           {"", kMismatch}, {"-", kMismatch}, {"1.2.3", kMismatch}, {"12a", kMismatch},
           {"1,5", kMismatch}, {" 1", kMismatch}}) {
    cases.push_back({text, [text] { return Currency::FromDecimal(text).ToString(); }, printed});
  }
  ExpectOutcomes(cases);
}

// Text helpers count Unicode characters, not bytes; field values convert with
// the runtime's range and rounding.
TEST(FieldValue, ConvertsWithTheRuntimesRangeAndRounding) {
  const Value null;
  const auto int16 = [](Value v) { return [v] { return std::to_string(v.ToInt16()); }; };
  const auto int32 = [](Value v) { return [v] { return std::to_string(v.ToInt32()); }; };
  const auto text = [](Value v) { return [v] { return v.ToText(); }; };
  const auto money = [](Value v) { return [v] { return v.ToCurrency().ToString(); }; };
  EXPECT_EQ(CharCount("ñandú"), 5u);
  const std::pair<std::string_view, std::string_view> cut[] = {
      {LeftChars("ñandú", 2), "ña"},       {LeftChars("ab", 5), "ab"},   {LeftChars("ab", 0), ""},
      {RightChars("ES91€2100", 5), "€2100"}, {RightChars("ab", 5), "ab"}, {TrimBlanks("   "), ""},
      {TrimBlanks("  43 5  "), "43 5"},    {TrimBlanks("\t43 "), "\t43"},  // blanks only
  };
  for (const auto& [actual, expected] : cut) EXPECT_EQ(actual, expected);
  ExpectOutcomes({
      {"int32", int32(Value::Integer(46001)), "46001"},
      {"int16", int16(Value::Integer(-32768)), "-32768"},
      {"int16 range", int16(Value::Integer(46001)), kOverflow},
      {"int32 range", int32(Value::Text("99999999999")), kOverflow},
      {"half to even", int16(Value::Real(2.5)), "2"},
      {"half to even", int16(Value::Real(3.5)), "4"},
      {"blanks", int16(Value::Text(" 12 ")), "12"},
      {"text rounded", int32(Value::Text("7.5")), "8"},
      {"letters", int16(Value::Text("abc")), kMismatch},
      {"empty", int32(Value::Text("")), kMismatch},
      {"text", text(Value::Integer(-7)), "-7"},
      {"text", text(Value::Real(0.1)), "0.1"},
      {"text", text(Value::Real(0.0001)), "0.0001"},
      {"text", text(Value::Real(1e16)), "10000000000000000"},
      {"text", text(Value::Text(" a ")), " a "},
      {"currency", money(Value::Text("12.3456")), "12.3456"},
      {"currency", money(Value::Real(12.34)), "12.3400"},
      {"currency", money(Value::Integer(5)), "5.0000"},
      {"currency", money(Value::Text("x")), kMismatch},
      {"null", text(null), kNull}, {"null", int16(null), kNull},
      {"null", int32(null), kNull}, {"null", money(null), kNull},
  });
}

// Each value is written whole inside its own literal; what cannot be stored,
// or is not what the statement expects, is refused before any of it is written.
TEST(ValueRendering, WritesEachValueWholeOrRefusesIt) {
  using Build = std::function<void(SqlStatement&)>;
  // "x=<value>"; after a refusal, the refusal and what the statement holds.
  const auto rendered = [](Build build) {
    return [build] {
      SqlStatement sql("x=");
      try {
        build(sql);
      } catch (const Error& e) {
        return e.what() + std::string(" / ") + sql.text();
      }
      return sql.Take();
    };
  };
  const auto text = [&](std::string v) { return rendered([v](auto& s) { s.Text(v, "Nombre"); }); };
  const std::string not_utf8 =
      Raised(err::kComponent, "El campo Nombre contiene texto que no es UTF-8 válido") + " / x=";
  std::vector<Case> cases = {
      {"numbers", rendered([](auto& s) { s.Number(-1).Raw(",").Number(0).Raw(",").Number(12); }),
       "x=-1,0,12"},
      {"quoted number", rendered([](auto& s) { s.QuotedNumber(-7); }), "x='-7'"},
      {"empty text", text(""), "x=''"},
      {"apostrophes", text("O'Brien ''x"), "x='O''Brien ''''x'"},
      {"blanks and accents", text(" Ñandú "), "x=' Ñandú '"},
      {"four bytes", text("ñ€\xF0\x9F\x98\x80"), "x='ñ€\xF0\x9F\x98\x80'"},
      {"nul", text(std::string("a\0b", 3)),
       Raised(err::kComponent, "El campo Nombre contiene un carácter nulo") + " / x="},
      {"cut short", text("\xC3"), not_utf8},
      {"overlong", text("\xC0\xAF"), not_utf8},
      {"surrogate", text("\xED\xA0\x80"), not_utf8},
      {"above U+10FFFF", text("\xF4\x90\x80\x80"), not_utf8},
      {"stray continuation", text("\x80"), not_utf8},
      {"contains", rendered([](auto& s) { s.Contains("5%_'", "f"); }), "x='%5%_''%'"},
      {"list", rendered([](auto& s) { s.IntegerList(" 1, -2,3 ", "La lista"); }), "x= 1, -2,3 "},
      {"numeral", rendered([](auto& s) { s.Numeral("007"); }), "x=007"},
      {"numeral", rendered([](auto& s) { s.Numeral("1 OR 1=1"); }), kMismatch + " / x="},
      {"amount", rendered([](auto& s) { s.Amount(Currency::FromDecimal("-12.5")); }), "x=-12.5000"},
  };
  const std::pair<Date, const char*> dates[] = {
      {{2024, 1, 31}, "'20240131' '2024-01-31' '2024-01-31'"},
      {{2024, 12, 5, 9, 7, 3}, "'20241205 09:07:03' '2024-12-05 09:07:03' '2024-12-05 09:07:03'"},
      {{2024, 12, 5, 0, 0, 1}, "'20241205 00:00:01' '2024-12-05 00:00:01' '2024-12-05 00:00:01'"},
  };
  for (const auto& [date, expected] : dates) {
    cases.push_back({"date", rendered([date](auto& s) {
                       for (Dialect d : {Dialect::SqlServer, Dialect::Sqlite, Dialect::PostgreSql})
                         s.Raw(" ").Date(date, d);
                     }),
                     std::string("x= ") + expected});
  }
  for (std::string list : {"", "1,", "1;2", "1) OR (1=1", "1 2"}) {
    cases.push_back({list, rendered([list](auto& s) { s.IntegerList(list, "La lista"); }),
                     Raised(err::kComponent, "La lista '" + list +
                                                 "' no es válida: se esperan números enteros "
                                                 "separados por comas") +
                         " / x="});
  }
  ExpectOutcomes(cases);
}

TEST(ValueRendering, NumeroSqlIsShortestRoundTripWhateverTheLocale) {
  // A comma-decimal locale must not leak into statements.
  const bool has_locale = std::setlocale(LC_ALL, "es_ES.UTF-8") != nullptr ||
                          std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  const Utilidades& util = ThreadUtilidades();
  std::string texts;
  for (double value : {100.0, 0.1, -1234.5678, Currency::FromDecimal("99.99").ToDouble(), 1e5}) {
    texts += util.NumeroSQL(value) + " ";
  }
  if (has_locale) std::setlocale(LC_ALL, "C");
  EXPECT_EQ(texts, "100 0.1 -1234.5678 99.99 100000 ");
  EXPECT_EQ(&ThreadUtilidades(), &util);  // one object per thread
}

}  // namespace
}  // namespace vornexa
