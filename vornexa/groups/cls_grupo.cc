// clsGrupo: create, delete, rename, load and test the account groups of a
// company. The company code is the object's own field; no company object.
#include "vornexa/groups/cls_grupo.h"

#include <string>
#include <string_view>

#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_values.h"

namespace vornexa {

namespace {

constexpr std::string_view kEliminarSource = "clsGrupos::Eliminar";

// " WHERE Cod_Empresa =1 AND Codigo = 3": one group.
std::string GroupCondition(int16_t company, int16_t code) {
  return " WHERE Cod_Empresa =" + SqlInteger(company) + " AND Codigo = " + SqlInteger(code);
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
    ExecuteShared("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (" +
                  SqlInteger(Empresa) + ", " + SqlInteger(Codigo) + ", '" + SqlText(Nombre) + "')");
    return true;
  });
}

bool clsGrupo::Eliminar() {
  return Trap(kEliminarSource, [&] {
    owner_.Check();
    if (Codigo == 0) return false;
    // Accounts of every exercise of the company count.
    if (HasRowsShared("SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =" + SqlInteger(Empresa) +
                " AND Grupo =" + SqlInteger(Codigo))) {
      throw Error(error_number::kComponent, std::string(kEliminarSource),
                  "No se puede eliminar el grupo por tener cuentas asociadas");
    }
    ExecuteShared("DELETE FROM Cuentas_Grupos" + GroupCondition(Empresa, Codigo));
    return true;
  });
}

bool clsGrupo::Modificar() {
  return Trap("clsGrupos::Modificar", [&] {
    owner_.Check();
    // A group that does not exist stays so, without an error.
    ExecuteShared("UPDATE Cuentas_Grupos SET Nombre ='" + SqlText(Nombre) +
                  "' WHERE Cod_Empresa =" + SqlInteger(Empresa) +
                  " AND Codigo =" + SqlInteger(Codigo));
    return true;
  });
}

bool clsGrupo::Cargar() {
  return Trap("clsGrupos::Cargar", [&] {
    owner_.Check();
    const std::unique_ptr<Recordset> rows =
        OpenShared("SELECT Nombre FROM Cuentas_Grupos" + GroupCondition(Empresa, Codigo));
    const bool found = !rows->Eof();
    if (found) Nombre = rows->Field("Nombre").ToText();
    rows->Close();
    return found;
  });
}

bool clsGrupo::Existe() {
  return Trap("clsGrupos::Existe", [&] {
    owner_.Check();
    return HasRowsShared("SELECT Codigo FROM Cuentas_Grupos" + GroupCondition(Empresa, Codigo));
  });
}

}  // namespace vornexa
