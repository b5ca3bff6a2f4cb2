#include "vornexa/frame/update_or_insert.h"

#include "vornexa/frame/shared_connection.h"

namespace vornexa {

bool UpdateOrInsert(std::string_view update, const std::function<void()>& insert) {
  if (ExecuteShared(update) != 0) return false;
  insert();
  return true;
}

}  // namespace vornexa
