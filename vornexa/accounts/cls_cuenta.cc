// clsCuenta's connection and company object: what every operation works with.
#include "vornexa/accounts/cls_cuenta.h"

#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa {

void clsCuenta::Conexion(std::shared_ptr<Connection> conCta) {
  owner_.Check();
  ReplaceSharedConnection(std::move(conCta));
}

void clsCuenta::cEmpresa(std::shared_ptr<clsEmpresa> clsEmp) {
  owner_.Check();
  empresa_ = std::move(clsEmp);
}

// Every operation asks for the company before its first statement, so this
// one check keeps an object on its own thread.
clsEmpresa& clsCuenta::Company() const {
  owner_.Check();
  if (!empresa_) RaiseRuntimeError(error_number::kObjectNotSet);
  return *empresa_;
}

}  // namespace vornexa
