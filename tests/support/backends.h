// The databases the behavioural suites run on. The embedded default is always
// there; further backends join when the machine offers them.
#ifndef TESTS_SUPPORT_BACKENDS_H_
#define TESTS_SUPPORT_BACKENDS_H_

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "vornexa/data/connection.h"

namespace vornexa::testing {

struct Backend {
  std::string name;  // a test-name-safe identifier
  // A connection to a database holding the nine tables, all empty.
  std::function<std::shared_ptr<Connection>()> open_empty;
};

std::vector<Backend> TestBackends();

// The live PostgreSQL server's ODBC connection string (VORNEXA_TEST_PG);
// empty when none is configured.
std::string PostgreSqlConnectionString();

// Whether a missing backend must fail its tests rather than be left out: under
// CI, or with VORNEXA_REQUIRE_ALL_BACKENDS=1.
bool AllBackendsRequired();

inline std::ostream& operator<<(std::ostream& out, const Backend& backend) {
  return out << backend.name;
}

}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_BACKENDS_H_
