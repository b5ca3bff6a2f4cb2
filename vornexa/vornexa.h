// Vornexa: the chart of accounts of the accounting application, kept in its
// SQL database. This header gives the whole public surface.
#ifndef VORNEXA_VORNEXA_H_
#define VORNEXA_VORNEXA_H_

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/data/value.h"
#include "vornexa/context/empresa.h"
#include "vornexa/base/error.h"
#include "vornexa/context/sql_values.h"
#include "vornexa/base/types.h"
#include "vornexa/groups/cls_grupo.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"

#endif  // VORNEXA_VORNEXA_H_
