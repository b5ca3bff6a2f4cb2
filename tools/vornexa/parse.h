// Reading what the user typed: numbers, number lists, ISO dates and amounts.
// Each failure is an Error with the runtime's number (13 for text that is no
// number, 6 for a number out of range) and a description naming the input.
#ifndef TOOLS_VORNEXA_PARSE_H_
#define TOOLS_VORNEXA_PARSE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

// `what` names the input in the description ("el campo Cp", "--dpto").
int16_t ParseInt16(std::string_view text, std::string_view what, std::string_view source);
int32_t ParseInt32(std::string_view text, std::string_view what, std::string_view source);
// "2024, 2025": integers separated by commas, blanks allowed around them.
std::vector<int16_t> ParseInt16List(std::string_view text, std::string_view what,
                                    std::string_view source);
// "2025-03-31".
Date ParseIsoDate(std::string_view text, std::string_view what, std::string_view source);
// "1234.56" or "1234,56" (no thousands separators).
Currency ParseAmount(std::string_view text, std::string_view what, std::string_view source);

// "2024,2025".
std::string JoinNumbers(const std::vector<int16_t>& numbers);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_PARSE_H_
