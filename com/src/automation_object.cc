#include "com/src/automation_object.h"

#include <vector>

#include "com/src/error_info.h"
#include "com/src/module.h"
#include "vornexa/base/error.h"

namespace vornexa::com {

class InterfaceInfo {
 public:
  explicit InterfaceInfo(ITypeInfo* info) : info_(info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return;
    for (WORD index = 0; index < attributes->cFuncs; ++index) {
      FUNCDESC* function = nullptr;
      if (SUCCEEDED(info->GetFuncDesc(index, &function))) functions_.push_back(function);
    }
    info->ReleaseTypeAttr(attributes);
  }

  ITypeInfo* type_info() const { return info_; }

  // The description of `member` as `flags` call it; null when there is none.
  const FUNCDESC* Find(DISPID member, WORD flags) const {
    for (const FUNCDESC* function : functions_) {
      if (function->memid == member && (function->invkind & flags) != 0) return function;
    }
    return nullptr;
  }

 private:
  // Held for the life of the process, with the descriptions: asking the type
  // information for a member at each call would cost more than the call.
  ITypeInfo* info_;
  std::vector<const FUNCDESC*> functions_;
};

namespace {

ITypeLib* LoadOwnTypeLibrary() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  ITypeLib* library = nullptr;
  LoadTypeLibEx(path, REGKIND_NONE, &library);
  return library;  // held for the life of the process
}

// Late-bound Basic callers pass their variables as references to variants,
// and may give arguments by name. The type library's own invoker wants each
// parameter's type: a by-value parameter gets the variant's value, a
// by-reference one (dblDebe, dblHaber) a reference to a converted copy,
// written back to the variable after the call: always when the call
// succeeds, and after a failure only when the member changed it, so that a
// failure before any change leaves the variable as the caller passed it.
// Null for a parameter of a value type is refused with 94, as Basic does.
class ArgumentBinding {
 public:
  ArgumentBinding(const InterfaceInfo& info, DISPID member, WORD flags, const DISPPARAMS& params)
      : bound_(params) {
    if (!NeedsBinding(params)) return;
    const FUNCDESC* function = info.Find(member, flags);
    if (function == nullptr) return;  // the invoker reports it
    arguments_.assign(params.rgvarg, params.rgvarg + params.cArgs);
    copies_.resize(params.cArgs);  // once: the arguments point into it
    for (UINT slot = 0; slot < params.cArgs; ++slot) {
      const int position = PositionOf(params, slot, function->cParams);
      if (position >= 0 && position < function->cParams) {
        Bind(arguments_[slot], copies_[slot], function->lprgelemdescParam[position]);
      }
    }
    bound_.rgvarg = arguments_.data();
  }

  ~ArgumentBinding() {
    for (Copy& copy : copies_) {
      VariantClear(&copy.value);
      VariantClear(&copy.passed);
    }
  }
  ArgumentBinding(const ArgumentBinding&) = delete;
  ArgumentBinding& operator=(const ArgumentBinding&) = delete;

  DISPPARAMS* params() { return &bound_; }

  void WriteBack(bool succeeded) {
    for (Copy& copy : copies_) {
      if (copy.variable == nullptr) continue;
      if (succeeded || VarCmp(&copy.value, &copy.passed, LOCALE_INVARIANT, 0) != VARCMP_EQ) {
        VariantClear(copy.variable);
        VariantCopy(copy.variable, &copy.value);
      }
    }
  }

 private:
  struct Copy {
    VARIANT value{};   // what the member reads and writes
    VARIANT passed{};  // the value as passed, converted
    VARIANT* variable = nullptr;
  };

  static bool NeedsBinding(const DISPPARAMS& params) {
    for (UINT i = 0; i < params.cArgs; ++i) {
      const VARTYPE type = V_VT(&params.rgvarg[i]);
      if (type == (VT_VARIANT | VT_BYREF) || type == VT_NULL) return true;
    }
    return false;
  }

