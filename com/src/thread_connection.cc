#include "com/src/thread_connection.h"

#include <objbase.h>

#include "com/src/module.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::com {

namespace {

// Told by COM before each CoUninitialize of a thread it is registered on.
class UninitializeSpy : public IInitializeSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IInitializeSpy) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IInitializeSpy*>(this);
    return S_OK;
  }
  // Static: its lifetime is the (pinned) DLL's.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
  HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD apartment_references) override {
    if (apartment_references == 1) ReplaceSharedConnection(nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

UninitializeSpy spy;

}  // namespace

void WatchThreadConnection() {
  thread_local bool watched = false;
  if (watched) return;
  PinModule();
  SharedConnection();  // its thread-local copy exists before the watch begins
  WatchThreadEnd();
  ULARGE_INTEGER cookie;
  watched = SUCCEEDED(CoRegisterInitializeSpy(&spy, &cookie));
}

}  // namespace vornexa::com
