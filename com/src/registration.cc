#include "com/src/registration.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "com/src/classes.h"
#include "com/src/module.h"
#include "com/src/registry.h"
#include "Vornexa.h"

namespace vornexa::com {

namespace {

// Automation's own proxy for dual interfaces.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kLibraryVersion[] = L"23.16";

struct ClassEntry {
  const CLSID* class_id;
  const wchar_t* prog_id;
};
constexpr ClassEntry kClasses[] = {
    {&CLSID_clsCuenta, L"Vornexa.clsCuenta"},
    {&CLSID_clsGrupo, L"Vornexa.clsGrupo"},
};

HRESULT RegisterClass(const ClassEntry& entry) {
  const std::wstring key = L"CLSID\\" + GuidText(*entry.class_id);
  for (HRESULT status : {
           RegisterInprocServer(*entry.class_id, entry.prog_id, L"Apartment"),
           SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_Vornexa)),
           SetValue(key + L"\\VERSION", nullptr, kLibraryVersion),
           SetValue(key + L"\\Programmable", nullptr, L""),
       }) {
    if (FAILED(status)) return status;
  }
  return S_OK;
}

// An earlier id of _clsCuenta, marshalled like the present interface.
HRESULT RegisterEarlierInterface(REFIID iid) {
  const std::wstring key = L"Interface\\" + GuidText(iid);
  for (HRESULT status : {
           SetValue(key, nullptr, L"_clsCuenta"),
           SetValue(key + L"\\ProxyStubClsid", nullptr, kAutomationProxy),
           SetValue(key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy),
           SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_Vornexa)),
           SetValue(key + L"\\TypeLib", L"Version", kLibraryVersion),
           SetValue(key + L"\\Forward", nullptr, GuidText(IID__clsCuenta)),
       }) {
    if (FAILED(status)) return status;
  }
  return S_OK;
}

void DeleteKey(const std::wstring& key) { RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()); }

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  ITypeLib* library = nullptr;
  HRESULT status = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library);
  if (FAILED(status)) return status;
  library->Release();
  for (const ClassEntry& entry : kClasses) {
    if (FAILED(status = RegisterClass(entry))) return status;
  }
  for (const IID& iid : kEarlierCuentaIds) {
    if (FAILED(status = RegisterEarlierInterface(iid))) return status;
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  for (const ClassEntry& entry : kClasses) {
    DeleteKey(L"CLSID\\" + GuidText(*entry.class_id));
    DeleteKey(entry.prog_id);
  }
  for (const IID& iid : kEarlierCuentaIds) DeleteKey(L"Interface\\" + GuidText(iid));
  UnRegisterTypeLib(LIBID_Vornexa, 23, 16, LANG_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  return S_OK;
}

}  // namespace vornexa::com
