// Statement text: the application's fixed fragments, verbatim, joined with
// values. Only this builder turns a value into text, and it writes each value
// whole: text and dates with their own apostrophes (an apostrophe inside
// doubled), numbers as bare digits. So no value can end up outside its
// literal, whatever fragment comes before or after it.
//
// Text that the database could not store and give back exactly (invalid
// UTF-8, an embedded NUL) is refused before the statement exists, with error
// 1000 naming the field, so nothing unstorable ever reaches a database.
#ifndef VORNEXA_CONTEXT_SQL_STATEMENT_H_
#define VORNEXA_CONTEXT_SQL_STATEMENT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "vornexa/base/types.h"
#include "vornexa/data/connection.h"

namespace vornexa {

// The application's per-thread utility object, of which the library uses one
// operation: the text of a number for a statement.
class Utilidades {
 public:
  // The shortest decimal text that reads back as `value`, whatever the locale.
  std::string NumeroSQL(double value) const;
};

// The calling thread's utility object, created on first use.
const Utilidades& ThreadUtilidades();

class SqlStatement {
 public:
  SqlStatement() = default;
  // Room for the values after the head is reserved at once: with compiled
  // statements reused, building the text is much of what a lookup costs.
  explicit SqlStatement(std::string_view head) {
    text_.reserve(head.size() + 96);
    text_ = head;
  }

  // A fixed fragment of the statement, appended as it stands.
  SqlStatement& Raw(std::string_view fragment);
  // -1, 0, 12.
  SqlStatement& Number(int64_t value);
  // '12': a number some statements give between apostrophes.
  SqlStatement& QuotedNumber(int64_t value);
  // 'O''Brien'. `field` names the value in the refusal of unstorable text.
  SqlStatement& Text(std::string_view value, std::string_view field);
  // '%value%': a contains-match whose own wildcards keep their meaning.
  SqlStatement& Contains(std::string_view value, std::string_view field);
  // A date the dialect's database reads unambiguously: '20240131' on SQL
  // Server, '2024-01-31' elsewhere, with ' HH:MM:SS' when not midnight. A
  // date that does not exist (30 February, month 13, hour 24) raises 5, so
  // no statement is built on it.
  SqlStatement& Date(const vornexa::Date& value, Dialect dialect);
  // A number read from the database, written back bare as it came ("7",
  // "007", "2.50") so nothing is lost to a conversion. Raises 13 unless it is
  // a plain decimal: anything else could change the statement around it.
  SqlStatement& Numeral(std::string_view text);
  // An exact amount, bare: 12.3400, -0.5000.
  SqlStatement& Amount(Currency value);
  // The utility object's text of `value`, bare.
  SqlStatement& Decimal(const Utilidades& utilidades, double value);
  // A list of integers separated by commas (blanks allowed around each),
  // appended as it stands. Anything else is refused with error 1000:
  // "<what> '<list>' no es válida: se esperan números enteros separados por comas".
  SqlStatement& IntegerList(std::string_view list, std::string_view what);

  const std::string& text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  // A text literal with `wildcard` inside each apostrophe.
  SqlStatement& AppendLiteral(std::string_view value, std::string_view field,
                              std::string_view wildcard);

  std::string text_;
};

// A list of values after a head that opens it ("INSERT ... VALUES ("):
// values separated by ", ", the list closed by ")".
class ValueList {
 public:
  explicit ValueList(std::string_view head) : sql_(head) {}
  // The statement, ready for the next value.
  SqlStatement& Next() {
    if (!first_) sql_.Raw(", ");
    first_ = false;
    return sql_;
  }
  std::string Close() { return sql_.Raw(")").Take(); }

 private:
  SqlStatement sql_;
  bool first_ = true;
};

// Raises error 1000 naming `field` unless `value` is text a database stores
// and gives back exactly: valid UTF-8 without a NUL character.
void RequireStorableText(std::string_view value, std::string_view field);

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_SQL_STATEMENT_H_
