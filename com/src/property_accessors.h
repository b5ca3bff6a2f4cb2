// The read and write accessors of a public field, as entries of a dual
// table, generated from a pointer to the engine object's member: String as
// BSTR, Integer as short, Long as long, Boolean as VARIANT_BOOL (True -1).
// Field accessors trap nothing, as the engine's fields raise nothing.
#ifndef VORNEXA_COM_PROPERTY_ACCESSORS_H_
#define VORNEXA_COM_PROPERTY_ACCESSORS_H_

#include <oaidl.h>

#include <cstdint>
#include <string>

#include "com/src/automation_object.h"
#include "com/src/automation_values.h"

namespace vornexa::com {

template <typename T>
struct AutomationForm;

template <>
struct AutomationForm<std::string> {
  using Type = BSTR;
  static BSTR Out(const std::string& value) { return ToBstr(value); }
  static std::string In(BSTR value) { return FromBstr(value); }
};

template <>
struct AutomationForm<int16_t> {
  using Type = SHORT;
  static SHORT Out(int16_t value) { return value; }
  static int16_t In(SHORT value) { return value; }
};

template <>
struct AutomationForm<int32_t> {
  using Type = LONG;
  static LONG Out(int32_t value) { return value; }
  static int32_t In(LONG value) { return value; }
};

template <>
struct AutomationForm<bool> {
  using Type = VARIANT_BOOL;
  static VARIANT_BOOL Out(bool value) { return ToVariantBool(value); }
  static bool In(VARIANT_BOOL value) { return value != VARIANT_FALSE; }
};

template <typename Member>
struct MemberTraits;

template <typename Class, typename T>
struct MemberTraits<T Class::*> {
  using Value = T;
};

// Object::engine is the engine object whose `Member` the accessors reach.
template <typename Object, auto Member>
struct PropertyAccessors {
  using Form = AutomationForm<typename MemberTraits<decltype(Member)>::Value>;

  static HRESULT STDMETHODCALLTYPE Get(DualInterface* self, typename Form::Type* out) {
    if (out == nullptr) return E_POINTER;
    try {
      *out = Form::Out(OwnerOf<Object>(self).engine.*Member);
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  static HRESULT STDMETHODCALLTYPE Put(DualInterface* self, typename Form::Type value) {
    try {
      OwnerOf<Object>(self).engine.*Member = Form::In(value);
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
};

template <typename Function>
const void* Slot(Function* function) {
  return reinterpret_cast<const void*>(function);
}

}  // namespace vornexa::com

#endif  // VORNEXA_COM_PROPERTY_ACCESSORS_H_
