// The frame shared by clsCuenta and clsGrupo: reference counting, the dual
// interface's IDispatch half answered from the type library, and error
// information. Each class supplies the table of operations of its dual
// interface (the generated struct of interfaces.h, filled by member name)
// and the engine object behind it.
#ifndef VORNEXA_COM_AUTOMATION_OBJECT_H_
#define VORNEXA_COM_AUTOMATION_OBJECT_H_

#include <oaidl.h>

#include <cstddef>
#include <new>

namespace vornexa::com {

class AutomationObject;
class InterfaceInfo;

// What a caller's interface pointer points at: the table of operations, and
// the object behind it for the functions in that table.
struct DualInterface {
  const void* vtable;
  AutomationObject* owner;
};

struct ClassDescription {
  const IID* interface_id;
  const IID* earlier_interface_ids;  // further ids answered with the same interface
  size_t earlier_count;
  const void* vtable;
  const InterfaceInfo* info;  // from LoadInterfaceInfo; null when it could not be read
};

// The interface's type information and its members, read once from the DLL's
// own type library resource; null when that cannot be read.
const InterfaceInfo* LoadInterfaceInfo(REFIID interface_id);

class AutomationObject : public ISupportErrorInfo {
 public:
  explicit AutomationObject(const ClassDescription& description);
  virtual ~AutomationObject();
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  HRESULT GetTypeInfo(UINT index, ITypeInfo** out);
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT Invoke(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* bad_argument);

  const ClassDescription& description() const { return description_; }

 private:
  // Whether `iid` names the dual interface: IUnknown, IDispatch, its own id
  // or an earlier one.
  bool IsDualInterface(REFIID iid) const;

  const ClassDescription& description_;
  DualInterface dual_;
  LONG references_ = 1;
};

// The object behind an interface pointer of class `Object`.
template <typename Object, typename Interface>
Object& OwnerOf(Interface* self) {
  return *static_cast<Object*>(reinterpret_cast<DualInterface*>(self)->owner);
}

// The seven IUnknown and IDispatch entries that open the table of operations
// of `Interface`, handed to the object behind it.
template <typename Interface>
struct DispatchEntries {
  static AutomationObject& Owner(Interface* self) { return OwnerOf<AutomationObject>(self); }
  static HRESULT STDMETHODCALLTYPE QueryInterface(Interface* self, REFIID iid, void** out) {
    return Owner(self).QueryInterface(iid, out);
  }
  static ULONG STDMETHODCALLTYPE AddRef(Interface* self) { return Owner(self).AddRef(); }
  static ULONG STDMETHODCALLTYPE Release(Interface* self) { return Owner(self).Release(); }
  static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(Interface*, UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE GetTypeInfo(Interface* self, UINT index, LCID, ITypeInfo** out) {
    return Owner(self).GetTypeInfo(index, out);
  }
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(Interface* self, REFIID, LPOLESTR* names,
                                                 UINT count, LCID, DISPID* ids) {
    return Owner(self).GetIDsOfNames(names, count, ids);
  }
  static HRESULT STDMETHODCALLTYPE Invoke(Interface* self, DISPID member, REFIID, LCID, WORD flags,
                                          DISPPARAMS* params, VARIANT* result,
                                          EXCEPINFO* exception, UINT* bad_argument) {
    return Owner(self).Invoke(member, flags, params, result, exception, bad_argument);
  }
};

// Those entries as designated initializers of a table of operations.
#define VORNEXA_DISPATCH_ENTRIES(Interface)                                       \
  .QueryInterface = &::vornexa::com::DispatchEntries<Interface>::QueryInterface,     \
  .AddRef = &::vornexa::com::DispatchEntries<Interface>::AddRef,                     \
  .Release = &::vornexa::com::DispatchEntries<Interface>::Release,                   \
  .GetTypeInfoCount = &::vornexa::com::DispatchEntries<Interface>::GetTypeInfoCount, \
  .GetTypeInfo = &::vornexa::com::DispatchEntries<Interface>::GetTypeInfo,           \
  .GetIDsOfNames = &::vornexa::com::DispatchEntries<Interface>::GetIDsOfNames,       \
  .Invoke = &::vornexa::com::DispatchEntries<Interface>::Invoke

// Creates an object of class `Object` and hands out interface `iid`.
template <typename Object>
HRESULT CreateObject(REFIID iid, void** out) {
  auto* object = new (std::nothrow) Object();
  if (object == nullptr) return E_OUTOFMEMORY;
  const HRESULT status = object->QueryInterface(iid, out);
  object->Release();
  return status;
}

}  // namespace vornexa::com

#endif  // VORNEXA_COM_AUTOMATION_OBJECT_H_
