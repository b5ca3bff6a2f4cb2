// clsGrupo: an account group of a company (a Cuentas_Grupos row), named by
// its own fields Empresa and Codigo; no company object. Works on the thread's
// shared connection. Every failure is raised as vornexa::Error with the source
// "clsGrupos::<operation>": 91 without a connection (-2146824579 for the
// queries), the database's own number for a refused statement, 1000 for the
// refusals below. Each operation runs at most one write, so each is atomic.
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

  // Stores `conEmp` as the thread's shared connection only when none is
  // stored; otherwise the stored one stays. Never fails.
  void Conexion(std::shared_ptr<Connection> conEmp);

  // Creates the group; the database refuses a code already used. Text that
  // could not be stored exactly is refused (1000 naming Nombre) first.
  // Returns true.
  bool Insertar();
  // Deletes the group; refused (1000 kGroupHasAccounts) while an account of
  // any exercise of the company is filed under it. False, running nothing,
  // when Codigo is 0; true otherwise, even when there was no such group.
  bool Eliminar();
  // Renames the group to Nombre (unstorable text refused as by Insertar); a
  // group that does not exist stays so. Returns true.
  bool Modificar();
  // Loads Nombre; false, changing nothing, when the group does not exist.
  bool Cargar();
  // Whether the group exists.
  bool Existe();

 private:
  ThreadOwner owner_;
};

}  // namespace vornexa

#endif  // VORNEXA_GROUPS_CLS_GRUPO_H_
