// Instructions per call of each account operation, for the library and for
// raw SQLite preparing, stepping, reading and finalizing the very statement
// texts the library sends (after translation), counted by callgrind so that
// the figures do not depend on the machine's load. Run through
// bench/count_instructions.sh, which builds the data sets and prints ratios:
//
//   instruction_count prepare DIR ACCOUNTS   builds DIR/base.db (natively)
//   valgrind --tool=callgrind --collect-atstart=no ... \
//   instruction_count measure DIR ACCOUNTS   one callgrind dump per side and
//                                            operation, named "library:Op" or
//                                            "raw:Op"
#include <sqlite3.h>
#include <valgrind/callgrind.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/data_set.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/vornexa.h"

namespace {

using vornexa::bench::Check;
using vornexa::bench::SampleCode;
using vornexa::clsCuenta;
using vornexa::Connection;
using vornexa::Cursor;
using vornexa::Dialect;
using vornexa::Recordset;

constexpr int kCalls = 200;
constexpr int kWarmUpCalls = 20;
// New detail accounts go under these upper accounts, one per write mode.
constexpr const char* kUpperForInsertInTransaction = "4100";
constexpr const char* kUpperForInsertInAutocommit = "4110";

// Hands statements to the real connection and keeps the texts, atomic scopes
// included as the savepoint statements the embedded driver runs for them.
class RecordingConnection : public Connection {
 public:
  explicit RecordingConnection(std::shared_ptr<Connection> inner) : inner_(std::move(inner)) {}
  int64_t Execute(std::string_view sql) override {
    statements_.emplace_back(sql);
    return inner_->Execute(sql);
  }
  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    statements_.emplace_back(sql);
    return inner_->Open(sql, cursor);
  }
  Dialect SqlDialect() const override { return inner_->SqlDialect(); }
  void BeginAtomic() override {
    statements_.push_back("SAVEPOINT vornexa_" + std::to_string(++depth_));
    inner_->BeginAtomic();
  }
  void CommitAtomic() override {
    statements_.push_back("RELEASE vornexa_" + std::to_string(depth_--));
    inner_->CommitAtomic();
  }
  void RollbackAtomic() override {
    --depth_;
    inner_->RollbackAtomic();
  }
  std::vector<std::string> Take() { return std::move(statements_); }

 private:
  std::shared_ptr<Connection> inner_;
  std::vector<std::string> statements_;
  int depth_ = 0;
};

struct Operation {
  const char* name;
  bool writes;
  bool in_transaction;
  // Prepares `account` for call number `call` and makes the call.
  std::function<void(clsCuenta& account, int call, int accounts)> call;
};

std::vector<Operation> Operations() {
  using vornexa::Currency;
  auto read = [](const char* name, std::function<void(clsCuenta&)> body) {
    return Operation{name, false, false, [body](clsCuenta& account, int call, int accounts) {
                       account.Cuenta = SampleCode(call, accounts);
                       body(account);
                     }};
  };
  auto insert = [](const char* name, bool in_transaction, const char* upper) {
    return Operation{name, true, in_transaction,
                     [upper](clsCuenta& account, int call, int) {
                       account.Cuenta = upper + std::to_string(1000 + call);
                       account.Nombre = "Cliente " + account.Cuenta;
                       account.Insertar();
                     }};
  };
  auto modify = [](const char* name, bool in_transaction) {
    return Operation{name, true, in_transaction, [](clsCuenta& account, int call, int accounts) {
                       account.Cuenta = SampleCode(call, accounts);
                       account.Nivel = 5;
                       account.Nombre = "Modificada " + std::to_string(call);
                       account.Modificar();
                     }};
  };
  return {
      read("Cargar", [](clsCuenta& a) { a.Cargar(); }),
      read("Cargar_Primero", [](clsCuenta& a) { a.Cargar_Primero(); }),
      read("Cargar_Anterior", [](clsCuenta& a) { a.Cargar_Anterior(); }),
      read("Cargar_Siguiente", [](clsCuenta& a) { a.Cargar_Siguiente(); }),
      read("Cargar_Ultimo", [](clsCuenta& a) { a.Cargar_Ultimo(); }),
      read("Existe", [](clsCuenta& a) { a.Existe(); }),
      read("Dev_Saldo", [](clsCuenta& a) { a.Dev_Saldo(5); }),
      read("Dev_Apertura", [](clsCuenta& a) { a.Dev_Apertura(5); }),
      read("Dev_Acumulado3",
           [](clsCuenta& a) {
             Currency debe, haber;
             a.Dev_Acumulado3(5, {2024, 1, 1}, {2024, 12, 31}, Currency{}, Currency{}, "", "", 1,
                              0, debe, haber);
           }),
      read("Dev_Saldo_PrevCobro", [](clsCuenta& a) { a.Dev_Saldo_PrevCobro("1,3"); }),
      insert("Insertar_transaccion", true, kUpperForInsertInTransaction),
      insert("Insertar_autocommit", false, kUpperForInsertInAutocommit),
      modify("Modificar_transaccion", true),
      modify("Modificar_autocommit", false),
  };
}

