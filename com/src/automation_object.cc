#include "com/src/automation_object.h"

#include <vector>

#include "com/src/module.h"

namespace vornexa::com {

namespace {

HRESULT STDMETHODCALLTYPE DualQueryInterface(DualInterface* self, REFIID iid, void** out) {
  return self->owner->QueryInterface(iid, out);
}
ULONG STDMETHODCALLTYPE DualAddRef(DualInterface* self) { return self->owner->AddRef(); }
ULONG STDMETHODCALLTYPE DualRelease(DualInterface* self) { return self->owner->Release(); }
HRESULT STDMETHODCALLTYPE DualGetTypeInfoCount(DualInterface*, UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE DualGetTypeInfo(DualInterface* self, UINT index, LCID, ITypeInfo** out) {
  return self->owner->GetTypeInfo(index, out);
}
HRESULT STDMETHODCALLTYPE DualGetIDsOfNames(DualInterface* self, REFIID, LPOLESTR* names,
                                            UINT count, LCID, DISPID* ids) {
  return self->owner->GetIDsOfNames(names, count, ids);
}
HRESULT STDMETHODCALLTYPE DualInvoke(DualInterface* self, DISPID member, REFIID, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* bad_argument) {
  return self->owner->Invoke(member, flags, params, result, exception, bad_argument);
}

ITypeLib* LoadOwnTypeLibrary() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  ITypeLib* library = nullptr;
  LoadTypeLibEx(path, REGKIND_NONE, &library);
  return library;  // held for the life of the process
}

// Late-bound Basic callers pass their variables as references to variants.
// The type library's own invoker wants the parameter's type: a by-value
// parameter gets the variant's value, a by-reference one (dblDebe, dblHaber)
// a reference to a converted copy, written back to the variable after the
// call.
class ArgumentBinding {
 public:
  ArgumentBinding(ITypeInfo* info, DISPID member, WORD flags, DISPPARAMS* params)
      : original_(params), bound_(*params) {
    if (params == nullptr || params->cArgs == 0 || params->cNamedArgs != 0) return;
    const FUNCDESC* function = FindFunction(info, member, flags);
    if (function == nullptr) return;
    arguments_.assign(params->rgvarg, params->rgvarg + params->cArgs);
    copies_.resize(params->cArgs);
    for (UINT position = 0; position < params->cArgs && position < UINT(function->cParams);
         ++position) {
      const UINT slot = params->cArgs - 1 - position;
      VARIANT& argument = arguments_[slot];
      if (V_VT(&argument) != (VT_VARIANT | VT_BYREF)) continue;
      const ELEMDESC& parameter = function->lprgelemdescParam[position];
      VARIANT* variable = V_VARIANTREF(&argument);
      const bool by_reference = (parameter.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0 &&
                                parameter.tdesc.vt == VT_PTR;
      if (!by_reference) {
        argument = *variable;  // the value, still owned by the caller
        continue;
      }
      const VARTYPE type = parameter.tdesc.lptdesc->vt;
      if (type == VT_VARIANT || V_VT(variable) == (type | VT_BYREF)) continue;
      VARIANT& copy = copies_[slot];
      VariantInit(&copy);
      if (FAILED(VariantChangeType(&copy, variable, 0, type))) continue;  // the invoker reports it
      V_VT(&argument) = type | VT_BYREF;
      V_BYREF(&argument) = &V_NONE(&copy);
      write_back_.push_back({variable, &copy});
    }
    info->ReleaseFuncDesc(const_cast<FUNCDESC*>(function));
    bound_.rgvarg = arguments_.data();
  }

  ~ArgumentBinding() {
    for (VARIANT& copy : copies_) VariantClear(&copy);
  }

  DISPPARAMS* params() { return original_ == nullptr ? nullptr : &bound_; }

  void WriteBack() {
    for (const auto& [variable, copy] : write_back_) {
      VariantClear(variable);
      VariantCopy(variable, copy);
    }
  }

 private:
  static const FUNCDESC* FindFunction(ITypeInfo* info, DISPID member, WORD flags) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return nullptr;
    const WORD count = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (WORD index = 0; index < count; ++index) {
      FUNCDESC* function = nullptr;
      if (FAILED(info->GetFuncDesc(index, &function))) continue;
      if (function->memid == member && (function->invkind & flags) != 0) return function;
      info->ReleaseFuncDesc(function);
    }
    return nullptr;
  }

  struct WriteBackEntry {
    VARIANT* variable;
    VARIANT* copy;
  };

  DISPPARAMS* original_;
  DISPPARAMS bound_;
  std::vector<VARIANT> arguments_;
  std::vector<VARIANT> copies_;
  std::vector<WriteBackEntry> write_back_;
};

}  // namespace

const void* const* DispatchSlots() {
  static const void* const slots[kDispatchSlotCount] = {
    reinterpret_cast<const void*>(&DualQueryInterface),
    reinterpret_cast<const void*>(&DualAddRef),
    reinterpret_cast<const void*>(&DualRelease),
    reinterpret_cast<const void*>(&DualGetTypeInfoCount),
    reinterpret_cast<const void*>(&DualGetTypeInfo),
    reinterpret_cast<const void*>(&DualGetIDsOfNames),
    reinterpret_cast<const void*>(&DualInvoke),
  };
  return slots;
}

ITypeInfo* TypeInfoOf(REFIID interface_id) {
  static ITypeLib* const library = LoadOwnTypeLibrary();
  if (library == nullptr) return nullptr;
  ITypeInfo* info = nullptr;
  library->GetTypeInfoOfGuid(interface_id, &info);
  return info;
}

AutomationObject::AutomationObject(const ClassDescription& description)
    : description_(description), dual_{description.vtable, this} {
  ObjectCreated();
}

AutomationObject::~AutomationObject() { ObjectDestroyed(); }

HRESULT AutomationObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  bool dual = iid == IID_IUnknown || iid == IID_IDispatch || iid == *description_.interface_id;
  for (size_t i = 0; !dual && i < description_.earlier_count; ++i) {
    dual = iid == description_.earlier_interface_ids[i];
  }
  if (dual) {
    *out = &dual_;
  } else if (iid == IID_ISupportErrorInfo) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG AutomationObject::AddRef() { return InterlockedIncrement(&references_); }

ULONG AutomationObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

HRESULT AutomationObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == *description_.interface_id ? S_OK : S_FALSE;
}

HRESULT AutomationObject::GetTypeInfo(UINT index, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *out = TypeInfoOf(*description_.interface_id);
  return *out != nullptr ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT AutomationObject::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  ITypeInfo* info = TypeInfoOf(*description_.interface_id);
  if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  const HRESULT status = info->GetIDsOfNames(names, count, ids);
  info->Release();
  return status;
}

HRESULT AutomationObject::Invoke(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* bad_argument) {
  ITypeInfo* info = TypeInfoOf(*description_.interface_id);
  if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  ArgumentBinding binding(info, member, flags, params);
  const HRESULT status =
      info->Invoke(&dual_, member, flags, binding.params(), result, exception, bad_argument);
  if (SUCCEEDED(status)) binding.WriteBack();
  info->Release();
  return status;
}

}  // namespace vornexa::com
