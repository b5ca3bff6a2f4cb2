// Saving accounts on the embedded database: Insertar of new accounts (level
// check, account row, accumulator row and three department rows in one
// savepoint) and Modificar of existing ones, on a file database (WAL, full
// synchronisation, as OpenSqlite sets it) and in memory. Beside each, raw
// SQLite runs the very statement texts the library sends, translated the
// same way, with the same transaction structure, so the difference is the
// library's own cost.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "vornexa/accounts/maintenance_statements.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/vornexa.h"

namespace {

using vornexa::clsCuenta;
namespace sql = vornexa::maintenance_sql;

// BenchCompany's code and active exercise.
constexpr int16_t kCompany = 1;
constexpr int16_t kExercise = 5;
constexpr int16_t kDetailLevel = 5;
constexpr int kDepartments = 3;
// Upper accounts "1000" to "1999" let new detail codes run to 19999999.
constexpr int kUpperAccounts = 1000;
constexpr int kExistingAccounts = 1000;

enum Storage : int64_t { kFile = 0, kMemory = 1 };

// Detail code number `n`: eight digits whose first four name an upper account.
std::string DetailCode(int64_t n) { return std::to_string(10000000 + n); }

// The tables, the company's departments and the upper accounts, through `run`.
void Seed(const std::function<void(const std::string&)>& run) {
  for (const std::string& statement : vornexa::SchemaStatements(vornexa::Dialect::Sqlite)) {
    run(statement);
  }
  run("BEGIN");
  for (int d = 1; d <= kDepartments; ++d) {
    run("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, " + std::to_string(d) + ")");
  }
  for (int u = 0; u < kUpperAccounts; ++u) {
    run("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (1, 5, '" +
        std::to_string(1000 + u) + "', 4)");
  }
  run("COMMIT");
}

// An account as a screen would fill it; the registry is left out (no Nif).
clsCuenta SampleAccount() {
  clsCuenta account;
  account.Nombre = "Cliente de prueba, S.L.";
  account.Direccion = "Calle Mayor 1";
  account.Cp = 46001;
  account.Localidad = "Valencia";
  account.Provincia = "Valencia";
  account.Pais = "España";
  account.IBAN = "ES9121000418450200051332";
  account.FormaPago = 2;
  return account;
}

// Raw SQLite: every statement prepared from its text, stepped and finalized,
// as the library's driver does.
class RawDatabase {
 public:
  explicit RawDatabase(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
    sqlite3_busy_timeout(db_, 10000);
    if (path != ":memory:") Execute("PRAGMA journal_mode=WAL");
    Execute("PRAGMA synchronous=FULL");
  }
  ~RawDatabase() { sqlite3_close_v2(db_); }

  // Runs a statement in the SQL Server dialect; the rows it changed.
  int64_t Execute(const std::string& text) {
    ForEachRow(text, [](sqlite3_stmt*) {});
    return sqlite3_changes64(db_);
  }
  bool Exists(const std::string& text) {
    bool found = false;
    ForEachRow(text, [&](sqlite3_stmt*) { found = true; });
    return found;
  }
  std::vector<int64_t> Integers(const std::string& text) {
    std::vector<int64_t> values;
    ForEachRow(text, [&](sqlite3_stmt* stmt) { values.push_back(sqlite3_column_int64(stmt, 0)); });
    return values;
  }

 private:
  void ForEachRow(const std::string& text, const std::function<void(sqlite3_stmt*)>& row) {
    const std::string translated = vornexa::TranslateSql(text, vornexa::Dialect::Sqlite);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, translated.c_str(), static_cast<int>(translated.size()), &stmt,
                           nullptr) != SQLITE_OK) {
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
  }

  sqlite3* db_ = nullptr;
};

// What Insertar sends for a new detail account, step for step.
void RawInsertar(RawDatabase& db, clsCuenta& account) {
  if (db.Execute(sql::UpdateAccount(account, kCompany, kExercise)) != 0) return;
  account.Nivel = kDetailLevel;
  if (!db.Exists(sql::SelectUpperAccount(kCompany, kExercise, account.Cuenta.substr(0, 4)))) {
    throw std::runtime_error("upper account missing");
  }
  db.Execute("SAVEPOINT vornexa_1");
  db.Execute(sql::InsertAccount(account, kCompany, kExercise));
  if (db.Execute(sql::UpdateAccumulatorLevel(kDetailLevel, kCompany, kExercise, account.Cuenta)) ==
      0) {
    db.Execute(sql::InsertAccumulator(kCompany, kExercise, account.Cuenta, kDetailLevel));
  }
  for (int64_t code : db.Integers(sql::SelectDepartments(kCompany))) {
    const std::string department = std::to_string(code);
    if (db.Execute(sql::UpdateDepartmentAccumulatorLevel(kDetailLevel, kCompany, kExercise,
                                                         department, account.Cuenta)) == 0) {
      db.Execute(sql::InsertDepartmentAccumulator(kCompany, kExercise, department, account.Cuenta,
                                                  kDetailLevel));
    }
  }
  db.Execute("RELEASE vornexa_1");
}

