#include "vornexa/context/shared_connection.h"

#include "vornexa/base/error.h"

namespace vornexa {

namespace {

std::shared_ptr<Connection>& ThreadConnection() {
  thread_local std::shared_ptr<Connection> connection;
  return connection;
}

}  // namespace

const std::shared_ptr<Connection>& SharedConnection() { return ThreadConnection(); }

void StoreSharedConnectionIfUnset(std::shared_ptr<Connection> connection) {
  if (!ThreadConnection()) ThreadConnection() = std::move(connection);
}

void ReplaceSharedConnection(std::shared_ptr<Connection> connection) {
  ThreadConnection() = std::move(connection);
}

Connection& RequireSharedConnection() {
  const auto& connection = ThreadConnection();
  if (!connection) RaiseRuntimeError(error_number::kObjectNotSet);
  return *connection;
}

int64_t ExecuteShared(std::string_view sql) { return RequireSharedConnection().Execute(sql); }

std::unique_ptr<Recordset> OpenShared(std::string_view sql, Cursor cursor) {
  const auto& connection = ThreadConnection();
  if (!connection) RaiseDataError(error_number::kConnectionUnusable);
  return connection->Open(sql, cursor);
}

bool HasRowsShared(std::string_view sql) {
  const std::unique_ptr<Recordset> rows = OpenShared(sql);
  const bool found = !rows->Eof();
  rows->Close();
  return found;
}

}  // namespace vornexa
