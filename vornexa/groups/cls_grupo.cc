// clsGrupo: create, delete, rename, load and test the account groups of a
// company. The company code is the object's own field; no company object.
#include "vornexa/groups/cls_grupo.h"

#include <string>
#include <string_view>

#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_statement.h"

namespace vornexa {

namespace {

// "<head> WHERE Cod_Empresa =1 AND Codigo = 3": one group.
std::string OneGroup(std::string_view head, int16_t company, int16_t code) {
  return SqlStatement(head)
      .Raw(" WHERE Cod_Empresa =")
      .Number(company)
      .Raw(" AND Codigo = ")
      .Number(code)
      .Take();
}

}  // namespace

void clsGrupo::Conexion(std::shared_ptr<Connection> conEmp) {
  owner_.Check();
  StoreSharedConnectionIfUnset(std::move(conEmp));
}

// A successful write reports true: false would read as a failure.
bool clsGrupo::Insertar() {
  return Trap("clsGrupos::Insertar", [&] {
    owner_.Check();
    ValueList values("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (");
    values.Next().Number(Empresa);
    values.Next().Number(Codigo);
    values.Next().Text(Nombre, "Nombre");
    ExecuteShared(values.Close());
    return true;
  });
}

bool clsGrupo::Eliminar() {
  return Trap("clsGrupos::Eliminar", [&] {
    owner_.Check();
    if (Codigo == 0) return false;
    // Accounts of every exercise of the company count.
    if (HasRowsShared(SqlStatement("SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =")
                          .Number(Empresa)
                          .Raw(" AND Grupo =")
                          .Number(Codigo)
                          .text())) {
      RaiseComponentError(kRuntimeSource, std::string(error_description::kGroupHasAccounts));
    }
    ExecuteShared(OneGroup("DELETE FROM Cuentas_Grupos", Empresa, Codigo));
    return true;
  });
}

bool clsGrupo::Modificar() {
  return Trap("clsGrupos::Modificar", [&] {
    owner_.Check();
    // A group that does not exist stays so, without an error.
    ExecuteShared(SqlStatement("UPDATE Cuentas_Grupos SET Nombre =")
                      .Text(Nombre, "Nombre")
                      .Raw(" WHERE Cod_Empresa =")
                      .Number(Empresa)
                      .Raw(" AND Codigo =")
                      .Number(Codigo)
                      .text());
    return true;
  });
}

bool clsGrupo::Cargar() {
  return Trap("clsGrupos::Cargar", [&] {
    owner_.Check();
    const std::unique_ptr<Recordset> rows =
        OpenShared(OneGroup("SELECT Nombre FROM Cuentas_Grupos", Empresa, Codigo));
    const bool found = !rows->Eof();
    if (found) Nombre = rows->Field("Nombre").ToText();
    rows->Close();
    return found;
  });
}

bool clsGrupo::Existe() {
  return Trap("clsGrupos::Existe", [&] {
    owner_.Check();
    return HasRowsShared(OneGroup("SELECT Codigo FROM Cuentas_Grupos", Empresa, Codigo));
  });
}

}  // namespace vornexa
