#include "com/src/registration.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "com/src/interfaces.h"
#include "com/src/module.h"
#include "com/src/registry.h"

namespace vornexa::com {

namespace {

struct ClassEntry {
  const CLSID* class_id;
  const wchar_t* prog_id;
};
constexpr ClassEntry kClasses[] = {
    {&CLSID_clsCuenta, L"Vornexa.clsCuenta"},
    {&CLSID_clsGrupo, L"Vornexa.clsGrupo"},
};

// The type library's version as registry keys spell it: in hexadecimal, as
// the platform writes the library's own keys (23.16 is "17.10").
std::wstring VersionText(const TLIBATTR& library) {
  wchar_t text[16];
  wsprintfW(text, L"%x.%x", library.wMajorVerNum, library.wMinorVerNum);
  return text;
}

HRESULT RegisterClass(const ClassEntry& entry, const std::wstring& version) {
  const std::wstring key = L"CLSID\\" + GuidText(*entry.class_id);
  for (HRESULT status : {
           RegisterInprocServer(*entry.class_id, entry.prog_id, L"Apartment"),
           SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_Vornexa)),
           SetValue(key + L"\\VERSION", nullptr, version),
           SetValue(key + L"\\Programmable", nullptr, L""),
       }) {
    if (FAILED(status)) return status;
  }
  return S_OK;
}

void DeleteKey(const std::wstring& key) { RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()); }

// Calls `use` with the DLL's own type library, registered or not, and its
// attributes.
template <typename Use>
HRESULT WithOwnTypeLibrary(REGKIND kind, Use&& use) {
  ITypeLib* library = nullptr;
  HRESULT status = LoadTypeLibEx(ModulePath().c_str(), kind, &library);
  if (FAILED(status)) return status;
  TLIBATTR* attributes = nullptr;
  if (SUCCEEDED(status = library->GetLibAttr(&attributes))) {
    status = use(*attributes);
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
  return status;
}

}  // namespace

HRESULT RegisterServer() {
  return WithOwnTypeLibrary(REGKIND_REGISTER, [](const TLIBATTR& library) {
    for (const ClassEntry& entry : kClasses) {
      const HRESULT status = RegisterClass(entry, VersionText(library));
      if (FAILED(status)) return status;
    }
    return S_OK;
  });
}

HRESULT UnregisterServer() {
  for (const ClassEntry& entry : kClasses) {
    DeleteKey(L"CLSID\\" + GuidText(*entry.class_id));
    DeleteKey(entry.prog_id);
  }
  WithOwnTypeLibrary(REGKIND_NONE, [](const TLIBATTR& library) {
    return UnRegisterTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum,
                             library.lcid, library.syskind);
  });
  return S_OK;
}

}  // namespace vornexa::com
