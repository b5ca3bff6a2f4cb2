// The base values: errors and their trap, Currency, text helpers, field
// values and how values are written into statements.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>

#include "support/fixtures.h"
#include "vornexa/base/text.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/vornexa.h"

namespace vornexa {
namespace {

using testing::CaughtError;
namespace err = error_number;

// A call and the error number it must raise.
struct Raises {
  const char* what;
  std::function<void()> call;
  int32_t number;
};

void ExpectRaises(const std::vector<Raises>& cases) {
  for (const Raises& c : cases) EXPECT_EQ(CaughtError(c.call).Number(), c.number) << c.what;
}

TEST(ErrorTrap, KeepsNumberAndDescriptionUnderTheOperationsSource) {
  EXPECT_EQ(Trap("x", [] { return 42; }), 42);
  const Error e = CaughtError([] {
    Trap("Cuentas::Insertar", [] { throw Error(err::kComponent, "Cuentas::Modificar", "Mensaje"); });
  });
  EXPECT_EQ(e.Number(), err::kComponent);
  EXPECT_EQ(e.Source(), "Cuentas::Insertar");
  EXPECT_EQ(e.Description(), "Mensaje");
  EXPECT_STREQ(e.what(), "error 1000 (Cuentas::Insertar): Mensaje");

  // Foreign exceptions become described errors.
  EXPECT_VORNEXA_ERROR(Trap("Cuentas::Cargar", [] { throw std::logic_error("roto"); }),
                       err::kInternal, "Cuentas::Cargar", "Error interno: roto");
  EXPECT_VORNEXA_ERROR(Trap("Cuentas::Cargar", [] { throw std::bad_alloc(); }),
                       err::kOutOfMemory, "Cuentas::Cargar", "Memoria insuficiente");
}

TEST(RuntimeErrors, CarryTheRuntimesSpanishDescriptions) {
  const std::pair<int32_t, const char*> expected[] = {
      {err::kInvalidArgument, "Llamada a procedimiento o argumento no válido"},
      {err::kOverflow, "Desbordamiento"},
      {err::kTypeMismatch, "No coinciden los tipos"},
      {err::kObjectNotSet, "Variable de objeto o bloque With no establecido"},
      {err::kInvalidUseOfNull, "Uso no válido de Null"},
  };
  for (const auto& [number, description] : expected) {
    EXPECT_VORNEXA_ERROR(RaiseRuntimeError(number), number, std::string(kRuntimeSource),
                         description);
  }
}

TEST(CurrencyValue, ParsesPrintsAndRoundsHalfToEvenAtTheFourthDecimalOrRefuses) {
  const std::pair<const char*, int64_t> parsed[] = {
      {"12.34", 123400}, {"-0.0001", -1},  {"0.00005", 0},         {"0.00015", 2},
      {"0.000051", 1},   {"-0.00015", -2}, {"922337203685477.5807", INT64_MAX},
  };
  for (const auto& [text, value] : parsed) {
    EXPECT_EQ(Currency::FromDecimal(text).ten_thousandths, value) << text;
  }
  EXPECT_EQ(Currency::FromDecimal("7").ToString(), "7.0000");
  EXPECT_EQ(Currency::FromDecimal("-1234.5").ToString(), "-1234.5000");
  EXPECT_EQ(Currency{INT64_MIN}.ToString(), "-922337203685477.5808");
  EXPECT_EQ(Currency::FromDouble(0.00025).ten_thousandths, 2);
  EXPECT_EQ(Currency::FromDouble(12.34).ten_thousandths, 123400);
  EXPECT_EQ(Currency::FromDouble(-1.23456).ten_thousandths, -12346);
  // Text that is no number, and overflow.
  for (const char* bad : {"", "-", "1.2.3", "12a", "1,5", " 1"}) {
    EXPECT_EQ(CaughtError([bad] { Currency::FromDecimal(bad); }).Number(), err::kTypeMismatch)
        << bad;
  }
  ExpectRaises({
      {"parse", [] { Currency::FromDecimal("922337203685477.5808"); }, err::kOverflow},
      {"double", [] { Currency::FromDouble(1e20); }, err::kOverflow},
      {"sum", [] { Currency{INT64_MAX} + Currency{1}; }, err::kOverflow},
      {"difference", [] { Currency{INT64_MIN} - Currency{1}; }, err::kOverflow},
  });
}

TEST(TextHelpers, CountAndCutUnicodeCharactersNotBytes) {
  EXPECT_EQ(CharCount("ñandú"), 5u);
  EXPECT_EQ(LeftChars("ñandú", 2), "ña");
  EXPECT_EQ(LeftChars("ab", 5), "ab");
  EXPECT_EQ(LeftChars("ab", 0), "");
  EXPECT_EQ(RightChars("ES91€2100", 5), "€2100");
  EXPECT_EQ(RightChars("ab", 5), "ab");
  EXPECT_EQ(TrimBlanks("  43 5  "), "43 5");
  EXPECT_EQ(TrimBlanks("\t43 "), "\t43");  // only blanks are trimmed
  EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(FieldValue, ConvertsWithTheRuntimesRangeAndRounding) {
  EXPECT_EQ(Value::Integer(46001).ToInt32(), 46001);
  EXPECT_EQ(Value::Integer(-32768).ToInt16(), -32768);
  EXPECT_EQ(Value::Real(2.5).ToInt16(), 2);
  EXPECT_EQ(Value::Real(3.5).ToInt16(), 4);
  EXPECT_EQ(Value::Text(" 12 ").ToInt16(), 12);
  EXPECT_EQ(Value::Text("7.5").ToInt32(), 8);
  EXPECT_EQ(Value::Integer(-7).ToText(), "-7");
  EXPECT_EQ(Value::Real(0.1).ToText(), "0.1");
  EXPECT_EQ(Value::Real(0.0001).ToText(), "0.0001");
  EXPECT_EQ(Value::Real(1e16).ToText(), "10000000000000000");
  EXPECT_EQ(Value::Text(" a ").ToText(), " a ");
  EXPECT_EQ(Value::Text("12.3456").ToCurrency().ten_thousandths, 123456);
  EXPECT_EQ(Value::Real(12.34).ToCurrency().ten_thousandths, 123400);
  EXPECT_EQ(Value::Integer(5).ToCurrency().ten_thousandths, 50000);
  const Value null;
  ExpectRaises({
      {"null text", [&] { null.ToText(); }, err::kInvalidUseOfNull},
      {"null int16", [&] { null.ToInt16(); }, err::kInvalidUseOfNull},
      {"null int32", [&] { null.ToInt32(); }, err::kInvalidUseOfNull},
      {"null currency", [&] { null.ToCurrency(); }, err::kInvalidUseOfNull},
      {"int16 range", [] { Value::Integer(46001).ToInt16(); }, err::kOverflow},
      {"int32 range", [] { Value::Text("99999999999").ToInt32(); }, err::kOverflow},
      {"letters", [] { Value::Text("abc").ToInt16(); }, err::kTypeMismatch},
      {"empty", [] { Value::Text("").ToInt32(); }, err::kTypeMismatch},
      {"currency", [] { Value::Text("x").ToCurrency(); }, err::kTypeMismatch},
  });
}

TEST(ValueRendering, WritesEachValueWholeInsideItsOwnLiteral) {
  const auto rendered = [](auto&& build) {
    SqlStatement sql("x=");
    build(sql);
    return sql.Take();
  };
  const std::pair<std::string, std::string> cases[] = {
      {rendered([](SqlStatement& s) { s.Number(-1).Raw(",").Number(0).Raw(",").Number(12); }),
       "x=-1,0,12"},
      {rendered([](SqlStatement& s) { s.QuotedNumber(-7); }), "x='-7'"},
      {rendered([](SqlStatement& s) { s.Text("", "f"); }), "x=''"},
      {rendered([](SqlStatement& s) { s.Text("O'Brien ''x", "f"); }), "x='O''Brien ''''x'"},
      {rendered([](SqlStatement& s) { s.Text(" Ñandú ", "f"); }), "x=' Ñandú '"},
      {rendered([](SqlStatement& s) { s.Contains("5%_'", "f"); }), "x='%5%_''%'"},
      {rendered([](SqlStatement& s) { s.IntegerList(" 1, -2,3 ", "La lista"); }), "x= 1, -2,3 "},
      {rendered([](SqlStatement& s) { s.Amount(Currency::FromDecimal("-12.5")); }),
       "x=-12.5000"},
      {rendered([](SqlStatement& s) { s.Date({2024, 1, 31}, Dialect::SqlServer); }),
       "x='20240131'"},
      {rendered([](SqlStatement& s) { s.Date({2024, 1, 31}, Dialect::Sqlite); }),
       "x='2024-01-31'"},
      {rendered([](SqlStatement& s) { s.Date({2024, 1, 31}, Dialect::PostgreSql); }),
       "x='2024-01-31'"},
      {rendered([](SqlStatement& s) { s.Date({2024, 12, 5, 9, 7, 3}, Dialect::SqlServer); }),
       "x='20241205 09:07:03'"},
      {rendered([](SqlStatement& s) { s.Date({2024, 12, 5, 0, 0, 1}, Dialect::Sqlite); }),
       "x='2024-12-05 00:00:01'"},
  };
  for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
}

TEST(ValueRendering, RefusesTextThatCannotBeStoredAndListsThatAreNotIntegers) {
  const std::string kNotUtf8 = "El campo Nombre contiene texto que no es UTF-8 válido";
  const std::pair<std::string, std::string> cases[] = {
      {std::string("a\0b", 3), "El campo Nombre contiene un carácter nulo"},
      {"\xC3", kNotUtf8},              // cut short
      {"\xC0\xAF", kNotUtf8},          // overlong
      {"\xED\xA0\x80", kNotUtf8},      // surrogate
      {"\xF4\x90\x80\x80", kNotUtf8},  // above U+10FFFF
      {"\x80", kNotUtf8},              // stray continuation
  };
  for (const auto& [value, description] : cases) {
    SqlStatement sql("x=");
    const Error e = CaughtError([&] { sql.Text(value, "Nombre"); });
    EXPECT_EQ(e.Number(), error_number::kComponent);
    EXPECT_EQ(e.Description(), description);
    EXPECT_EQ(sql.text(), "x=");  // nothing of it was written
  }
  EXPECT_TRUE(IsValidUtf8("ñ€\xF0\x9F\x98\x80"));
  for (std::string_view list : {"", "1,", "1;2", "1) OR (1=1", "1 2"}) {
    EXPECT_EQ(CaughtError([&] { SqlStatement().IntegerList(list, "La lista"); }).Description(),
              "La lista '" + std::string(list) +
                  "' no es válida: se esperan números enteros separados por comas");
  }
}

TEST(ValueRendering, NumeroSqlIsShortestRoundTripWhateverTheLocale) {
  // A comma-decimal locale must not leak into statements.
  const bool has_locale = std::setlocale(LC_ALL, "es_ES.UTF-8") != nullptr ||
                          std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  const Utilidades& util = ThreadUtilidades();
  EXPECT_EQ(util.NumeroSQL(100), "100");
  EXPECT_EQ(util.NumeroSQL(0.1), "0.1");
  EXPECT_EQ(util.NumeroSQL(-1234.5678), "-1234.5678");
  EXPECT_EQ(util.NumeroSQL(Currency::FromDecimal("99.99").ToDouble()), "99.99");
  EXPECT_EQ(util.NumeroSQL(100000), "100000");
  if (has_locale) std::setlocale(LC_ALL, "C");
  EXPECT_EQ(&ThreadUtilidades(), &util);  // one object per thread
}

}  // namespace
}  // namespace vornexa
