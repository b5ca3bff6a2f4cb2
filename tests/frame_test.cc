// Errors, value types, text helpers, value rendering and the shared connection.
#include <gtest/gtest.h>

#include <clocale>
#include <thread>

#include "support/caught_error.h"
#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/base/text.h"
#include "vornexa/base/types.h"

namespace vornexa {
namespace {

using testing::CaughtError;

TEST(ErrorTrap, KeepsNumberAndDescriptionAndTakesTheOperationsSource) {
  const Error e = CaughtError([] {
    Trap("Cuentas::Insertar", [] { throw Error(1000, "Cuentas::Modificar", "Mensaje"); });
  });
  EXPECT_EQ(e.Number(), 1000);
  EXPECT_EQ(e.Source(), "Cuentas::Insertar");
  EXPECT_EQ(e.Description(), "Mensaje");
  EXPECT_STREQ(e.what(), "error 1000 (Cuentas::Insertar): Mensaje");
}

TEST(ErrorTrap, TurnsForeignExceptionsIntoDescribedErrors) {
  const Error internal = CaughtError([] {
    Trap("Cuentas::Cargar", [] { throw std::logic_error("roto"); });
  });
  EXPECT_EQ(internal.Number(), error_number::kInternal);
  EXPECT_EQ(internal.Source(), "Cuentas::Cargar");
  EXPECT_EQ(internal.Description(), "Error interno: roto");

  const Error memory = CaughtError([] { Trap("Cuentas::Cargar", [] { throw std::bad_alloc(); }); });
  EXPECT_EQ(memory.Number(), error_number::kOutOfMemory);
  EXPECT_EQ(memory.Description(), "Memoria insuficiente");
}

TEST(ErrorTrap, PassesTheBodysResultThrough) {
  EXPECT_EQ(Trap("x", [] { return 42; }), 42);
}

TEST(RuntimeErrors, CarryTheRuntimesSpanishDescriptions) {
  const std::pair<int32_t, const char*> expected[] = {
      {5, "Llamada a procedimiento o argumento no válido"},
      {6, "Desbordamiento"},
      {13, "No coinciden los tipos"},
      {91, "Variable de objeto o bloque With no establecido"},
      {94, "Uso no válido de Null"},
  };
  for (const auto& [number, description] : expected) {
    const Error e = CaughtError([number = number] { RaiseRuntimeError(number); });
    EXPECT_EQ(e.Number(), number);
    EXPECT_EQ(e.Description(), description);
  }
}

TEST(CurrencyValue, ParsesAndPrintsDecimalsExactly) {
  EXPECT_EQ(Currency::FromDecimal("12.34").ten_thousandths, 123400);
  EXPECT_EQ(Currency::FromDecimal("-0.0001").ten_thousandths, -1);
  EXPECT_EQ(Currency::FromDecimal("7").ToString(), "7.0000");
  EXPECT_EQ(Currency::FromDecimal("-1234.5").ToString(), "-1234.5000");
  EXPECT_EQ(Currency{INT64_MIN}.ToString(), "-922337203685477.5808");
  EXPECT_EQ(Currency::FromDecimal("922337203685477.5807").ten_thousandths, INT64_MAX);
}

TEST(CurrencyValue, RoundsHalfToEvenAtTheFourthDecimal) {
  EXPECT_EQ(Currency::FromDecimal("0.00005").ten_thousandths, 0);
  EXPECT_EQ(Currency::FromDecimal("0.00015").ten_thousandths, 2);
  EXPECT_EQ(Currency::FromDecimal("0.000051").ten_thousandths, 1);
  EXPECT_EQ(Currency::FromDecimal("-0.00015").ten_thousandths, -2);
  EXPECT_EQ(Currency::FromDouble(0.00025).ten_thousandths, 2);
  EXPECT_EQ(Currency::FromDouble(12.34).ten_thousandths, 123400);
  EXPECT_EQ(Currency::FromDouble(-1.23456).ten_thousandths, -12346);
}

TEST(CurrencyValue, RejectsTextThatIsNoNumberAndOverflow) {
  for (const char* bad : {"", "-", "1.2.3", "12a", "1,5", " 1"}) {
    EXPECT_EQ(CaughtError([bad] { Currency::FromDecimal(bad); }).Number(), 13) << bad;
  }
  EXPECT_EQ(CaughtError([] { Currency::FromDecimal("922337203685477.5808"); }).Number(), 6);
  EXPECT_EQ(CaughtError([] { Currency::FromDouble(1e20); }).Number(), 6);
  EXPECT_EQ(CaughtError([] { Currency{INT64_MAX} + Currency{1}; }).Number(), 6);
  EXPECT_EQ(CaughtError([] { Currency{INT64_MIN} - Currency{1}; }).Number(), 6);
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

// A connection that only answers who it is.
class NamedConnection : public Connection {
 public:
  explicit NamedConnection(int id) : id(id) {}
  int64_t Execute(std::string_view) override { return id; }
  std::unique_ptr<Recordset> Open(std::string_view, Cursor) override { return nullptr; }
  Dialect SqlDialect() const override { return Dialect::Sqlite; }
  void BeginAtomic() override {}
  void CommitAtomic() override {}
  void RollbackAtomic() override {}
  int id;
};

TEST(SharedConnection, GroupStoresOnlyWhenEmptyAccountAlwaysReplaces) {
  auto a = std::make_shared<NamedConnection>(1);
  auto b = std::make_shared<NamedConnection>(2);
  ReplaceSharedConnection(nullptr);
  StoreSharedConnectionIfUnset(a);
  StoreSharedConnectionIfUnset(b);
  EXPECT_EQ(ExecuteShared("x"), 1);
  ReplaceSharedConnection(b);
  EXPECT_EQ(ExecuteShared("x"), 2);
  StoreSharedConnectionIfUnset(nullptr);  // ignored while one is stored
  EXPECT_EQ(ExecuteShared("x"), 2);
  ReplaceSharedConnection(nullptr);  // an empty reference clears
  EXPECT_EQ(SharedConnection(), nullptr);
}

TEST(SharedConnection, MissingConnectionFailsLikeThePlatform) {
  ReplaceSharedConnection(nullptr);
  const Error execute = CaughtError([] { ExecuteShared("DELETE FROM Cuentas"); });
  EXPECT_EQ(execute.Number(), 91);
  const Error open = CaughtError([] { OpenShared("SELECT 1"); });
  EXPECT_EQ(open.Number(), -2146824579);
  EXPECT_EQ(open.Description(),
            "No se puede usar la conexión para realizar esta operación. Está cerrada o no es "
            "válida en este contexto.");
}

TEST(SharedConnection, IsOnePerThread) {
  ReplaceSharedConnection(std::make_shared<NamedConnection>(1));
  int seen_on_other_thread = -1;
  bool other_had_none = false;
  std::thread other([&] {
    other_had_none = SharedConnection() == nullptr;
    ReplaceSharedConnection(std::make_shared<NamedConnection>(2));
    seen_on_other_thread = static_cast<int>(ExecuteShared("x"));
  });
  other.join();
  EXPECT_TRUE(other_had_none);
  EXPECT_EQ(seen_on_other_thread, 2);
  EXPECT_EQ(ExecuteShared("x"), 1);  // this thread's connection was not touched
  ReplaceSharedConnection(nullptr);
}

}  // namespace
}  // namespace vornexa
