// The engine's Connection over a caller's ADO Connection, reached only
// through IDispatch so that any version of ADO (or an object shaped like it)
// serves. Statements go out unchanged as text commands: the dialect is SQL
// Server. Reads open an ADODB.Recordset on the statement with the caller's
// connection as its active connection.
//
// Atomic scopes nest in a transaction the caller opened (BeginTrans, or a
// BEGIN TRANSACTION statement): SELECT @@TRANCOUNT tells whether one is
// open; the outermost scope then takes a SAVE TRANSACTION savepoint inside
// it, else runs BEGIN TRANSACTION itself; inner scopes are savepoints.
#ifndef VORNEXA_COM_ADO_CONNECTION_H_
#define VORNEXA_COM_ADO_CONNECTION_H_

#include <oaidl.h>

#include <memory>

#include "vornexa/data/connection.h"

namespace vornexa::com {

// Holds a reference to `connection` until the engine lets go of the result;
// null gives null.
std::shared_ptr<Connection> WrapAdoConnection(IDispatch* connection);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_ADO_CONNECTION_H_
