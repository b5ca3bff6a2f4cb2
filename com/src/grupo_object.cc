// clsGrupo: the engine's account group behind the dual interface _clsGrupo.
#include "com/src/ado_connection.h"
#include "com/src/call_scope.h"
#include "com/src/classes.h"
#include "com/src/error_info.h"
#include "com/src/interfaces.h"
#include "com/src/property_accessors.h"
#include "com/src/thread_connection.h"
#include "vornexa/groups/cls_grupo.h"

namespace vornexa::com {

namespace {

const ClassDescription& Description();

class GrupoObject : public AutomationObject {
 public:
  using Interface = _clsGrupo;
  GrupoObject() : AutomationObject(Description()) {}
  clsGrupo engine;
};

template <typename Body>
HRESULT Run(_clsGrupo* self, Body&& body) {
  GrupoObject& object = OwnerOf<GrupoObject>(self);
  return Guard(IID__clsGrupo, [&] {
    CallScope scope(object);
    body(object.engine);
  });
}

// The connection is stored only when the thread has none: nothing is replaced.
HRESULT STDMETHODCALLTYPE PutrefConexion(_clsGrupo* self, IDispatch* connection) {
  return Run(self, [&](clsGrupo& group) {
    group.Conexion(WrapAdoConnection(connection));
    if (connection != nullptr) WatchThreadConnection();
  });
}

template <bool (clsGrupo::*Operation)()>
HRESULT STDMETHODCALLTYPE Ask(_clsGrupo* self, VARIANT_BOOL* result) {
  if (result == nullptr) return FailWithoutError(E_POINTER);
  *result = VARIANT_FALSE;
  return Run(self, [&](clsGrupo& group) { *result = ToVariantBool((group.*Operation)()); });
}

constexpr _clsGrupoVtbl kOperations = {
    VORNEXA_DISPATCH_ENTRIES(_clsGrupo),
    VORNEXA_PROPERTY(GrupoObject, Empresa),
    VORNEXA_PROPERTY(GrupoObject, Codigo),
    VORNEXA_PROPERTY(GrupoObject, Nombre),
    .putref_Conexion = &PutrefConexion,
    .Insertar = &Ask<&clsGrupo::Insertar>,
    .Eliminar = &Ask<&clsGrupo::Eliminar>,
    .Modificar = &Ask<&clsGrupo::Modificar>,
    .Cargar = &Ask<&clsGrupo::Cargar>,
    .Existe = &Ask<&clsGrupo::Existe>,
};

const ClassDescription& Description() {
  static const ClassDescription description{&IID__clsGrupo, nullptr, 0, &kOperations,
                                            LoadInterfaceInfo(IID__clsGrupo)};
  return description;
}

}  // namespace

HRESULT CreateGrupo(REFIID iid, void** out) { return CreateObject<GrupoObject>(iid, out); }

}  // namespace vornexa::com
