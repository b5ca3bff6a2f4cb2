#include "vornexa/data/odbc_text.h"

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

namespace vornexa::odbc {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

[[noreturn]] void RejectUtf8(size_t offset) {
  throw Error(error_number::kStatementRejected, std::string(kDataSource),
              "El texto no es UTF-8 válido (byte " + std::to_string(offset) + ")");
}

// Decodes the code point at `*at`, advancing past it; raises on a malformed,
// overlong or surrogate sequence.
char32_t DecodeUtf8(std::string_view text, size_t* at) {
  char32_t code;
  if (!vornexa::DecodeUtf8(text, at, &code)) RejectUtf8(*at);
  return code;
}

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

WideText ToWide(std::string_view utf8) {
  WideText wide;
  wide.reserve(utf8.size() + 1);
  for (size_t at = 0; at < utf8.size();) {
    const char32_t code = DecodeUtf8(utf8, &at);
    if (code < 0x10000) {
      wide.push_back(static_cast<SQLWCHAR>(code));
    } else {
      const char32_t offset = code - 0x10000;
      wide.push_back(static_cast<SQLWCHAR>(0xD800 + (offset >> 10)));
      wide.push_back(static_cast<SQLWCHAR>(0xDC00 + (offset & 0x3FF)));
    }
  }
  wide.push_back(0);
  return wide;
}

std::string FromWide(const SQLWCHAR* text, size_t count) {
  std::string utf8;
  utf8.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00), &utf8);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(kReplacement, &utf8);
    } else {
      AppendUtf8(unit, &utf8);
    }
  }
  return utf8;
}

}  // namespace vornexa::odbc
