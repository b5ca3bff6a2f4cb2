// The argument parser's refusals in the tool's language. CLI11 words its own
// messages in English; each kind is said again in Spanish from what its
// message names (the option, the values), and the tool's own refusals, already
// Spanish, pass as they are.
#ifndef TOOLS_VORNEXA_USAGE_MESSAGES_H_
#define TOOLS_VORNEXA_USAGE_MESSAGES_H_

#include <CLI/CLI.hpp>

#include <string>

namespace vornexa::cli {

// What the tool prints for a refused command line: the message, then where to
// find help for the command the user was writing ("vornexa cuenta ver --help").
// `app` is the tool's top-level app, after the failed parse.
std::string UsageMessage(const CLI::App& app, const CLI::Error& error);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_USAGE_MESSAGES_H_
