#include "vornexa/context/update_or_insert.h"

#include "vornexa/context/shared_connection.h"

namespace vornexa {

bool UpdateOrInsert(std::string_view update, const std::function<void()>& insert) {
  if (ExecuteShared(update) != 0) return false;
  insert();
  return true;
}

}  // namespace vornexa
