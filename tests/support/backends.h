// The databases the behavioural suites run on. The embedded default is there
// whenever the build has its driver; further backends join when the build and
// the machine offer them.
#ifndef TESTS_SUPPORT_BACKENDS_H_
#define TESTS_SUPPORT_BACKENDS_H_

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/data/connection.h"

namespace vornexa::testing {

struct Backend {
  std::string name;  // a test-name-safe identifier
  // A connection to a database holding the nine tables, all empty.
  std::function<std::shared_ptr<Connection>()> open_empty;
};

std::vector<Backend> TestBackends();

// Those of TestBackends() behind a database server (PostgreSQL): for what
// needs other sessions, or a session ended from outside.
std::vector<Backend> ServerBackends();

// The embedded database alone, when the build has its driver: for what does
// not depend on the backend, such as the exact text of the statements sent.
std::vector<Backend> EmbeddedBackends();

// The live PostgreSQL server's ODBC connection string (VORNEXA_TEST_PG);
// empty when none is configured.
std::string PostgreSqlConnectionString();

// Whether a missing backend must fail its tests rather than be left out: under
// CI, or with VORNEXA_REQUIRE_ALL_BACKENDS=1.
bool AllBackendsRequired();

inline std::ostream& operator<<(std::ostream& out, const Backend& backend) {
  return out << backend.name;
}

// A new folder in the temporary directory, removed with all it holds.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};


}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_BACKENDS_H_
