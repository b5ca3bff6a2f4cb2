#include "com/src/registry.h"

#include <objbase.h>

#include "com/src/module.h"

namespace vornexa::com {

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
  return path;
}

std::wstring GuidText(REFGUID id) {
  wchar_t text[40];
  StringFromGUID2(id, text, 40);
  return text;
}

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

HRESULT RegisterInprocServer(REFCLSID class_id, const wchar_t* prog_id,
                             const wchar_t* threading_model) {
  const std::wstring clsid = GuidText(class_id);
  const std::wstring key = L"CLSID\\" + clsid;
  for (HRESULT status : {
           SetValue(key, nullptr, prog_id),
           SetValue(key + L"\\InprocServer32", nullptr, ModulePath()),
           SetValue(key + L"\\InprocServer32", L"ThreadingModel", threading_model),
           SetValue(key + L"\\ProgID", nullptr, prog_id),
           SetValue(prog_id, nullptr, prog_id),
           SetValue(std::wstring(prog_id) + L"\\CLSID", nullptr, clsid),
       }) {
    if (FAILED(status)) return status;
  }
  return S_OK;
}

}  // namespace vornexa::com
