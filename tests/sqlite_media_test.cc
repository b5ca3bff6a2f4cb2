// The embedded driver's files: WAL with full synchronisation and writers that
// wait for each other; a database that cannot be written (read-only folder
// or file) is still read, and a write says why it fails; a full disk is
// named as such and ends the unit of work it falls in.
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

#include "support/fixtures.h"
#include "vornexa/data/sqlite_failure.h"

namespace vornexa::testing {
namespace {

namespace fs = std::filesystem;
namespace err = error_number;
using namespace std::string_literals;

constexpr char kInsertGroup[] = "INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES ";
constexpr std::string_view kReadOnly =
    "La base de datos solo se puede leer: su archivo, su carpeta o el medio que la guarda no "
    "admiten escritura (attempt to write a readonly database)";
constexpr char kDiskFull[] = "No queda espacio en el disco de la base de datos (";

TEST(SqliteFile, RunsInWalWithFullSyncAndWaitsForOtherWriters) {
  const ScratchFolder folder;
  auto first = OpenSqlite(folder.Path("empresa.db"));
  auto second = OpenSqlite(folder.Path("empresa.db"));
  EXPECT_EQ(first->Open("PRAGMA journal_mode")->Field("journal_mode").ToText(), "wal");
  EXPECT_EQ(first->Open("PRAGMA synchronous")->Field("synchronous").ToInt32(), 2);
  CreateSchema(*first);
  // The second writer must wait for the first one's transaction, not fail.
  first->Execute("BEGIN IMMEDIATE");
  first->Execute(kInsertGroup + std::string("(1, 1, 'a')"));
  std::atomic<bool> done = false;
  std::thread writer([&] {
    second->Execute(kInsertGroup + std::string("(1, 2, 'b')"));
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(done);
  first->Execute("COMMIT");
  writer.join();
  EXPECT_EQ(first->Open("SELECT COUNT(*) AS n FROM Cuentas_Grupos")->Field("n").ToInt32(), 2);
}

TEST(SqliteFailure, NamesAFullDiskAndReadOnlyMediaAndKeepsOtherMessages) {
  const struct {
    int code;
    int system_errno;
    const char* message;
    std::string expected;
  } cases[] = {
      {SQLITE_FULL, 0, "database or disk is full", kDiskFull + "database or disk is full)"s},
      {SQLITE_IOERR_FSYNC, ENOSPC, "disk I/O error", kDiskFull + "disk I/O error)"s},
      {SQLITE_IOERR_WRITE, EIO, "disk I/O error", "disk I/O error"},
      {SQLITE_READONLY, 0, "attempt to write a readonly database", std::string(kReadOnly)},
      {SQLITE_ERROR, ENOSPC, "no such table: x", "no such table: x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqliteFailureDescription(c.code, c.system_errno, c.message), c.expected);
  }
}

// A database of one group, written and closed, so that only its main file
// is left; `wal` chooses its journal mode.
void MakeDatabase(const std::string& path, bool wal) {
  auto connection = OpenSqlite(path);
  CreateSchema(*connection);
  connection->Execute(kInsertGroup + std::string("(1, 1, 'G')"));
  if (!wal) connection->Execute("PRAGMA journal_mode=DELETE");
}

// Runs `check` in a child process that cannot write where the parent can
// (root writes anywhere, so the child gives up root first). The child prints
// what failed; the test fails unless it exits with 0.
void AsUnprivilegedChild(const std::function<std::string()>& check) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    const std::string failure = check();
    if (!failure.empty()) std::cerr << failure << "\n";
    _exit(failure.empty() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

// Reads the group back and tries a write; describes what went wrong.
std::string ReadsAndRefusesWrites(const std::string& path) {
  std::string step = "read";
  try {
    auto connection = OpenSqlite(path);
    if (connection->Open("SELECT Nombre FROM Cuentas_Grupos")->Field("Nombre").ToText() != "G") {
      return "row not read back";
    }
    step = "write";
    connection->Execute("DELETE FROM Cuentas_Grupos");
    return "the write succeeded";
  } catch (const Error& e) {
    const bool refused = e.Number() == err::kStatementRejected && e.Description() == kReadOnly;
    return step == "write" && refused ? "" : step + ": " + e.what();
  }
}

TEST(SqliteReadOnlyMedia, DatabaseIsReadAndWritesFailClearly) {
  const struct {
    const char* name;
    bool wal;
    mode_t folder_mode;
    mode_t file_mode;
  } cases[] = {
      {"WAL database in a read-only folder", true, 0555, 0666},
      {"WAL database as a read-only file", true, 0777, 0444},
      {"rollback-journal database in a read-only folder", false, 0555, 0444},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchFolder folder;
    // A read-only WAL database is opened through a URI: these must reach it
    // escaped, or another file (or none) would open.
    const std::string path = folder.Path("empresa #1 %41 ?.db");
    MakeDatabase(path, c.wal);
    ASSERT_FALSE(fs::exists(path + "-wal"));
    chmod(path.c_str(), c.file_mode);
    chmod(folder.path().c_str(), c.folder_mode);
    AsUnprivilegedChild([&] { return ReadsAndRefusesWrites(path); });
    // Nothing was changed: the database is whole.
    chmod(folder.path().c_str(), 0700);
    chmod(path.c_str(), 0600);
    EXPECT_EQ(OpenSqlite(path)->Open("PRAGMA integrity_check")->Field("integrity_check").ToText(),
              "ok");
  }
}

// Writes still in the WAL file would be ignored by a read that cannot use
// the WAL: such a database is refused rather than read without them.
TEST(SqliteReadOnlyMedia, PendingWalIsRefusedRatherThanIgnored) {
  const ScratchFolder folder;
  const std::string path = folder.Path("empresa.db"), copy = folder.Path("copia");
  MakeDatabase(path, true);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0; UPDATE Cuentas_Grupos SET Nombre = 'H'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  // A copy of the files as a crash would leave them, on media that cannot be written.
  fs::create_directory(copy);
  fs::copy_file(path, copy + "/empresa.db");
  fs::copy_file(path + "-wal", copy + "/empresa.db-wal");
  sqlite3_close(writer);
  chmod(folder.path().c_str(), 0755);
  chmod(copy.c_str(), 0555);
  AsUnprivilegedChild([&]() -> std::string {
    try {
      OpenSqlite(copy + "/empresa.db");
      return "opened without its WAL";
    } catch (const Error& e) {
      const std::string expected = "No se puede abrir la base de datos '" + copy +
                                   "/empresa.db': está en un medio de solo lectura con cambios "
                                   "sin integrar en su archivo '" + copy + "/empresa.db-wal'";
      return e.Number() == err::kConnectionUnusable && e.Description() == expected ? "" : e.what();
    }
  });
  chmod(copy.c_str(), 0700);
}

// The default file system, made the default for the connections opened
// while it lives, with one write refused (SQLITE_FULL) once a budget is
// spent: the disk fills up, and the rollback that follows frees room again.
class FillingDisk {
 public:
  FillingDisk() : vfs_(*sqlite3_vfs_find(nullptr)) {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_.zName = "vornexa-filling";
    vfs_.xOpen = Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  // Only once the connections opened through it are closed.
  ~FillingDisk() { sqlite3_vfs_unregister(&vfs_); }

  // Lets `writes` more writes through and refuses the next.
  void FillAfter(int writes) { budget_ = writes; }

 private:
  // Each kind of file keeps its own methods, its writes counted.
  struct Methods {
    sqlite3_io_methods counted;  // first, so that a file's methods lead back here
    const sqlite3_io_methods* real;
  };

  static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out) {
    const int rc = real_->xOpen(real_, name, file, flags, out);
    if (rc != SQLITE_OK || file->pMethods == nullptr) return rc;
    Methods& methods = methods_[file->pMethods];
    methods.real = file->pMethods;
    methods.counted = *file->pMethods;
    methods.counted.xWrite = [](sqlite3_file* f, const void* data, int size, sqlite3_int64 at) {
      const auto* real = reinterpret_cast<const Methods*>(f->pMethods)->real;
      return budget_-- == 0 ? SQLITE_FULL : real->xWrite(f, data, size, at);
    };
    file->pMethods = &methods.counted;
    return rc;
  }

  static inline int budget_ = INT_MAX;
  static inline sqlite3_vfs* real_;
  static inline std::map<const sqlite3_io_methods*, Methods> methods_;
  sqlite3_vfs vfs_;
};

// Saves rows of 150 bytes one savepoint each inside one unit of work, going
// on past failed rows as an import does; returns the first failure.
std::optional<Error> SaveRowsInOneUnit(Connection& connection, int rows) {
  std::optional<Error> failure;
  const auto note = [&failure](const Error& e) { failure = failure.value_or(e); };
  try {
    AtomicScope all(connection);
    for (int i = 1; i <= rows; ++i) {
      try {
        AtomicScope row(connection);
        connection.Execute(kInsertGroup + ("(1, " + std::to_string(i) + ", '" +
                                           std::string(150, 'x') + "')"));
        row.Commit();
      } catch (const Error& e) {
        note(e);
      }
    }
    all.Commit();
  } catch (const Error& e) {
    note(e);
  }
  return failure;
}

// A disk that fills up in the middle of a unit of work: SQLite then undoes
// the whole transaction by itself, and no later row of the unit may be
// saved on its own. The disk fills at each of a sweep of write counts;
// early ones fall inside the unit (rows 50 to 200), later ones at its
// commit, and the last leaves room for all. (The tool's tests fill a real
// tmpfs.)
TEST(SqliteFullDisk, LeavesTheUnitOfWorkWholeOrAbsentAndIsNamed) {
  FillingDisk filling;
  for (int writes : {0, 1, 2, 5, 8, 13, 21, 29, 144}) {
    SCOPED_TRACE(std::to_string(writes) + " writes");
    const ScratchFolder folder;
    filling.FillAfter(INT_MAX);
    auto connection = OpenSqlite(folder.Path("empresa.db"));
    CreateSchema(*connection);
    // A small page cache spills to the WAL inside the transaction, as a
    // long import does.
    connection->Execute("PRAGMA cache_size=2");
    filling.FillAfter(writes);
    const std::optional<Error> failure = SaveRowsInOneUnit(*connection, 300);
    filling.FillAfter(INT_MAX);
    const int64_t saved =
        connection->Open("SELECT COUNT(*) AS n FROM Cuentas_Grupos")->Field("n").ToInt64();
    EXPECT_EQ(saved, failure ? 0 : 300);
    EXPECT_EQ(failure.has_value(), writes < 144);
    if (failure) EXPECT_EQ(failure->Description().find(kDiskFull), 0u) << failure->Description();
    // Once the unit is over the connection writes again.
    AtomicScope again(*connection);
    connection->Execute(kInsertGroup + std::string("(2, 1, 'G')"));
    again.Commit();
  }
}

}  // namespace
}  // namespace vornexa::testing
