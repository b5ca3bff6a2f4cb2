// clsGrupo: the engine's account group behind the dual interface _clsGrupo.
#include "com/src/classes.h"
#include "com/src/interfaces.h"
#include "com/src/member_calls.h"
#include "com/src/property_accessors.h"
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

template <bool (clsGrupo::*Operation)()>
constexpr auto Ask = &AskMember<GrupoObject, Operation>;

constexpr _clsGrupoVtbl kOperations = {
    VORNEXA_DISPATCH_ENTRIES(_clsGrupo),
    VORNEXA_PROPERTY(GrupoObject, Empresa),
    VORNEXA_PROPERTY(GrupoObject, Codigo),
    VORNEXA_PROPERTY(GrupoObject, Nombre),
    .putref_Conexion = &PutrefConexion<GrupoObject>,
    .Insertar = Ask<&clsGrupo::Insertar>,
    .Eliminar = Ask<&clsGrupo::Eliminar>,
    .Modificar = Ask<&clsGrupo::Modificar>,
    .Cargar = Ask<&clsGrupo::Cargar>,
    .Existe = Ask<&clsGrupo::Existe>,
};

const ClassDescription& Description() {
  static const ClassDescription description{&IID__clsGrupo, nullptr, 0, &kOperations,
                                            LoadInterfaceInfo(IID__clsGrupo)};
  return description;
}

}  // namespace

HRESULT CreateGrupo(REFIID iid, void** out) { return CreateObject<GrupoObject>(iid, out); }

}  // namespace vornexa::com
