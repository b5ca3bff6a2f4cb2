// The embedded driver on hostile media: a database that cannot be written
// (read-only folder, file or mount) is still read, and a write says why it
// fails; a full disk is named as such.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "support/fixtures.h"
#include "vornexa/data/sqlite_failure.h"
#include "vornexa/vornexa.h"

namespace vornexa::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kReadOnly =
    "La base de datos solo se puede leer: su archivo, su carpeta o el medio que la guarda no "
    "admiten escritura (attempt to write a readonly database)";

TEST(SqliteFailure, NamesAFullDiskAndReadOnlyMediaAndKeepsOtherMessages) {
  const struct {
    int code;
    int system_errno;
    const char* message;
    std::string expected;
  } cases[] = {
      {SQLITE_FULL, 0, "database or disk is full",
       "No queda espacio en el disco de la base de datos (database or disk is full)"},
      {SQLITE_IOERR_WRITE, ENOSPC, "disk I/O error",
       "No queda espacio en el disco de la base de datos (disk I/O error)"},
      {SQLITE_IOERR_FSYNC, ENOSPC, "disk I/O error",
       "No queda espacio en el disco de la base de datos (disk I/O error)"},
      {SQLITE_IOERR_WRITE, EIO, "disk I/O error", "disk I/O error"},
      {SQLITE_READONLY, 0, "attempt to write a readonly database", std::string(kReadOnly)},
      {SQLITE_ERROR, ENOSPC, "no such table: x", "no such table: x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqliteFailureDescription(c.code, c.system_errno, c.message), c.expected);
  }
}

// A database of one account, written and closed, so that only its main file
// is left; `wal` chooses its journal mode.
void MakeDatabase(const std::string& path, bool wal) {
  auto connection = OpenSqlite(path);
  CreateSchema(*connection);
  connection->Execute("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'G')");
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
  try {
    auto connection = OpenSqlite(path);
    auto rows = connection->Open("SELECT Nombre FROM Cuentas_Grupos");
    if (rows->Eof() || rows->Field("Nombre").ToText() != "G") return "row not read back";
    rows->Close();
    const Error refused = [&] {
      try {
        connection->Execute("DELETE FROM Cuentas_Grupos");
      } catch (const Error& e) {
        return e;
      }
      return Error(0, "", "the write succeeded");
    }();
    if (refused.Number() != error_number::kStatementRejected || refused.Description() != kReadOnly) {
      return "write: " + std::string(refused.what());
    }
    return "";
  } catch (const Error& e) {
    return e.what();
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
      {"WAL database, file and folder read-only", true, 0555, 0444},
      {"rollback-journal database in a read-only folder", false, 0555, 0444},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char folder_template[] = "/tmp/vornexa-ro-XXXXXX";
    ASSERT_NE(mkdtemp(folder_template), nullptr);
    const std::string folder = folder_template;
    const std::string path = folder + "/empresa.db";
    MakeDatabase(path, c.wal);
    ASSERT_FALSE(fs::exists(path + "-wal"));
    chmod(path.c_str(), c.file_mode);
    chmod(folder.c_str(), c.folder_mode);
    AsUnprivilegedChild([&] { return ReadsAndRefusesWrites(path); });
    // Nothing was changed: the database is whole.
    chmod(folder.c_str(), 0700);
    chmod(path.c_str(), 0600);
    auto check = OpenSqlite(path)->Open("PRAGMA integrity_check");
    EXPECT_EQ(check->Field("integrity_check").ToText(), "ok");
    check->Close();
    fs::remove_all(folder);
  }
}

// Writes still in the WAL file would be ignored by a read that cannot use
// the WAL: such a database is refused rather than read without them.
TEST(SqliteReadOnlyMedia, PendingWalIsRefusedRatherThanIgnored) {
  char folder_template[] = "/tmp/vornexa-ro-XXXXXX";
  ASSERT_NE(mkdtemp(folder_template), nullptr);
  const std::string folder = folder_template;
  const std::string path = folder + "/empresa.db";
  MakeDatabase(path, true);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0; UPDATE Cuentas_Grupos SET Nombre = 'H'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  // A copy of the files as a crash would leave them, on media that cannot be written.
  const std::string copy = folder + "/copia";
  fs::create_directory(copy);
  fs::copy_file(path, copy + "/empresa.db");
  fs::copy_file(path + "-wal", copy + "/empresa.db-wal");
  sqlite3_close(writer);
  chmod(folder.c_str(), 0755);
  chmod(copy.c_str(), 0555);
  AsUnprivilegedChild([&]() -> std::string {
    try {
      OpenSqlite(copy + "/empresa.db");
      return "opened without its WAL";
    } catch (const Error& e) {
      const std::string expected = "No se puede abrir la base de datos '" + copy +
                                   "/empresa.db': está en un medio de solo lectura con cambios "
                                   "sin integrar en su archivo '" + copy + "/empresa.db-wal'";
      return e.Number() == error_number::kConnectionUnusable && e.Description() == expected
                 ? ""
                 : e.what();
    }
  });
  chmod(copy.c_str(), 0700);
  fs::remove_all(folder);
}

// A fresh tmpfs of `size` mounted on a new folder, unmounted and removed at
// the end of the test. Mounting needs privileges the test may not have.
class ScratchMount {
 public:
  explicit ScratchMount(const char* size) {
    char folder_template[] = "/tmp/vornexa-mount-XXXXXX";
    if (mkdtemp(folder_template) == nullptr) return;
    folder_ = folder_template;
    const std::string options = std::string("size=") + size;
    mounted_ = mount("vornexa-test", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~ScratchMount() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    if (!folder_.empty()) fs::remove(folder_);
  }
  bool mounted() const { return mounted_; }
  std::string Path(const char* name) const { return folder_ + "/" + name; }
  bool MakeReadOnly() const {
    return mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST(SqliteReadOnlyMedia, ReadOnlyMount) {
  const ScratchMount media("4m");
  if (!media.mounted()) GTEST_SKIP() << "mounting is not permitted here";
  MakeDatabase(media.Path("empresa.db"), true);
  ASSERT_TRUE(media.MakeReadOnly());
  EXPECT_EQ(ReadsAndRefusesWrites(media.Path("empresa.db")), "");
}

TEST(SqliteFullDisk, IsNamedAsSuch) {
  const ScratchMount disk("256k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting is not permitted here";
  auto connection = OpenSqlite(disk.Path("empresa.db"));
  CreateSchema(*connection);
  const Error full = CaughtError([&] {
    for (int i = 1; i < 10000; ++i) {
      connection->Execute("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, " +
                          std::to_string(i) + ", '" + std::string(150, 'x') + "')");
    }
  });
  EXPECT_EQ(full.Number(), error_number::kStatementRejected);
  EXPECT_EQ(full.Description().rfind("No queda espacio en el disco de la base de datos (", 0), 0u)
      << full.Description();
}

}  // namespace
}  // namespace vornexa::testing
