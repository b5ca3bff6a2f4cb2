// The DLL's own state: live objects and server locks (for DllCanUnloadNow),
// its instance handle, and whether the process is going away.
#ifndef VORNEXA_COM_MODULE_H_
#define VORNEXA_COM_MODULE_H_

#include <windows.h>
#include <unknwn.h>

namespace vornexa::com {

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool ModuleInUse();

// Called by DllMain: on loading, and when the process is going away.
// ModuleAttached must come before any thread-local object is touched: with
// this runtime a thread's thread-local storage is freed, and its objects
// destroyed, by two thread keys served in the order they were made, and it
// makes the destroying one first so that no destructor runs on freed storage.
void ModuleAttached(HINSTANCE instance);
void ProcessExiting();
HINSTANCE ModuleInstance();

// Keeps the DLL loaded for the rest of the process.
void PinModule();

// From now on, nothing of the caller's is released on this thread once its
// end has begun: the thread-local objects destroyed then (those made before
// this call) are destroyed under the loader lock.
void WatchThreadEnd();

// Whether a caller's object may be released now. Not while the process
// exits (its apartment may be gone), on a thread whose COM is already
// uninitialised, nor where a watched thread's end runs; the reference is
// then left to the process's end.
bool MayReleaseForeignObject();

// Releases `object` when MayReleaseForeignObject() allows it.
void ReleaseForeignObject(IUnknown* object);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_MODULE_H_
