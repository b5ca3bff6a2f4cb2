#include "vornexa/data/statement_cache.h"

#include <cstdlib>

#include "vornexa/base/error.h"
#include "vornexa/data/connection.h"

namespace vornexa {

size_t StatementCacheCapacity(size_t requested) {
  const char* setting = std::getenv(kStatementCacheVariable);
  if (setting == nullptr || std::string_view(setting) == "" || std::string_view(setting) == "1") {
    return requested;
  }
  if (std::string_view(setting) == "0") return 0;
  throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
              std::string(kStatementCacheVariable) + " admite 0 (sin caché de instrucciones) o 1, no '" +
                  setting + "'");
}

}  // namespace vornexa
