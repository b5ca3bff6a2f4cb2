#include "com/src/automation_values.h"

#include <windows.h>

#include <new>

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

namespace vornexa::com {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at `*at` of text written by FromBstr: well-formed UTF-8, or
// the three bytes of a lone surrogate (anything else, which the engine never
// gives, reads as U+FFFD a byte at a time).
char32_t NextCharacter(std::string_view text, size_t* at) {
  char32_t code;
  if (DecodeUtf8(text, at, &code)) return code;
  const size_t start = *at;
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[start + k]); };
  ++*at;
  if (text.size() - start < 3 || byte(0) != 0xED || byte(1) < 0xA0 || byte(1) > 0xBF ||
      (byte(2) & 0xC0) != 0x80) {
    return kReplacement;
  }
  *at += 2;
  return 0xD000 | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
}

}  // namespace

BSTR ToBstrOrNull(std::string_view utf8) noexcept {
  size_t units = 0;
  for (size_t at = 0; at < utf8.size();) units += NextCharacter(utf8, &at) > 0xFFFF ? 2 : 1;
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units));
  if (result == nullptr) return nullptr;
  wchar_t* out = result;
  for (size_t at = 0; at < utf8.size();) {
    const char32_t code = NextCharacter(utf8, &at);
    if (code > 0xFFFF) {
      *out++ = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
      *out++ = static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      *out++ = static_cast<wchar_t>(code);
    }
  }
  return result;
}

BSTR ToBstr(std::string_view utf8) {
  BSTR result = ToBstrOrNull(utf8);
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

std::string FromBstr(const wchar_t* text) {
  std::string result;
  if (text == nullptr) return result;
  const size_t units = SysStringLen(const_cast<BSTR>(text));
  result.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (code < 0x80) {
      result += static_cast<char>(code);
    } else if (code < 0x800) {
      result += static_cast<char>(0xC0 | (code >> 6));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {  // a lone surrogate too
      result += static_cast<char>(0xE0 | (code >> 12));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      result += static_cast<char>(0xF0 | (code >> 18));
      result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return result;
}

Date FromAutomationDate(DATE value) {
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(value, &time)) return Date{0, 0, 0};
  return Date{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

Value ToFieldValue(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
      return Value();
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UINT: case VT_BOOL: {
      VARIANT number;
      VariantInit(&number);
      VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I8);
      return Value::Integer(V_I8(&number));
    }
    case VT_R4: case VT_R8: {
      VARIANT number;
      VariantInit(&number);
      VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_R8);
      return Value::Real(V_R8(&number));
    }
    case VT_CY:
      return Value::Text(FromAutomationCurrency(V_CY(&value)).ToString());
    case VT_BSTR:
      return Value::Text(FromBstr(V_BSTR(&value)));
    default: {
      // Decimal, dates and anything else: the invariant text form.
      VARIANT text;
      VariantInit(&text);
      if (FAILED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0,
                                     VT_BSTR))) {
        RaiseRuntimeError(error_number::kTypeMismatch);
      }
      Value result = Value::Text(FromBstr(V_BSTR(&text)));
      VariantClear(&text);
      return result;
    }
  }
}

}  // namespace vornexa::com
