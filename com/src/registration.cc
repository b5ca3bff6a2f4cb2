#include "com/src/registration.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "com/src/classes.h"
#include "com/src/module.h"
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

std::wstring Text(REFGUID id) {
  wchar_t text[40];
  StringFromGUID2(id, text, 40);
  return text;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  return path;
}

// Sets the value `name` (null: the key's default) of HKCR\`key`.
HRESULT SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return HRESULT_FROM_WIN32(status);
}

HRESULT RegisterClass(const ClassEntry& entry, const std::wstring& path) {
  const std::wstring clsid = Text(*entry.class_id);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring library = Text(LIBID_Vornexa);
  for (HRESULT status : {
           SetValue(key, nullptr, entry.prog_id),
           SetValue(key + L"\\InprocServer32", nullptr, path),
           SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
           SetValue(key + L"\\ProgID", nullptr, entry.prog_id),
           SetValue(key + L"\\TypeLib", nullptr, library),
           SetValue(key + L"\\VERSION", nullptr, kLibraryVersion),
           SetValue(key + L"\\Programmable", nullptr, L""),
           SetValue(entry.prog_id, nullptr, entry.prog_id),
           SetValue(std::wstring(entry.prog_id) + L"\\CLSID", nullptr, clsid),
       }) {
    if (FAILED(status)) return status;
  }
  return S_OK;
}

// An earlier id of _clsCuenta, marshalled like the present interface.
HRESULT RegisterEarlierInterface(REFIID iid) {
  const std::wstring key = L"Interface\\" + Text(iid);
  for (HRESULT status : {
           SetValue(key, nullptr, L"_clsCuenta"),
           SetValue(key + L"\\ProxyStubClsid", nullptr, kAutomationProxy),
           SetValue(key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy),
           SetValue(key + L"\\TypeLib", nullptr, Text(LIBID_Vornexa)),
           SetValue(key + L"\\TypeLib", L"Version", kLibraryVersion),
           SetValue(key + L"\\Forward", nullptr, Text(IID__clsCuenta)),
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
    if (FAILED(status = RegisterClass(entry, path))) return status;
  }
  for (const IID& iid : kEarlierCuentaIds) {
    if (FAILED(status = RegisterEarlierInterface(iid))) return status;
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  for (const ClassEntry& entry : kClasses) {
    DeleteKey(L"CLSID\\" + Text(*entry.class_id));
    DeleteKey(entry.prog_id);
  }
  for (const IID& iid : kEarlierCuentaIds) DeleteKey(L"Interface\\" + Text(iid));
  UnRegisterTypeLib(LIBID_Vornexa, 23, 16, LANG_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  return S_OK;
}

}  // namespace vornexa::com
