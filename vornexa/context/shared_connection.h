// The shared connection: one per thread, used by every account and group
// object of that thread. The library never opens, closes or configures it.
#ifndef VORNEXA_CONTEXT_SHARED_CONNECTION_H_
#define VORNEXA_CONTEXT_SHARED_CONNECTION_H_

#include <memory>
#include <string_view>

#include "vornexa/data/connection.h"

namespace vornexa {

// The calling thread's shared connection; empty when none was handed in.
const std::shared_ptr<Connection>& SharedConnection();

// Group objects: store `connection` only when the thread has none yet.
void StoreSharedConnectionIfUnset(std::shared_ptr<Connection> connection);
// Account objects: always replace; an empty pointer clears.
void ReplaceSharedConnection(std::shared_ptr<Connection> connection);

// Runs a statement on the shared connection; 91 when there is none.
int64_t ExecuteShared(std::string_view sql);
// Opens a result set on the shared connection; the data-access error for an
// unusable connection (3709) when there is none.
std::unique_ptr<Recordset> OpenShared(std::string_view sql, Cursor cursor = Cursor::ForwardOnly);
// Whether a query on the shared connection gives any row; its result set is
// closed before returning.
bool HasRowsShared(std::string_view sql);
// The shared connection for work that needs the object itself (atomic
// scopes, the dialect); 91 when there is none.
Connection& RequireSharedConnection();

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_SHARED_CONNECTION_H_
