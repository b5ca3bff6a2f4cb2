// The company object a caller hands to clsCuenta.cEmpresa, seen by the
// engine as a clsEmpresa. Any Automation object serves, a script class
// included: each of the seven questions is asked by name at every use.
#ifndef VORNEXA_COM_COMPANY_H_
#define VORNEXA_COM_COMPANY_H_

#include <oaidl.h>

#include <memory>

#include "vornexa/context/empresa.h"

namespace vornexa::com {

// Holds a reference to `company` until the engine lets go of the result.
std::shared_ptr<clsEmpresa> WrapCompany(IDispatch* company);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_COMPANY_H_
