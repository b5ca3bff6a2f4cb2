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

// Those of TestBackends() behind a database server (PostgreSQL): for what
// needs other sessions, or a session ended from outside.
std::vector<Backend> ServerBackends();

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

// A fresh tmpfs of `size` ("256k"), unmounted at the end of the test.
// Mounting needs privileges the test may not have.
class ScratchMount {
 public:
  explicit ScratchMount(const char* size);
  ~ScratchMount();
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;

  bool mounted() const { return mounted_; }
  std::string Path(const std::string& name) const { return folder_.Path(name); }

 private:
  const ScratchFolder folder_;
  const bool mounted_;
};

// A child process holding a lock on the database at `path`: it runs
// `statements` (BEGIN IMMEDIATE, say) on a connection of its own and keeps
// them open until the object goes.
class LockFromOtherProcess {
 public:
  LockFromOtherProcess(const std::string& path, const std::vector<std::string>& statements);
  ~LockFromOtherProcess();
  LockFromOtherProcess(const LockFromOtherProcess&) = delete;
  LockFromOtherProcess& operator=(const LockFromOtherProcess&) = delete;

 private:
  int release_ = -1;  // the pipe that tells the child to end
  int child_ = -1;
};

// Instantiates a BackendTest-derived suite on the database servers alone.
#define VORNEXA_ON_SERVERS(Suite)                                                              \
  INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::ValuesIn(::vornexa::testing::ServerBackends()), \
                           [](const auto& info) { return info.param.name; });                  \
  GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Suite)

}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_BACKENDS_H_
