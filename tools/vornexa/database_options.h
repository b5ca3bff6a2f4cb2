// The global options that say which database the tool works on: an embedded
// file (--db) or a server reached through ODBC (--odbc, --dialecto).
#ifndef TOOLS_VORNEXA_DATABASE_OPTIONS_H_
#define TOOLS_VORNEXA_DATABASE_OPTIONS_H_

#include <CLI/CLI.hpp>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

// Adds --db, --odbc and --dialecto to the top-level app, filling `options`.
// Contradictory choices (--db with --odbc, a --dialecto without a
// connection it could apply to, an empty --odbc) are usage errors, raised
// once parsing ends and before any command runs. Takes the app's
// parse-complete callback for that.
void AddDatabaseOptions(CLI::App& app, GlobalOptions& options);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_DATABASE_OPTIONS_H_
