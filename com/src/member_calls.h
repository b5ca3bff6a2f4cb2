// The bodies of the classes' interface members: the engine's work under the
// error convention (error_info.h), in a CallScope (call_scope.h), for the
// object of class `Object` (with its Interface and its engine) behind the
// interface pointer; and the members both classes have.
#ifndef VORNEXA_COM_MEMBER_CALLS_H_
#define VORNEXA_COM_MEMBER_CALLS_H_

#include <oaidl.h>

#include "com/src/ado_connection.h"
#include "com/src/automation_object.h"
#include "com/src/automation_values.h"
#include "com/src/call_scope.h"
#include "com/src/error_info.h"
#include "com/src/thread_connection.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::com {

template <typename Object, typename Body>
HRESULT CallMember(typename Object::Interface* self, Body&& body) {
  Object& object = OwnerOf<Object>(self);
  return Guard(*object.description().interface_id, [&] {
    CallScope scope(object);
    body(object);
  });
}

// A member that answers through `result`, which holds nothing (null, 0) when
// the call fails; `body` gives the answer from the engine.
template <typename Object, typename Result, typename Body>
HRESULT AnswerMember(typename Object::Interface* self, Result* result, Body&& body) {
  if (result == nullptr) return FailWithoutError(E_POINTER);
  *result = Result{};
  return CallMember<Object>(self, [&](Object& object) { *result = body(object.engine); });
}

// An operation of the engine answering True or False.
template <typename Object, auto Operation>
HRESULT STDMETHODCALLTYPE AskMember(typename Object::Interface* self, VARIANT_BOOL* result) {
  return AnswerMember<Object>(self, result,
                              [](auto& engine) { return ToVariantBool((engine.*Operation)()); });
}

// Conexion: the engine stores the connection for the thread (each class by
// its own rule); one it replaces stays usable until the thread's calls return.
template <typename Object>
HRESULT STDMETHODCALLTYPE PutrefConexion(typename Object::Interface* self, IDispatch* connection) {
  return CallMember<Object>(self, [&](Object& object) {
    KeepUntilCallsReturn(SharedConnection());
    object.engine.Conexion(WrapAdoConnection(connection));
    if (connection != nullptr) WatchThreadConnection();
  });
}

}  // namespace vornexa::com

#endif  // VORNEXA_COM_MEMBER_CALLS_H_
