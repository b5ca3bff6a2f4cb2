// The DLL's own state (module.h); its entry points are in exports.cc.
#include "com/src/module.h"

#include <objbase.h>

#include <cxxabi.h>

namespace vornexa::com {

namespace {

HINSTANCE instance = nullptr;
LONG live_objects = 0;
LONG server_locks = 0;
bool process_exiting = false;
thread_local bool thread_ending = false;

void _GLIBCXX_CDTOR_CALLABI DestroyNothing(void*) {}

struct ThreadEndMark {
  ~ThreadEndMark() { thread_ending = true; }
};

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

void ModuleAttached(HINSTANCE module) {
  instance = module;
  // Registering a destructor makes the runtime's key for them; this one does
  // nothing, at the loading thread's end.
  abi::__cxa_thread_atexit(&DestroyNothing, nullptr, nullptr);
}
void ProcessExiting() { process_exiting = true; }
HINSTANCE ModuleInstance() { return instance; }

void PinModule() {
  static const bool pinned = [] {
    HMODULE self = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(&PinModule), &self) != FALSE;
  }();
  (void)pinned;
}

void WatchThreadEnd() {
  thread_local ThreadEndMark mark;
  (void)mark;
}

bool MayReleaseForeignObject() {
  if (process_exiting || thread_ending) return false;
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier));
}

void ReleaseForeignObject(IUnknown* object) {
  if (object != nullptr && MayReleaseForeignObject()) object->Release();
}

}  // namespace vornexa::com
