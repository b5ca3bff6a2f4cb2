// The three backends: embedded SQLite, SQLite through its ODBC driver, and a
// live PostgreSQL server through its ODBC driver (VORNEXA_TEST_PG). A backend
// the machine cannot offer is left out with one message on standard error;
// under CI (or VORNEXA_REQUIRE_ALL_BACKENDS=1) it stays in and its tests fail
// with that message instead, so that no run passes with a backend missing.
#include "support/backends.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "vornexa/base/error.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"

namespace vornexa::testing {

namespace {

// Keeps a temporary database file for as long as its connection lives.
struct TemporaryDatabase {
  ~TemporaryDatabase() {
    connection.reset();
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
      std::remove((path + suffix).c_str());
    }
  }
  std::string path;
  std::shared_ptr<Connection> connection;
};

std::shared_ptr<Connection> OpenSqliteThroughOdbc() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/vornexa-odbc-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) throw std::runtime_error("cannot create a temporary file in " + path);
  close(fd);
  auto database = std::make_shared<TemporaryDatabase>();
  database->path = path;
  // Each test's file is new and thrown away: durability is not what is tested.
  database->connection = OpenOdbc(
      "Driver=SQLite3;Database=" + path + ";Timeout=10000;SyncPragma=OFF;", Dialect::Sqlite);
  CreateSchema(*database->connection);
  return std::shared_ptr<Connection>(database, database->connection.get());
}

std::shared_ptr<Connection> OpenEmptyPostgreSql() {
  auto connection = OpenOdbc(PostgreSqlConnectionString(), Dialect::PostgreSql);
  // The server's database outlives each test: what a test dropped comes
  // back, what it wrote goes.
  CreateSchema(*connection);
  for (const TableDef& table : SchemaTables()) {
    connection->Execute("DELETE FROM " + std::string(table.name));
  }
  return connection;
}

// Whether `open` works here; the reason when it does not.
std::string WhyUnavailable(const std::function<std::shared_ptr<Connection>()>& open) {
  try {
    open();
    return {};
  } catch (const std::exception& e) {
    return e.what();
  }
}

void AddUnlessMissing(std::vector<Backend>& backends, Backend backend, const std::string& missing) {
  if (missing.empty()) {
    backends.push_back(std::move(backend));
    return;
  }
  if (!AllBackendsRequired()) {
    std::cerr << "Backend " << backend.name << " left out: " << missing << "\n";
    return;
  }
  backend.open_empty = [name = backend.name, missing]() -> std::shared_ptr<Connection> {
    throw std::runtime_error("backend " + name + " is required here but missing: " + missing);
  };
  backends.push_back(std::move(backend));
}

std::vector<Backend> BuildBackends() {
  std::vector<Backend> backends;
  backends.push_back({"EmbeddedSqlite", [] {
                        auto connection = OpenSqlite(":memory:");
                        CreateSchema(*connection);
                        return connection;
                      }});
  AddUnlessMissing(backends, {"SqliteOdbc", OpenSqliteThroughOdbc}, WhyUnavailable([] {
                     return OpenOdbc("Driver=SQLite3;Database=:memory:;", Dialect::Sqlite);
                   }));
  AddUnlessMissing(backends, {"PostgreSql", OpenEmptyPostgreSql},
                   PostgreSqlConnectionString().empty()
                       ? "VORNEXA_TEST_PG is not set (run the tests under scripts/with-postgres)"
                       : "");
  return backends;
}

}  // namespace

bool AllBackendsRequired() {
  for (const char* name : {"CI", "VORNEXA_REQUIRE_ALL_BACKENDS"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0' && std::string(value) != "0" &&
        std::string(value) != "false") {
      return true;
    }
  }
  return false;
}

std::string PostgreSqlConnectionString() {
  const char* value = std::getenv("VORNEXA_TEST_PG");
  return value ? value : "";
}

std::vector<Backend> TestBackends() {
  // Asked once per suite; worked out, and reported, once per process.
  static const std::vector<Backend> backends = BuildBackends();
  return backends;
}

}  // namespace vornexa::testing
