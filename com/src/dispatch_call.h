// Late-bound calls on a caller's Automation object, as Basic makes them:
// the member is looked up by name (through IDispatchEx where the object only
// answers there, as script objects may), then invoked; a failure raises the
// object's own error (error_info.h).
#ifndef VORNEXA_COM_DISPATCH_CALL_H_
#define VORNEXA_COM_DISPATCH_CALL_H_

#include <oaidl.h>

#include <initializer_list>

namespace vornexa::com {

// Arguments are given in call order; `result` may be null.
void CallByName(IDispatch* object, const wchar_t* name, WORD flags,
                std::initializer_list<VARIANT*> arguments, VARIANT* result);

// As CallByName with a member id already known (DISPID_VALUE for defaults).
void CallById(IDispatch* object, DISPID member, WORD flags,
              std::initializer_list<VARIANT*> arguments, VARIANT* result);

// Reading a value: Basic asks for a method or a property alike.
inline constexpr WORD kGetOrCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

}  // namespace vornexa::com

#endif  // VORNEXA_COM_DISPATCH_CALL_H_
