// The parameteriser's memory of shapes on any pair of texts: after it has
// split the first line, the rest splits exactly as a fresh parse splits it,
// whether or not it takes the remembered shape.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "vornexa/data/statement_parameters.h"

namespace {

using vornexa::ParameterisedStatement;

std::string Describe(bool split, const ParameterisedStatement& statement) {
  if (!split) return "(as text)";
  std::string out = statement.skeleton;
  for (const vornexa::StatementParameter& parameter : statement.parameters) {
    out += parameter.is_integer ? " int " + std::to_string(parameter.integer)
                                : " text [" + parameter.text + "]";
    out += " at " + std::to_string(parameter.marker);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return 0;
  const std::string_view first = input.substr(0, newline);
  const std::string_view second = input.substr(newline + 1);

  vornexa::StatementParameteriser parameteriser;
  ParameterisedStatement remembered;
  ParameterisedStatement fresh;
  for (const std::string_view text : {first, second, first}) {
    const bool split = parameteriser.Parameterise(text, &remembered);
    const bool fresh_split = vornexa::ParameteriseStatement(text, &fresh);
    FUZZ_CHECK(Describe(split, remembered) == Describe(fresh_split, fresh),
               std::string(text) + "\n  after: " + std::string(first));
  }
  return 0;
}
