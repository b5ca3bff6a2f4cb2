#include "vornexa/context/update_or_insert.h"

#include "vornexa/context/shared_connection.h"

namespace vornexa {

bool UpdateOrInsert(Connection& connection, std::string_view update,
                    const std::function<void()>& insert) {
  if (connection.Execute(update) != 0) return false;
  insert();
  return true;
}

bool UpdateOrInsert(std::string_view update, const std::function<void()>& insert) {
  return UpdateOrInsert(RequireSharedConnection(), update, insert);
}

}  // namespace vornexa
