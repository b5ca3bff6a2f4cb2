#include "vornexa/base/text.h"

#include <charconv>

namespace vornexa {

namespace {

// A byte that continues a multi-byte sequence rather than starting a character.
bool IsContinuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

size_t CharCount(std::string_view text) {
  size_t count = 0;
  for (char byte : text) count += IsContinuation(byte) ? 0 : 1;
  return count;
}

std::string_view LeftChars(std::string_view text, size_t count) {
  size_t end = 0;
  for (size_t seen = 0; end < text.size(); ++end) {
    if (!IsContinuation(text[end]) && seen++ == count) break;
  }
  return text.substr(0, end);
}

std::string_view RightChars(std::string_view text, size_t count) {
  size_t begin = text.size();
  for (size_t seen = 0; begin > 0 && seen < count;) {
    --begin;
    if (!IsContinuation(text[begin])) ++seen;
  }
  return text.substr(begin);
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // Length of the sequence and the smallest code point it may hold.
    size_t length;
    char32_t code;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      if (!IsContinuation(text[i + k])) return false;
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string ShortestDecimalText(double value) {
  char buffer[400];  // enough for the widest double in fixed notation
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

}  // namespace vornexa
