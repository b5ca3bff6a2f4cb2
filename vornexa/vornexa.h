// Vornexa: the chart of accounts of the accounting application, kept in its
// SQL database. This header gives the whole public surface; callers include
// it alone.
#ifndef VORNEXA_VORNEXA_H_
#define VORNEXA_VORNEXA_H_

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"
#include "vornexa/base/types.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/data/value.h"
#include "vornexa/context/empresa.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/context/update_or_insert.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"
#include "vornexa/groups/cls_grupo.h"
#include "vornexa/accounts/account_record.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/chart/seed.h"
#include "vornexa/chart/tree.h"
#include "vornexa/chart/restructure.h"

#endif  // VORNEXA_VORNEXA_H_
