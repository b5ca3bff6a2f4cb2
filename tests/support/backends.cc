// The three backends: embedded SQLite, SQLite through its ODBC driver, and a
// live PostgreSQL server through its ODBC driver (VORNEXA_TEST_PG).
#include "support/backends.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>

#include "vornexa/base/error.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"

namespace vornexa::testing {

namespace {

// Keeps a database file's folder for as long as its connection lives.
struct TemporaryDatabase {
  ScratchFolder folder;
  std::shared_ptr<Connection> connection;  // closed before the folder goes
};

std::shared_ptr<Connection> OpenSqliteThroughOdbc() {
  auto database = std::make_shared<TemporaryDatabase>();
  // Each test's file is new and thrown away: durability is not what is tested.
  database->connection = OpenOdbc("Driver=SQLite3;Database=" + database->folder.Path("empresa.db") +
                                      ";Timeout=10000;SyncPragma=OFF;",
                                  Dialect::Sqlite);
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

// Adds `backend`; one that is `missing` (why) is left out, saying why, or when
// required stays in as a backend whose every test fails saying why, so that
// no run passes with a backend missing.
void AddUnlessMissing(std::vector<Backend>& backends, Backend backend, const std::string& missing) {
  if (!missing.empty() && !AllBackendsRequired()) {
    std::cerr << "Backend " << backend.name << " left out: " << missing << "\n";
    return;
  }
  if (!missing.empty()) {
    backend.open_empty = [name = backend.name, missing]() -> std::shared_ptr<Connection> {
      throw std::runtime_error("backend " + name + " is required here but missing: " + missing);
    };
  }
  backends.push_back(std::move(backend));
}

std::vector<Backend> BuildBackends() {
  std::vector<Backend> backends;
  // A driver left out of the build is no missing backend: CTest names what
  // such a build leaves out.
#ifdef VORNEXA_WITH_SQLITE
  backends.push_back({"EmbeddedSqlite", [] {
                        auto connection = OpenSqlite(":memory:");
                        CreateSchema(*connection);
                        return connection;
                      }});
#endif
#ifdef VORNEXA_WITH_ODBC
  std::string odbc_missing;
  try {
    OpenOdbc("Driver=SQLite3;Database=:memory:;", Dialect::Sqlite);
  } catch (const std::exception& e) {
    odbc_missing = e.what();
  }
  AddUnlessMissing(backends, {"SqliteOdbc", OpenSqliteThroughOdbc}, odbc_missing);
  AddUnlessMissing(backends, {"PostgreSql", OpenEmptyPostgreSql},
                   PostgreSqlConnectionString().empty()
                       ? "VORNEXA_TEST_PG is not set (run the tests under scripts/with-postgres)"
                       : "");
#endif
  return backends;
}

}  // namespace

bool AllBackendsRequired() {
  for (const char* name : {"CI", "VORNEXA_REQUIRE_ALL_BACKENDS"}) {
    const std::string value = std::getenv(name) ? std::getenv(name) : "";
    if (!value.empty() && value != "0" && value != "false") return true;
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

std::vector<Backend> TestBackendsNamed(std::string_view name) {
  std::vector<Backend> named = TestBackends();
  std::erase_if(named, [name](const Backend& backend) { return backend.name != name; });
  return named;
}

std::vector<Backend> ServerBackends() { return TestBackendsNamed("PostgreSql"); }

std::vector<Backend> EmbeddedBackends() { return TestBackendsNamed("EmbeddedSqlite"); }

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vornexa-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a folder like " + pattern);
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace vornexa::testing
