// clsGrupo: an account group of a company (a Cuentas_Grupos row). Works on
// the thread's shared connection, which it stores only when none is stored.
// An object belongs to the thread that created it: called from any other, an
// operation raises -2147417842 under its own source before it touches a
// connection.
#ifndef VORNEXA_GROUPS_CLS_GRUPO_H_
#define VORNEXA_GROUPS_CLS_GRUPO_H_

#include <cstdint>
#include <memory>
#include <string>

#include "vornexa/context/thread_owner.h"
#include "vornexa/data/connection.h"

namespace vornexa {

class clsGrupo {
 public:
  int16_t Empresa = 0;
  int16_t Codigo = 0;
  std::string Nombre;

  // Stores `conEmp` as the thread's shared connection only when none is stored.
  void Conexion(std::shared_ptr<Connection> conEmp);

  bool Insertar();
  // Refused (error 1000) while any exercise files an account under the group;
  // false, with nothing done, when Codigo is 0.
  bool Eliminar();
  bool Modificar();
  // True when found; loads Nombre.
  bool Cargar();
  bool Existe();

 private:
  ThreadOwner owner_;
};

}  // namespace vornexa

#endif  // VORNEXA_GROUPS_CLS_GRUPO_H_
