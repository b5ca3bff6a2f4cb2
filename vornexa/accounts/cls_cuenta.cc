// clsCuenta's connection and company object: what every operation works with.
#include "vornexa/accounts/cls_cuenta.h"

#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa {

void clsCuenta::Conexion(std::shared_ptr<Connection> conCta) {
  ReplaceSharedConnection(std::move(conCta));
}

void clsCuenta::cEmpresa(std::shared_ptr<clsEmpresa> clsEmp) { empresa_ = std::move(clsEmp); }

clsEmpresa& clsCuenta::Company() const {
  if (!empresa_) RaiseRuntimeError(error_number::kObjectNotSet);
  return *empresa_;
}

}  // namespace vornexa
