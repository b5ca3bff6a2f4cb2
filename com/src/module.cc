// The DLL's entry points: DllMain, the class factories and the four exports.
#include "com/src/module.h"

#include <objbase.h>

#include "com/src/classes.h"
#include "com/src/registration.h"
#include "Vornexa.h"

namespace vornexa::com {

namespace {

HINSTANCE instance = nullptr;
LONG live_objects = 0;
LONG server_locks = 0;
bool process_exiting = false;

class ClassFactory : public IClassFactory {
 public:
  using Create = HRESULT (*)(REFIID, void**);
  explicit constexpr ClassFactory(Create create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // Factories are static: their lifetime is the DLL's, counted by LockServer.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    com::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  Create create_;
};

ClassFactory cuenta_factory(&CreateCuenta);
ClassFactory grupo_factory(&CreateGrupo);

}  // namespace

void ObjectCreated() { InterlockedIncrement(&live_objects); }
void ObjectDestroyed() { InterlockedDecrement(&live_objects); }
void LockServer(bool lock) {
  if (lock) {
    InterlockedIncrement(&server_locks);
  } else {
    InterlockedDecrement(&server_locks);
  }
}
bool ModuleInUse() { return live_objects != 0 || server_locks != 0; }

HINSTANCE ModuleInstance() { return instance; }

void PinModule() {
  static const bool pinned = [] {
    HMODULE self = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(&PinModule), &self) != FALSE;
  }();
  (void)pinned;
}

bool MayReleaseForeignObject() {
  if (process_exiting) return false;
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier));
}

void ReleaseForeignObject(IUnknown* object) {
  if (object != nullptr && MayReleaseForeignObject()) object->Release();
}

}  // namespace vornexa::com

using vornexa::com::ModuleInUse;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    vornexa::com::instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
    vornexa::com::process_exiting = true;
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID class_id, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (class_id == CLSID_clsCuenta) return vornexa::com::cuenta_factory.QueryInterface(iid, out);
  if (class_id == CLSID_clsGrupo) return vornexa::com::grupo_factory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ModuleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return vornexa::com::RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return vornexa::com::UnregisterServer(); }
