// The DLL's entry points: DllMain, the class factories and the four exports.
#include <windows.h>
#include <objbase.h>

#include "com/src/class_factory.h"
#include "com/src/classes.h"
#include "com/src/interfaces.h"
#include "com/src/module.h"
#include "com/src/registration.h"

namespace {

vornexa::com::ClassFactory cuenta_factory(&vornexa::com::CreateCuenta);
vornexa::com::ClassFactory grupo_factory(&vornexa::com::CreateGrupo);

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    vornexa::com::ModuleAttached(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
    vornexa::com::ProcessExiting();
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID class_id, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (class_id == CLSID_clsCuenta) return cuenta_factory.QueryInterface(iid, out);
  if (class_id == CLSID_clsGrupo) return grupo_factory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return vornexa::com::ModuleInUse() ? S_FALSE : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return vornexa::com::RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return vornexa::com::UnregisterServer(); }
