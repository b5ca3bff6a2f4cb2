// The global options: which database the tool works on (an embedded file
// with --db, or a server reached through ODBC with --odbc and --dialecto),
// the company, the exercise and --json.
#ifndef TOOLS_VORNEXA_GLOBAL_OPTIONS_H_
#define TOOLS_VORNEXA_GLOBAL_OPTIONS_H_

#include <CLI/CLI.hpp>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

// Adds the global options to the top-level app, filling `options`.
// Contradictory choices (--db with --odbc, a --dialecto without a
// connection it could apply to, an empty --odbc, a --db that is no plain
// file path) are usage errors, raised once parsing ends and before any
// command runs. Then VORNEXA_EMPRESA stands in for a missing --empresa; a
// value that is no company code raises 13 or 6 naming the variable. Takes
// the app's parse-complete callback for that.
void AddGlobalOptions(CLI::App& app, GlobalOptions& options);

// Makes `--name=` (an `=` with nothing after it) the option's empty value:
// CLI11 would otherwise take the next argument as the value. Arguments after
// a lone "--" are left as they are.
std::vector<std::string> EmptyValuesExplicit(int argc, char** argv);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_GLOBAL_OPTIONS_H_
