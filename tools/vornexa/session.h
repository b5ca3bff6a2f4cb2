// What every command starts from: the global options, the open database with
// the library's tables and the tool's company table, and the chosen company.
#ifndef TOOLS_VORNEXA_SESSION_H_
#define TOOLS_VORNEXA_SESSION_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <vornexa/vornexa.h>

#include "tools/vornexa/stored_company.h"

namespace vornexa::cli {

inline constexpr std::string_view kDefaultDatabase = "vornexa.db";

struct GlobalOptions {
  std::optional<std::string> database;     // --db, when given on the command line
  std::optional<std::string> odbc;         // --odbc, likewise
  std::optional<Dialect> dialect;          // --dialecto, likewise
  int16_t company = 1;                     // --empresa
  std::optional<int16_t> exercise;         // --ejercicio: this run's active exercise
  bool json = false;                       // --json
  std::string program = "vornexa";         // as the user called it, for hints
};

// What the command line says wins over what the environment says: --odbc,
// else --db, else VORNEXA_ODBC, else VORNEXA_DB, else vornexa.db in the
// working directory. (--odbc with --db is refused while parsing.)

// The ODBC connection string to work through; none for an embedded file.
std::optional<std::string> OdbcConnectionString(const GlobalOptions& options);

// The embedded database file to work on, when there is no ODBC connection.
// Error 1000 naming VORNEXA_DB when that variable holds no plain file path.
std::string DatabasePath(const GlobalOptions& options);

// Why `path` cannot name a database file (empty or blank, or a name that
// SQLite would take as a URI or an in-memory database); empty when it can.
std::string DatabasePathProblem(const std::string& path);

// The database behind the ODBC connection: --dialecto, else the
// environment's VORNEXA_DIALECTO, else SQL Server. Error 1000 for a
// VORNEXA_DIALECTO that names no dialect.
Dialect OdbcDialect(const GlobalOptions& options);

// The dialect called `name` (kDialectNames, any letter case); none for
// another name.
std::optional<Dialect> DialectNamed(std::string_view name);
inline constexpr std::string_view kDialectNames = "sqlserver, postgresql o sqlite";

// Opens the database the options name, an ODBC connection or an embedded
// file (created on first use), and creates the library's tables and the
// tool's company table where they are missing.
std::shared_ptr<Connection> OpenDatabase(const GlobalOptions& options);
// The same for an embedded file named directly.
std::shared_ptr<Connection> OpenDatabase(const std::string& path);

// Raises 1000 from `source` unless `code` (blanks around it aside) is an
// account code as a user types it: digits, with one point in a short form.
// The library takes any text; the tool keeps stray characters out.
void CheckCodeText(std::string_view code, std::string_view source);

class Session {
 public:
  // Opens the database, reads the company (error 1000 when it does not
  // exist) and hands the connection to this thread's library objects.
  static Session Open(const GlobalOptions& options);

  Connection& connection() const { return *connection_; }
  StoredCompany& company() const { return *company_; }
  // The same company, for the library's operations on the chart as a whole.
  const std::shared_ptr<StoredCompany>& shared_company() const { return company_; }
  bool json() const { return json_; }

  // An account object working for the session's company.
  clsCuenta NewAccount() const;
  // An account object whose Cuenta is `typed`, a short code with a point
  // expanded to a detail account ("43.5" -> "43000005").
  clsCuenta Account(const std::string& typed, std::string_view source) const;
  // The code as typed, or expanded when it holds a point. Error 1000 (5 when
  // the short form is longer than a detail account) when it cannot be or
  // when it is no code (CheckCodeText).
  std::string ExpandCode(const std::string& typed, std::string_view source) const;

 private:
  Session(std::shared_ptr<Connection> connection, std::shared_ptr<StoredCompany> company,
          bool json)
      : connection_(std::move(connection)), company_(std::move(company)), json_(json) {}

  std::shared_ptr<Connection> connection_;
  std::shared_ptr<StoredCompany> company_;
  bool json_;
};

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_SESSION_H_
