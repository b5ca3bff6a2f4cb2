// The two creatable classes of the component.
#ifndef VORNEXA_COM_CLASSES_H_
#define VORNEXA_COM_CLASSES_H_

#include <oaidl.h>

#include <cstddef>

namespace vornexa::com {

HRESULT CreateCuenta(REFIID iid, void** out);

// Interface ids of the earlier versions of _clsCuenta, each answered with
// the present interface so that callers built against them keep working.
inline constexpr size_t kEarlierCuentaIdCount = 16;
extern const IID kEarlierCuentaIds[kEarlierCuentaIdCount];
HRESULT CreateGrupo(REFIID iid, void** out);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_CLASSES_H_