// The library on its own connection, handed to the thread.
struct LibrarySide {
  explicit LibrarySide(const std::string& path) : connection(vornexa::OpenSqlite(path)) {
    Seed([&](const std::string& statement) { connection->Execute(statement); });
    account.Conexion(connection);
    account.cEmpresa(vornexa::bench::BenchCompany());
  }
  ~LibrarySide() { vornexa::ReplaceSharedConnection(nullptr); }

  void CreateExisting() {
    vornexa::AtomicScope all(*connection);
    for (int n = 0; n < kExistingAccounts; ++n) {
      account.Cuenta = DetailCode(n);
      account.Insertar();
    }
    all.Commit();
  }

  std::shared_ptr<vornexa::Connection> connection;
  clsCuenta account = SampleAccount();
};

struct RawSide {
  explicit RawSide(const std::string& path) : db(path) {
    Seed([&](const std::string& statement) { db.Execute(statement); });
  }

  void CreateExisting() {
    db.Execute("BEGIN");
    for (int n = 0; n < kExistingAccounts; ++n) {
      account.Cuenta = DetailCode(n);
      RawInsertar(db, account);
    }
    db.Execute("COMMIT");
  }

  RawDatabase db;
  clsCuenta account = SampleAccount();
};

enum class Accounts { kNew, kExisting };

// Runs `save` once per iteration on a fresh database of `Side`, on a new
// account code each time or in turn on the existing ones.
template <typename Side, typename Save>
void MeasureSaves(benchmark::State& state, Accounts accounts, Save save) {
  const auto storage = static_cast<Storage>(state.range(0));
  std::optional<vornexa::bench::ScratchDatabase> file;
  if (storage == kFile) file.emplace("maintenance");
  Side side(file ? file->path() : ":memory:");
  if (accounts == Accounts::kExisting) side.CreateExisting();
  int64_t n = 0;
  for (auto _ : state) {
    side.account.Cuenta = DetailCode(accounts == Accounts::kNew ? n : n % kExistingAccounts);
    ++n;
    save(side);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(storage == kFile ? "file, WAL, synchronous=FULL" : ":memory:");
}

// The operations measured. Out of line, so that callgrind can count their
// instructions per call, whatever the machine's load:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*LibraryInsertar*' ...
[[gnu::noinline]] void LibraryInsertar(LibrarySide& side) {
  benchmark::DoNotOptimize(side.account.Insertar());
}
[[gnu::noinline]] void RawSqliteInsertar(RawSide& side) { RawInsertar(side.db, side.account); }
[[gnu::noinline]] void LibraryModificar(LibrarySide& side) {
  benchmark::DoNotOptimize(side.account.Modificar());
}
// What Modificar sends for an existing account with no Nif: its one update.
[[gnu::noinline]] void RawSqliteModificar(RawSide& side) {
  if (side.db.Execute(sql::UpdateAccount(side.account, kCompany, kExercise)) != 1) {
    throw std::runtime_error("account missing");
  }
}

void BM_Insertar(benchmark::State& state) {
  MeasureSaves<LibrarySide>(state, Accounts::kNew, LibraryInsertar);
}
void BM_Insertar_RawSqlite(benchmark::State& state) {
  MeasureSaves<RawSide>(state, Accounts::kNew, RawSqliteInsertar);
}
void BM_Modificar(benchmark::State& state) {
  MeasureSaves<LibrarySide>(state, Accounts::kExisting, LibraryModificar);
}
void BM_Modificar_RawSqlite(benchmark::State& state) {
  MeasureSaves<RawSide>(state, Accounts::kExisting, RawSqliteModificar);
}

BENCHMARK(BM_Insertar)->Arg(kFile)->Arg(kMemory)->UseRealTime();
BENCHMARK(BM_Insertar_RawSqlite)->Arg(kFile)->Arg(kMemory)->UseRealTime();
BENCHMARK(BM_Modificar)->Arg(kFile)->Arg(kMemory)->UseRealTime();
BENCHMARK(BM_Modificar_RawSqlite)->Arg(kFile)->Arg(kMemory)->UseRealTime();

}  // namespace
