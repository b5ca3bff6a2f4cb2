// Writing the classes root of the registry (HKEY_CLASSES_ROOT) for an
// in-process server.
#ifndef VORNEXA_COM_REGISTRY_H_
#define VORNEXA_COM_REGISTRY_H_

#include <windows.h>

#include <string>

namespace vornexa::com {

// This DLL's file.
std::wstring ModulePath();

// `id` as registry keys spell it, braces included.
std::wstring GuidText(REFGUID id);

// Sets the value `name` (null: the key's default) of HKCR\`key`.
HRESULT SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value);

// This DLL as the in-process server of `class_id`, known as `prog_id`, with
// `threading_model` ("Apartment", "Both").
HRESULT RegisterInprocServer(REFCLSID class_id, const wchar_t* prog_id,
                             const wchar_t* threading_model);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_REGISTRY_H_
