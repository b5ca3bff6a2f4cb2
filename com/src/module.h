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
void ModuleAttached(HINSTANCE instance);
void ProcessExiting();
HINSTANCE ModuleInstance();

// Keeps the DLL loaded for the rest of the process. Called when a thread
// first stores a shared connection: that thread's copy is destroyed by code
// of this DLL when the thread ends, so the code must still be there.
void PinModule();

// Whether a caller's object may be released now. Not while the process
// exits (its apartment may be gone) nor on a thread whose COM is already
// uninitialised; the reference is then left to the process's end.
bool MayReleaseForeignObject();

// Releases `object` when MayReleaseForeignObject() allows it.
void ReleaseForeignObject(IUnknown* object);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_MODULE_H_
