#include "tools/vornexa/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

std::optional<size_t> TerminalWidth() {
  if (isatty(STDOUT_FILENO) != 1) return std::nullopt;
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  const char* columns = std::getenv("COLUMNS");
  const long value = columns != nullptr ? std::strtol(columns, nullptr, 10) : 0;
  return value > 0 ? static_cast<size_t>(value) : 80;
}

std::string FitWidth(std::string_view text, size_t width) {
  if (CharCount(text) <= width) return std::string(text);
  if (width == 0) return "";
  return std::string(LeftChars(text, width - 1)) + "…";
}

}  // namespace vornexa::cli
