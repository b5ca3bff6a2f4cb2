// The data set of the lookup benchmarks: a chart of detail accounts with an
// accumulator row each and a journal spread over them, written straight into
// the tables in one transaction.
#ifndef BENCH_DATA_SET_H_
#define BENCH_DATA_SET_H_

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "vornexa/vornexa.h"

namespace vornexa::bench {

constexpr int kLinesPerAccount = 10;
constexpr int kLinesPerEntry = 10;
// Accounts visited in turn, spread over the whole chart.
constexpr int kSampleCount = 1024;

inline std::string AccountCode(int index) { return std::to_string(40000000 + index); }

// The code of the `sample`-th account visited; a stride spreads them out.
inline std::string SampleCode(int sample, int accounts) {
  return AccountCode(static_cast<int>((static_cast<int64_t>(sample) * 7919) % accounts));
}

inline void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

// What a driver does with a forward-only result set or a write, without the
// library: prepare the text, step it reading every column, finalize.
inline void RunRawStatement(sqlite3* db, const std::string& sql) {
  static volatile size_t sink;
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr), db,
        sql.c_str());
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int c = 0, columns = sqlite3_column_count(stmt); c < columns; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          sink = static_cast<size_t>(sqlite3_column_int64(stmt, c));
          break;
        case SQLITE_FLOAT:
          sink = static_cast<size_t>(sqlite3_column_double(stmt, c));
          break;
        case SQLITE_TEXT:
          sink = std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                             sqlite3_column_bytes(stmt, c))
                     .size();
          break;
        default:
          break;
      }
    }
  }
  sqlite3_finalize(stmt);
  Check(rc, db, sql.c_str());
}

// A prepared statement that is stepped once per row of the data set.
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) : db_(db) {
    Check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr), db, sql);
  }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert& Int(int column, int64_t value) {
    sqlite3_bind_int64(stmt_, column, value);
    return *this;
  }
  Insert& Text(int column, const std::string& value) {
    sqlite3_bind_text(stmt_, column, value.c_str(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  void Run() {
    Check(sqlite3_step(stmt_), db_, "insert");
    sqlite3_reset(stmt_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// "2024-MM-DD" of day `day_of_year` (0-based) of the leap year 2024.
inline std::string DateOf2024(int day_of_year) {
  static constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0;
  while (day_of_year >= kMonthDays[month]) day_of_year -= kMonthDays[month++];
  char text[16];
  std::snprintf(text, sizeof text, "2024-%02d-%02d", month + 1, day_of_year + 1);
  return text;
}

// Company 1, exercise 5: the chart, an accumulator row per account, and the
// journal, each line on a pseudo-random account. One transaction.
inline void FillDataSet(const std::string& path, int accounts) {
  vornexa::CreateSchema(*vornexa::OpenSqlite(path));
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db), db, "open");
  Check(sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA cache_size=-262144; BEGIN", nullptr,
                     nullptr, nullptr),
        db, "begin");
  {
    Insert account(db,
                   "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, Nivel) "
                   "VALUES (1, 5, ?1, ?2, 5)");
    Insert accumulator(db,
                       "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, "
                       "Apertura, D1, H1) VALUES (1, 5, ?1, 5, ?2, ?3, ?4)");
    for (int k = 0; k < accounts; ++k) {
      const std::string code = AccountCode(k);
      account.Text(1, code).Text(2, "Cuenta " + code).Run();
      accumulator.Text(1, code).Int(2, k % 1000).Int(3, k % 77).Int(4, k % 13).Run();
    }
    Insert entry(db,
                 "INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, Cierre, Nulo) "
                 "VALUES (1, 5, ?1, ?2, 0, 0)");
    Insert line(db,
                "INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, "
                "Cuenta, Debe, Haber, Concepto, Documento, Dpto, Diario) "
                "VALUES (1, 5, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    const int lines = accounts * kLinesPerAccount;
    uint64_t random = 88172645463325252ull;
    for (int e = 0; e < lines / kLinesPerEntry; ++e) {
      entry.Int(1, e).Text(2, DateOf2024(e % 366)).Run();
      for (int l = 0; l < kLinesPerEntry; ++l) {
        random ^= random << 13;
        random ^= random >> 7;
        random ^= random << 17;
        const int amount = static_cast<int>(random % 100000);
        line.Int(1, e).Int(2, l).Text(3, AccountCode(static_cast<int>(random % accounts)));
        line.Int(4, l % 2 ? 0 : amount).Int(5, l % 2 ? amount : 0);
        line.Text(6, "Concepto " + std::to_string(e)).Text(7, std::to_string(e % 5000));
        line.Int(8, 1 + l % 3).Int(9, 1 + e % 2).Run();
      }
    }
  }
  Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

}  // namespace vornexa::bench

#endif  // BENCH_DATA_SET_H_
