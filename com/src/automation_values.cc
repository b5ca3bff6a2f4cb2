#include "com/src/automation_values.h"

#include <windows.h>

#include <new>

#include "vornexa/base/error.h"

namespace vornexa::com {

BSTR ToBstr(std::string_view utf8) {
  const int size = static_cast<int>(utf8.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units));
  if (result == nullptr) throw std::bad_alloc();
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result, units);
  return result;
}

std::string FromBstr(const wchar_t* text) {
  if (text == nullptr) return {};
  const int units = static_cast<int>(SysStringLen(const_cast<BSTR>(text)));
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, units, result.data(), bytes, nullptr, nullptr);
  return result;
}

Date FromAutomationDate(DATE value) {
  SYSTEMTIME time;
  if (!VariantTimeToSystemTime(value, &time)) RaiseRuntimeError(error_number::kInvalidArgument);
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
