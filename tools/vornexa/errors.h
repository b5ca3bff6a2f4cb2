// How the tool reports failures: every failure, the library's or its own, is
// one vornexa::Error, printed as one line on standard error.
#ifndef TOOLS_VORNEXA_ERRORS_H_
#define TOOLS_VORNEXA_ERRORS_H_

#include <iosfwd>
#include <string>
#include <string_view>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

// Exit status of a command that failed.
inline constexpr int kExitFailure = 1;

// Raises the tool's own check failure: number 1000, like the library's checks.
[[noreturn]] void Fail(std::string_view source, std::string description);

// Writes the error's one-line report (Error::what()) and a newline to `out`.
void PrintError(std::ostream& out, const Error& error);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ERRORS_H_
