// Widening every detail code of a large company from 8 to 10 digits with
// AmpliarDigitos, beside the bare UPDATE statements that rewrite the same
// rows, in the same run and on the same data: 100,000 detail accounts under
// 100 upper accounts, two exercises, two departments, 10,000 collection
// forecasts and 1,000,000 journal lines (250,000 too, to show that memory does
// not follow the journal), on an embedded SQLite file and, when
// VORNEXA_TEST_PG names one, on PostgreSQL.
//
//   build/bench/restructure_bench
//   scripts/with-postgres build/bench/restructure_bench
//
// Counters: vs_bare, the run's time over the bare statements' on the same
// data; heap_mb, how far the heap grew during the run above where it began.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "bench/bench_support.h"
#include "vornexa/vornexa.h"

namespace {

using vornexa::Connection;
using vornexa::Dialect;

enum Backend : int64_t { kSqlite = 0, kPostgreSql = 1 };

constexpr int kAccounts = 100000;
constexpr int kForecasts = 10000;
constexpr const char* kCodeColumns[][2] = {{"Cuentas", "Cuenta"},
                                           {"Acumulados", "Cuenta"},
                                           {"Acumulados_Dpto", "Cuenta"},
                                           {"Movimientos", "Cuenta"},
                                           {"Previsiones_Cobro", "CuentaOriginal"}};

// `insert` (an INSERT ... SELECT over i) run for i from 0 to count - 1.
// PostgreSQL's own series keeps the statement an INSERT, which a driver
// fetching through cursors needs.
std::string OverNumbers(Dialect dialect, int count, const std::string& insert) {
  const std::string last = std::to_string(count - 1);
  if (dialect == Dialect::PostgreSql) return insert + " FROM generate_series(0, " + last + ") AS n(i)";
  return "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " + last +
         ") " + insert + " FROM n";
}

// The detail code of account `i`: 1,000 under each of 4300 to 4399.
std::string DetailCode(const std::string& i) {
  return "CAST((4300 + (" + i + ") / 1000) * 10000 + (" + i + ") % 1000 + 1 AS varchar(20))";
}

// The data set, built set-wise by the database itself.
void Fill(Connection& db, int lines) {
  const Dialect dialect = db.SqlDialect();
  const auto numbers = [&](int count, const std::string& insert) {
    return OverNumbers(dialect, count, insert);
  };
  db.Execute("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2)");
  for (int exercise : {2024, 2025}) {
    db.Execute(numbers(kAccounts,
                       "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, "
                       "Apertura, D1, H1) SELECT 1, " + std::to_string(exercise) + ", " +
                           DetailCode("i") + ", 5, i % 1000, i % 77, i % 13"));
  }
  // Upper accounts hold the sums of those under them.
  for (int level = 4; level >= 1; --level) {
    const std::string length = std::to_string(level);
    db.Execute("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D1, "
               "H1) SELECT Cod_Empresa, Cod_Ejercicio, SUBSTRING(Cuenta, 1, " + length + "), " +
               length + ", SUM(Apertura), SUM(D1), SUM(H1) FROM Acumulados WHERE Nivel = " +
               std::to_string(level == 4 ? 5 : level + 1) +
               " GROUP BY Cod_Empresa, Cod_Ejercicio, SUBSTRING(Cuenta, 1, " + length + ")");
  }
  db.Execute("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, Nivel) SELECT "
             "Cod_Empresa, Cod_Ejercicio, Cuenta, Cuenta, Nivel FROM Acumulados");
  db.Execute("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel, "
             "Apertura, D1, H1) SELECT Cod_Empresa, Cod_Ejercicio, 1, Cuenta, Nivel, Apertura, D1, "
             "H1 FROM Acumulados");
  db.Execute("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) "
             "SELECT Cod_Empresa, Cod_Ejercicio, 2, Cuenta, Nivel FROM Acumulados");
  db.Execute(numbers(lines,
                     "INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, "
                     "Cuenta, Debe, Haber, Concepto, Documento, Dpto, Diario) SELECT 1, "
                     "2024 + i % 2, i, 1, " + DetailCode("i % " + std::to_string(kAccounts)) +
                         ", i % 100, 0, 'Concepto', 'D', 1, 1"));
  db.Execute(numbers(kForecasts,
                     "INSERT INTO Previsiones_Cobro (Cod_Empresa, Codigo, CuentaOriginal, Estado, "
                     "Importe) SELECT 1, i, " + DetailCode("i * 7 % " + std::to_string(kAccounts)) +
                         ", i % 5, i % 1000"));
}

std::string Rewrite(const char* table, const char* column, int from, int to) {
  const std::string c = column;
  const std::string zeros = to > from ? ", '" + std::string(to - from, '0') + "'" : "";
  return std::string("UPDATE ") + table + " SET " + c + " = CONCAT(SUBSTRING(" + c + ", 1, 4)" +
         zeros + ", SUBSTRING(" + c + ", " + std::to_string(5 + std::max(0, from - to)) +
         ", 50)) WHERE Cod_Empresa =1 AND " + c + " LIKE '" + std::string(from, '_') + "'";
}

// The bare statements: each table's codes rewritten by one UPDATE, in one transaction.
void BareRewrite(Connection& db, int from, int to) {
  vornexa::AtomicScope scope(db);
  for (const auto& [table, column] : kCodeColumns) db.Execute(Rewrite(table, column, from, to));
  scope.Commit();
}

std::shared_ptr<vornexa::Empresa> Company() {
  auto company = vornexa::bench::BenchCompany();
  company->ejercicios = {2024, 2025};
  company->ejercicio = 2025;
  return company;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// One database per backend and journal size, filled once; each run starts
// from the chart of 8 digits.
class Workload {
 public:
  Workload(Backend backend, int lines) : backend_(backend) {
    if (backend == kPostgreSql) {
      connection_ = vornexa::OpenOdbc(std::getenv("VORNEXA_TEST_PG"), Dialect::PostgreSql);
      vornexa::CreateSchema(*connection_);
      for (const vornexa::TableDef& table : vornexa::SchemaTables()) {
        connection_->Execute("DELETE FROM " + std::string(table.name));
      }
      Fill(*connection_, lines);
      return;
    }
    pristine_.emplace("restructure-bench");
    auto db = vornexa::OpenSqlite(pristine_->path());
    vornexa::CreateSchema(*db);
    Fill(*db, lines);
  }

  // The chart of 8 digits, ready; untimed.
  Connection& Fresh() {
    if (backend_ == kPostgreSql) {
      if (widened_) BareRewrite(*connection_, 10, 8);
      widened_ = true;
      for (const auto& [table, column] : kCodeColumns) connection_->Execute(std::string("VACUUM ANALYZE ") + table);
      return *connection_;
    }
    connection_.reset();
    work_.emplace("restructure-bench-run");
    std::filesystem::copy_file(pristine_->path(), work_->path());
    connection_ = vornexa::OpenSqlite(work_->path());
    return *connection_;
  }

 private:
  Backend backend_;
  std::optional<vornexa::bench::ScratchDatabase> pristine_, work_;
  std::shared_ptr<Connection> connection_;
  bool widened_ = false;
};

// The one database of `backend`, filled anew when the journal's size changes.
Workload& WorkloadFor(Backend backend, int lines) {
  static std::map<Backend, std::pair<int, std::unique_ptr<Workload>>> workloads;
  auto& [filled, workload] = workloads[backend];
  if (!workload || filled != lines) {
    workload.reset();
    workload = std::make_unique<Workload>(backend, lines);
    filled = lines;
  }
  return *workload;
}

std::map<std::pair<Backend, int>, double>& BareSeconds() {
  static std::map<std::pair<Backend, int>, double> seconds;
  return seconds;
}

bool Skipped(benchmark::State& state, Backend backend) {
  const char* pg = std::getenv("VORNEXA_TEST_PG");
  if (backend == kPostgreSql && (pg == nullptr || *pg == '\0')) {
    state.SkipWithError("VORNEXA_TEST_PG is not set (run under scripts/with-postgres)");
    return true;
  }
  return false;
}

void BM_BareUpdates(benchmark::State& state) {
  const auto backend = static_cast<Backend>(state.range(0));
  const int lines = static_cast<int>(state.range(1));
  if (Skipped(state, backend)) return;
  Workload& workload = WorkloadFor(backend, lines);
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Connection& db = workload.Fresh();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    BareRewrite(db, 8, 10);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  BareSeconds()[{backend, lines}] = total / static_cast<double>(state.iterations());
}

void BM_AmpliarDigitos(benchmark::State& state) {
  const auto backend = static_cast<Backend>(state.range(0));
  const int lines = static_cast<int>(state.range(1));
  if (Skipped(state, backend)) return;
  Workload& workload = WorkloadFor(backend, lines);
  const auto company = Company();
  double total = 0;
  size_t heap_growth = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Connection& db = workload.Fresh();
    const size_t heap_start = HeapInUse();
    vornexa::OpcionesReestructuracion options;
    options.avance = [&](const vornexa::AvanceReestructuracion&) {
      heap_growth = std::max(heap_growth, HeapInUse() - std::min(HeapInUse(), heap_start));
    };
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const vornexa::InformeReestructuracion report = vornexa::AmpliarDigitos(db, *company, 10, options);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(report.filas_comprobadas);
  }
  const double seconds = total / static_cast<double>(state.iterations());
  const auto bare = BareSeconds().find({backend, lines});
  if (bare != BareSeconds().end()) state.counters["vs_bare"] = seconds / bare->second;
  state.counters["heap_mb"] = static_cast<double>(heap_growth) / (1024.0 * 1024.0);
}

// Each data set once, the bare statements first: the run's ratio needs their time.
const bool kRegistered = [] {
  for (int64_t backend : {kSqlite, kPostgreSql}) {
    for (int64_t lines : {250000, 1000000}) {
      for (auto [name, function] : {std::pair{"BM_BareUpdates", &BM_BareUpdates},
                                    std::pair{"BM_AmpliarDigitos", &BM_AmpliarDigitos}}) {
        benchmark::RegisterBenchmark(name, function)
            ->Args({backend, lines})
            ->ArgNames({"backend", "lines"})
            ->Iterations(2)
            ->Unit(benchmark::kSecond)
            ->UseRealTime();
      }
    }
  }
  return true;
}();

}  // namespace
