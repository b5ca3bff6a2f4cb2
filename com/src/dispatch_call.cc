#include "com/src/dispatch_call.h"

#include <dispex.h>

#include <vector>

#include "com/src/error_info.h"

namespace vornexa::com {

namespace {

// Missing from mingw-w64's import libraries.
constexpr IID kIidDispatchEx = {
    0xA6EF9860, 0xC720, 0x11D0, {0x93, 0x37, 0x00, 0xA0, 0xC9, 0x0D, 0xCA, 0xA9}};

struct Arguments {
  std::vector<VARIANT> reversed;  // Invoke takes the last argument first
  DISPPARAMS params{};

  explicit Arguments(std::initializer_list<VARIANT*> in_order) {
    for (auto it = in_order.end(); it != in_order.begin();) reversed.push_back(**--it);
    params.rgvarg = reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
  }
};

[[noreturn]] void Fail(HRESULT status, EXCEPINFO& info) {
  if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
  // Script engines may leave the text in the thread's error object instead.
  IErrorInfo* error = nullptr;
  if (info.bstrDescription == nullptr && GetErrorInfo(0, &error) == S_OK) {
    error->GetDescription(&info.bstrDescription);
    if (info.bstrSource == nullptr) error->GetSource(&info.bstrSource);
    error->Release();
  }
  struct Cleanup {
    EXCEPINFO& info;
    ~Cleanup() {
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrDescription);
      SysFreeString(info.bstrHelpFile);
    }
  } cleanup{info};
  RaiseCallFailure(status, info);
}

}  // namespace

void CallById(IDispatch* object, DISPID member, WORD flags,
              std::initializer_list<VARIANT*> arguments, VARIANT* result) {
  Arguments args(arguments);
  EXCEPINFO info{};
  UINT bad_argument = 0;
  const HRESULT status = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &args.params,
                                        result, &info, &bad_argument);
  if (FAILED(status)) Fail(status, info);
}

void CallByName(IDispatch* object, const wchar_t* name, WORD flags,
                std::initializer_list<VARIANT*> arguments, VARIANT* result) {
  DISPID member = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
  if (SUCCEEDED(status)) return CallById(object, member, flags, arguments, result);

  IDispatchEx* expando = nullptr;
  if (FAILED(object->QueryInterface(kIidDispatchEx, reinterpret_cast<void**>(&expando)))) {
    EXCEPINFO none{};
    Fail(status, none);
  }
  BSTR bname = SysAllocString(name);
  status = expando->GetDispID(bname, fdexNameCaseInsensitive, &member);
  SysFreeString(bname);
  EXCEPINFO info{};
  if (SUCCEEDED(status)) {
    Arguments args(arguments);
    status = expando->InvokeEx(member, LOCALE_USER_DEFAULT, flags, &args.params, result, &info,
                               nullptr);
  }
  expando->Release();
  if (FAILED(status)) Fail(status, info);
}

}  // namespace vornexa::com