clsCuenta AccountOn(std::shared_ptr<Connection> connection) {
  clsCuenta account;
  account.Conexion(std::move(connection));
  account.cEmpresa(vornexa::bench::BenchCompany());
  return account;
}

// Calls `operation` `count` times from call number `first`, inside one atomic
// scope when the operation measures writes in a transaction.
void RunLibrary(const Operation& operation, Connection& connection, clsCuenta& account, int first,
                int count, int accounts) {
  if (operation.in_transaction) connection.BeginAtomic();
  for (int call = first; call < first + count; ++call) operation.call(account, call, accounts);
  if (operation.in_transaction) connection.CommitAtomic();
}

void RunRaw(sqlite3* db, const std::vector<std::string>& statements) {
  for (const std::string& sql : statements) vornexa::bench::RunRawStatement(db, sql);
}

void Prepare(const std::string& directory, int accounts) {
  const std::string path = directory + "/base.db";
  std::filesystem::remove(path);
  vornexa::bench::FillDataSet(path, accounts);
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db), db, "open");
  const std::string uppers[] = {"4000", "4001", "4002", "4003", "4004", "4005", "4006",
                                "4007", "4008", "4009", kUpperForInsertInTransaction,
                                kUpperForInsertInAutocommit};
  std::string seed = "BEGIN;";
  for (const std::string& upper : uppers) {
    seed += "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, Nivel) VALUES (1, 5, '" +
            upper + "', 'Grupo', 4);";
  }
  for (int d = 1; d <= 3; ++d) {
    seed += "INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, " + std::to_string(d) + ");";
  }
  seed += "COMMIT; PRAGMA journal_mode=WAL;";
  Check(sqlite3_exec(db, seed.c_str(), nullptr, nullptr, nullptr), db, "seed");
  sqlite3_close(db);
}

// A working copy of the data set for one side, so that writes on one side
// never meet the other's.
std::string CopyOf(const std::string& directory, const std::string& name) {
  const std::string path = directory + "/" + name;
  std::filesystem::remove(path);
  std::filesystem::remove(path + "-wal");
  std::filesystem::remove(path + "-shm");
  std::filesystem::copy_file(directory + "/base.db", path);
  return path;
}

void Measure(const std::string& directory, int accounts) {
  const std::string library_path = CopyOf(directory, "library.db");
  const std::string raw_path = CopyOf(directory, "raw.db");
  std::shared_ptr<Connection> connection = vornexa::OpenSqlite(library_path);
  auto recorder = std::make_shared<RecordingConnection>(connection);
  sqlite3* raw = nullptr;
  Check(sqlite3_open(raw_path.c_str(), &raw), raw, "open");
  Check(sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr,
                     nullptr),
        raw, "pragma");

  for (const Operation& operation : Operations()) {
    // The statements of every call, recorded in a scope that is undone so
    // that the measured calls meet the same data.
    std::vector<std::string> warm_up, measured;
    {
      clsCuenta account = AccountOn(recorder);
      connection->BeginAtomic();
      RunLibrary(operation, *recorder, account, 0, kWarmUpCalls, accounts);
      warm_up = recorder->Take();
      RunLibrary(operation, *recorder, account, kWarmUpCalls, kCalls, accounts);
      measured = recorder->Take();
      connection->RollbackAtomic();
    }
    for (auto* statements : {&warm_up, &measured}) {
      for (std::string& sql : *statements) sql = vornexa::TranslateSql(sql, Dialect::Sqlite);
    }

    clsCuenta account = AccountOn(connection);
    RunLibrary(operation, *connection, account, 0, kWarmUpCalls, accounts);
    CALLGRIND_TOGGLE_COLLECT;
    RunLibrary(operation, *connection, account, kWarmUpCalls, kCalls, accounts);
    CALLGRIND_TOGGLE_COLLECT;
    // Named, because the request keeps only the pointer.
    const std::string library_label = std::string("library:") + operation.name;
    const std::string raw_label = std::string("raw:") + operation.name;
    CALLGRIND_DUMP_STATS_AT(library_label.c_str());

    RunRaw(raw, warm_up);
    CALLGRIND_TOGGLE_COLLECT;
    RunRaw(raw, measured);
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(raw_label.c_str());
  }
  sqlite3_close(raw);
  vornexa::ReplaceSharedConnection(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: instruction_count prepare|measure DIR ACCOUNTS\n";
    return 2;
  }
  const std::string command = argv[1];
  const int accounts = std::atoi(argv[3]);
  try {
    if (command == "prepare") {
      Prepare(argv[2], accounts);
    } else if (command == "measure") {
      Measure(argv[2], accounts);
    } else {
      std::cerr << "unknown command " << command << "\n";
      return 2;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::cout << kCalls << "\n";
  return 0;
}