  // The parameter an argument stands for: a named one by its id (a
  // property's new value is its last parameter), the others counted from the
  // last argument backwards.
  static int PositionOf(const DISPPARAMS& params, UINT slot, int parameters) {
    if (slot < params.cNamedArgs) {
      const DISPID id = params.rgdispidNamedArgs[slot];
      return id == DISPID_PROPERTYPUT ? parameters - 1 : static_cast<int>(id);
    }
    return static_cast<int>(params.cArgs - 1 - slot);
  }

  static void Bind(VARIANT& argument, Copy& copy, const ELEMDESC& parameter) {
    const bool by_variable = V_VT(&argument) == (VT_VARIANT | VT_BYREF);
    VARIANT* variable = by_variable ? V_VARIANTREF(&argument) : &argument;
    const bool by_reference =
        (parameter.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0 && parameter.tdesc.vt == VT_PTR;
    const VARTYPE type = by_reference ? parameter.tdesc.lptdesc->vt : parameter.tdesc.vt;
    if (V_VT(variable) == VT_NULL && type != VT_VARIANT && type != VT_DISPATCH && type != VT_PTR) {
      RaiseRuntimeError(error_number::kInvalidUseOfNull);
    }
    if (!by_variable) return;
    if (!by_reference) {
      argument = *variable;  // the value, still owned by the caller
      return;
    }
    if (type == VT_VARIANT || V_VT(variable) == (type | VT_BYREF)) return;
    // A value that does not convert is the invoker's to report.
    if (FAILED(VariantChangeType(&copy.value, variable, 0, type))) return;
    VariantCopy(&copy.passed, &copy.value);
    copy.variable = variable;
    V_VT(&argument) = type | VT_BYREF;
    V_BYREF(&argument) = &V_NONE(&copy.value);
  }

  DISPPARAMS bound_;
  std::vector<VARIANT> arguments_;
  std::vector<Copy> copies_;
};

}  // namespace

const InterfaceInfo* LoadInterfaceInfo(REFIID interface_id) {
  static ITypeLib* const library = LoadOwnTypeLibrary();
  ITypeInfo* info = nullptr;
  if (library == nullptr || FAILED(library->GetTypeInfoOfGuid(interface_id, &info))) return nullptr;
  try {
    return new InterfaceInfo(info);
  } catch (const std::bad_alloc&) {
    info->Release();
    return nullptr;
  }
}

AutomationObject::AutomationObject(const ClassDescription& description)
    : description_(description), dual_{description.vtable, this} {
  ObjectCreated();
}

AutomationObject::~AutomationObject() { ObjectDestroyed(); }

bool AutomationObject::IsDualInterface(REFIID iid) const {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *description_.interface_id) return true;
  for (size_t i = 0; i < description_.earlier_count; ++i) {
    if (iid == description_.earlier_interface_ids[i]) return true;
  }
  return false;
}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (IsDualInterface(iid)) {
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

// Callers built against an earlier id, or calling through IDispatch, read
// errors as the present interface's callers do.
HRESULT AutomationObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsDualInterface(iid) ? S_OK : S_FALSE;
}

HRESULT AutomationObject::GetTypeInfo(UINT index, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (description_.info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  *out = description_.info->type_info();
  (*out)->AddRef();
  return S_OK;
}

HRESULT AutomationObject::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  if (description_.info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  return description_.info->type_info()->GetIDsOfNames(names, count, ids);
}

HRESULT AutomationObject::Invoke(DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* bad_argument) {
  const InterfaceInfo* info = description_.info;
  if (info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  DISPPARAMS none{};  // some callers pass no DISPPARAMS for a call without arguments
  if (params == nullptr) params = &none;
  try {
    ArgumentBinding binding(*info, member, flags, *params);
    const HRESULT status = info->type_info()->Invoke(&dual_, member, flags, binding.params(),
                                                     result, exception, bad_argument);
    binding.WriteBack(SUCCEEDED(status));
    return status;
  } catch (...) {
    return ReportCurrentException(*description_.interface_id, exception);
  }
}

}  // namespace vornexa::com
