// The two creatable classes of the component.
#ifndef VORNEXA_COM_CLASSES_H_
#define VORNEXA_COM_CLASSES_H_

#include <oaidl.h>

namespace vornexa::com {

HRESULT CreateCuenta(REFIID iid, void** out);
HRESULT CreateGrupo(REFIID iid, void** out);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_CLASSES_H_
