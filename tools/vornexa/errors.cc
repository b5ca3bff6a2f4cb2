#include "tools/vornexa/errors.h"

#include <ostream>

namespace vornexa::cli {

void Fail(std::string_view source, std::string description) {
  RaiseComponentError(source, std::move(description));
}

std::string FormatError(const Error& error) {
  std::string description;
  description.reserve(error.Description().size());
  for (char c : error.Description()) {
    if (c == '\r') continue;  // a CR LF pair becomes one blank
    description += c == '\n' ? ' ' : c;
  }
  return "error " + std::to_string(error.Number()) + " (" + error.Source() + "): " + description;
}

void PrintError(std::ostream& out, const Error& error) { out << FormatError(error) << '\n'; }

}  // namespace vornexa::cli
