// How values are written into statement text. Each function gives the bare
// literal; the apostrophes around text and dates belong to the statement's
// own fragments, which stay exactly as the application's statements read.
#ifndef VORNEXA_CONTEXT_SQL_VALUES_H_
#define VORNEXA_CONTEXT_SQL_VALUES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "vornexa/data/connection.h"
#include "vornexa/base/types.h"

namespace vornexa {

// Decimal digits, a minus sign in front of a negative value.
std::string SqlInteger(int64_t value);

// The text as it stands, except that each apostrophe is doubled, so that no
// value can end its literal early. Goes between apostrophes.
std::string SqlText(std::string_view value);

// A date the dialect's database reads unambiguously: 'YYYYMMDD' for SQL
// Server, 'YYYY-MM-DD' otherwise, with ' HH:MM:SS' only when the time is not
// midnight. Goes between apostrophes. A date that does not exist (30
// February, month 13, hour 24) raises 5, so that no statement is built on it.
std::string SqlDate(const Date& value, Dialect dialect);

// A number read from the database, written back as it came ("7", "007",
// "2.50"), so that nothing is lost to a conversion. Raises 13 when the text is
// not a plain decimal (a sign, digits, an optional fraction): anything else
// could change the statement around it. Goes into the statement bare.
std::string SqlNumeral(std::string_view text);

// The shortest decimal text that reads back as the same double, whatever the
// process locale. Goes into the statement bare.
std::string SqlDouble(double value);

// The application's per-thread utility object, of which the library uses one
// operation: the text of a number for a statement.
class Utilidades {
 public:
  std::string NumeroSQL(double value) const { return SqlDouble(value); }
};

// The calling thread's utility object, created on first use.
const Utilidades& ThreadUtilidades();

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_SQL_VALUES_H_
