#include "tools/vornexa/errors.h"

#include <ostream>

namespace vornexa::cli {

void Fail(std::string_view source, std::string description) {
  RaiseComponentError(source, std::move(description));
}

void PrintError(std::ostream& out, const Error& error) { out << error.what() << '\n'; }

}  // namespace vornexa::cli
