// clsGrupo: the engine's account group behind the dual interface _clsGrupo.
#include "com/src/ado_connection.h"
#include "com/src/classes.h"
#include "com/src/error_info.h"
#include "com/src/module.h"
#include "com/src/property_accessors.h"
#include "Vornexa.h"
#include "vornexa/groups/cls_grupo.h"

namespace vornexa::com {

namespace {

const ClassDescription& Description();

class GrupoObject : public AutomationObject {
 public:
  GrupoObject() : AutomationObject(Description()) {}
  clsGrupo engine;
};

template <typename Body>
HRESULT Run(DualInterface* self, Body&& body) {
  return Guard(IID__clsGrupo, [&] { body(OwnerOf<GrupoObject>(self).engine); });
}

HRESULT STDMETHODCALLTYPE PutrefConexion(DualInterface* self, IDispatch* connection) {
  return Run(self, [&](clsGrupo& group) {
    if (connection != nullptr) PinModule();
    group.Conexion(WrapAdoConnection(connection));
  });
}

template <bool (clsGrupo::*Operation)()>
HRESULT STDMETHODCALLTYPE Ask(DualInterface* self, VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsGrupo& group) { *result = ToVariantBool((group.*Operation)()); });
}

using Empresa = PropertyAccessors<GrupoObject, &clsGrupo::Empresa>;
using Codigo = PropertyAccessors<GrupoObject, &clsGrupo::Codigo>;
using Nombre = PropertyAccessors<GrupoObject, &clsGrupo::Nombre>;

const ClassDescription& Description() {
  const void* const* dispatch = DispatchSlots();
  // In interface order.
  static const void* const table[] = {
    dispatch[0], dispatch[1], dispatch[2], dispatch[3], dispatch[4], dispatch[5], dispatch[6],
    Slot(&Empresa::Get), Slot(&Empresa::Put),
    Slot(&Codigo::Get), Slot(&Codigo::Put),
    Slot(&Nombre::Get), Slot(&Nombre::Put),
    Slot(&PutrefConexion),
    Slot(&Ask<&clsGrupo::Insertar>),
    Slot(&Ask<&clsGrupo::Eliminar>),
    Slot(&Ask<&clsGrupo::Modificar>),
    Slot(&Ask<&clsGrupo::Cargar>),
    Slot(&Ask<&clsGrupo::Existe>),
  };
  static const ClassDescription description{&IID__clsGrupo, nullptr, 0, table};
  return description;
}


}  // namespace

HRESULT CreateGrupo(REFIID iid, void** out) { return CreateObject<GrupoObject>(iid, out); }

}  // namespace vornexa::com
