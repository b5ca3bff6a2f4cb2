// Text across the ODBC boundary. The library holds UTF-8; the driver manager's
// wide-character calls take UTF-16 (SQLWCHAR), which every Unicode driver
// accepts whatever the process locale, so no character is lost on the way.
#ifndef VORNEXA_DATA_ODBC_TEXT_H_
#define VORNEXA_DATA_ODBC_TEXT_H_

#include <sqltypes.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vornexa::odbc {

// UTF-16 text ending in a terminating zero unit, ready for SQL_NTS calls.
using WideText = std::vector<SQLWCHAR>;

// `utf8` as UTF-16. Raises -2147217900 naming the byte offset when `utf8` is
// not well-formed UTF-8: text that cannot be encoded is refused, not altered.
WideText ToWide(std::string_view utf8);

// `count` UTF-16 units as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string FromWide(const SQLWCHAR* text, size_t count);

}  // namespace vornexa::odbc

#endif  // VORNEXA_DATA_ODBC_TEXT_H_
