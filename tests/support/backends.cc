#include "support/backends.h"

#include "vornexa/schema/schema.h"

namespace vornexa::testing {

std::vector<Backend> TestBackends() {
  std::vector<Backend> backends;
  backends.push_back({"EmbeddedSqlite", [] {
                        auto connection = OpenSqlite(":memory:");
                        CreateSchema(*connection);
                        return connection;
                      }});
  return backends;
}

}  // namespace vornexa::testing
