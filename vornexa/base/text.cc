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

bool DecodeUtf8(std::string_view text, size_t* at, char32_t* code) {
  const size_t start = *at;
  const unsigned char lead = static_cast<unsigned char>(text[start]);
  if (lead < 0x80) {
    *code = lead;
    *at = start + 1;
    return true;
  }
  // Length of the sequence and the smallest code point it may hold.
  size_t length;
  char32_t value;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (text.size() - start < length) return false;
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(text[start + k])) return false;
    value = (value << 6) | (static_cast<unsigned char>(text[start + k]) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code = value;
  *at = start + length;
  return true;
}

bool IsValidUtf8(std::string_view text) {
  // Most text is ASCII: it is checked a byte at a time, without decoding.
  size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
  char32_t code;
  while (at < text.size()) {
    if (!DecodeUtf8(text, &at, &code)) return false;
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
