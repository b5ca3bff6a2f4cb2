// The frame shared by clsCuenta and clsGrupo: reference counting, the dual
// interface's IDispatch half answered from the type library, and error
// information. Each class supplies the table of operations of its dual
// interface (a plain array of function pointers laid out as the type library
// declares it) and the engine object behind it.
#ifndef VORNEXA_COM_AUTOMATION_OBJECT_H_
#define VORNEXA_COM_AUTOMATION_OBJECT_H_

#include <oaidl.h>

#include <cstddef>
#include <new>

namespace vornexa::com {

class AutomationObject;

// What a caller's interface pointer points at: the table of operations, and
// the object behind it for the functions in that table.
struct DualInterface {
  const void* const* vtable;
  AutomationObject* owner;
};

struct ClassDescription {
  const IID* interface_id;
  const IID* earlier_interface_ids;  // further ids answered with the same interface
  size_t earlier_count;
  const void* const* vtable;
};

// The seven IUnknown and IDispatch entries that start every dual table.
// (Tables are built on first use, never during static initialisation, whose
// order between files is unspecified.)
inline constexpr size_t kDispatchSlotCount = 7;
const void* const* DispatchSlots();

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

  DualInterface* dual() { return &dual_; }
  const ClassDescription& description() const { return description_; }

 private:
  const ClassDescription& description_;
  DualInterface dual_;
  LONG references_ = 1;
};

// The object behind an interface pointer of class `Object`.
template <typename Object>
Object& OwnerOf(DualInterface* self) {
  return *static_cast<Object*>(self->owner);
}

// The description's type information, loaded once from the DLL's own type
// library resource.
ITypeInfo* TypeInfoOf(REFIID interface_id);

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
