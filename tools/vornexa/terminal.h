// What standard output is: a terminal of some width, or a file or pipe. Views
// for people fit the terminal; what goes elsewhere stays plain and whole.
#ifndef TOOLS_VORNEXA_TERMINAL_H_
#define TOOLS_VORNEXA_TERMINAL_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vornexa::cli {

// Columns of the terminal on standard output (the COLUMNS variable, else 80,
// when the terminal does not say); none when standard output is no terminal.
std::optional<size_t> TerminalWidth();

// `text` cut to `width` characters, its last one an ellipsis when cut.
std::string FitWidth(std::string_view text, size_t width);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_TERMINAL_H_
