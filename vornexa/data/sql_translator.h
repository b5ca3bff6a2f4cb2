// Rewrites the SQL Server constructs that the library's statements use into
// another database's dialect. Works on tokens, so string literals, quoted
// identifiers and comments are never touched.
#ifndef VORNEXA_DATA_SQL_TRANSLATOR_H_
#define VORNEXA_DATA_SQL_TRANSLATOR_H_

#include <string>
#include <string_view>
#include <vector>

#include "vornexa/data/connection.h"
#include "vornexa/data/sql_tokenizer.h"

namespace vornexa {

// Splits `sql` into tokens whose texts, joined, give `sql` back exactly.
std::vector<SqlToken> TokenizeSql(std::string_view sql);

// Whether `token` is a literal, quoted name or block comment that the text
// ends inside.
bool IsUnclosedToken(const SqlToken& token);

// SQL Server text for `target`: unchanged for SqlServer; for SQLite and
// PostgreSQL, `TOP n` or `TOP (n)` becomes `LIMIT n` of the same SELECT (at any nesting
// depth), `WITH (NOLOCK)` is dropped and `ISNULL(` becomes `IFNULL(` (SQLite)
// or `COALESCE(` (PostgreSQL). PostgreSQL also gets `ILIKE` for `LIKE`, so
// that patterns match without regard to case as under SQL Server's usual
// collations (SQLite's LIKE already does for ASCII letters). SQLite, which
// has no CONCAT, gets `(IFNULL(a, '') || IFNULL(b, ''))` for `CONCAT(a, b)`,
// a NULL taken as '' as SQL Server takes it. A TOP that no LIMIT can express
// (TOP … PERCENT, WITH TIES, a TOP of no number, a SELECT of a UNION, EXCEPT
// or INTERSECT, a text that ends inside an unclosed literal) raises
// -2147217900 instead of changing what the statement means.
std::string TranslateSql(std::string_view sql, Dialect target);

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQL_TRANSLATOR_H_
