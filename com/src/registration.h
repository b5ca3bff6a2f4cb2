// Registration of the two classes, their programmatic ids, the type library
// and its interfaces (the earlier ids of _clsCuenta among them) in the
// classes root of the registry.
#ifndef VORNEXA_COM_REGISTRATION_H_
#define VORNEXA_COM_REGISTRATION_H_

#include <windows.h>

namespace vornexa::com {

HRESULT RegisterServer();
// Removes everything RegisterServer wrote; entries already gone are no error.
HRESULT UnregisterServer();

}  // namespace vornexa::com

#endif  // VORNEXA_COM_REGISTRATION_H_
