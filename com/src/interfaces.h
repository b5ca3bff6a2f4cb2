// The generated declarations of the component's interfaces in their C form:
// a table of operations is a struct of typed function pointers in the type
// library's order, so each class fills its table by member name, and the
// compiler refuses an entry out of order, of the wrong type or missing
// (with -Werror=missing-field-initializers).
#ifndef VORNEXA_COM_INTERFACES_H_
#define VORNEXA_COM_INTERFACES_H_

#include <oaidl.h>

#define CINTERFACE
#include "Vornexa.h"
#undef CINTERFACE

#endif  // VORNEXA_COM_INTERFACES_H_
