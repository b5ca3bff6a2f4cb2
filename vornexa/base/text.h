// Character-exact text helpers. Strings hold UTF-8; wherever the library
// counts, cuts or trims text it works in Unicode characters, not bytes, and
// trims blanks (U+0020) only.
#ifndef VORNEXA_BASE_TEXT_H_
#define VORNEXA_BASE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vornexa {

// Number of characters (code points) of `text`.
size_t CharCount(std::string_view text);
// The first `count` characters (all of them when `text` is shorter).
std::string_view LeftChars(std::string_view text, size_t count);
// The last `count` characters (all of them when `text` is shorter).
std::string_view RightChars(std::string_view text, size_t count);
// `text` without leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

// Decodes the character at `*at` into `*code` and moves `*at` past it.
// False, moving nothing, on a sequence that is not well-formed UTF-8: a stray
// or missing continuation byte, an overlong form, a surrogate, or a code
// point above U+10FFFF.
bool DecodeUtf8(std::string_view text, size_t* at, char32_t* code);
// Whether all of `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The shortest decimal digits that read back as `value`, never in exponent
// form ("0.0001", not "1e-04") and whatever the process locale.
std::string ShortestDecimalText(double value);

}  // namespace vornexa

#endif  // VORNEXA_BASE_TEXT_H_
