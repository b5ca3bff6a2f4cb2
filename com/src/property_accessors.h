// The read and write accessors of a public field, as entries of a dual
// table, generated from a pointer to the engine object's member: String as
// BSTR, Integer as short, Long as long, Boolean as VARIANT_BOOL (True -1).
// Field accessors trap nothing of the engine's (its fields raise nothing);
// a conversion that runs out of memory is reported as any failure is.
#ifndef VORNEXA_COM_PROPERTY_ACCESSORS_H_
#define VORNEXA_COM_PROPERTY_ACCESSORS_H_

#include <oaidl.h>

#include <cstdint>
#include <string>

#include "com/src/automation_object.h"
#include "com/src/automation_values.h"
#include "com/src/error_info.h"

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

// Object::engine is the engine object whose `Member` the accessors reach,
// through Object::Interface.
template <typename Object, auto Member>
struct PropertyAccessors {
  using Interface = typename Object::Interface;
  using Form = AutomationForm<typename MemberTraits<decltype(Member)>::Value>;

  static HRESULT STDMETHODCALLTYPE Get(Interface* self, typename Form::Type* out) {
    if (out == nullptr) return FailWithoutError(E_POINTER);
    *out = {};
    Object& object = OwnerOf<Object>(self);
    return Guard(*object.description().interface_id,
                 [&] { *out = Form::Out(object.engine.*Member); });
  }

  static HRESULT STDMETHODCALLTYPE Put(Interface* self, typename Form::Type value) {
    Object& object = OwnerOf<Object>(self);
    return Guard(*object.description().interface_id,
                 [&] { object.engine.*Member = Form::In(value); });
  }
};

// The accessors of field `name` of `Object` as designated initializers of
// its table of operations.
#define VORNEXA_PROPERTY(Object, name)                                                        \
  .get_##name = &::vornexa::com::PropertyAccessors<Object, &decltype(Object::engine)::name>::Get, \
  .put_##name = &::vornexa::com::PropertyAccessors<Object, &decltype(Object::engine)::name>::Put

}  // namespace vornexa::com

#endif  // VORNEXA_COM_PROPERTY_ACCESSORS_H_
