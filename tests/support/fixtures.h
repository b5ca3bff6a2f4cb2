// Shared pieces of the suites: catching an Error, a connection that records
// what it is given, a company, and a fixture that hands a recording
// connection over an empty database to the thread.
#ifndef TESTS_SUPPORT_FIXTURES_H_
#define TESTS_SUPPORT_FIXTURES_H_

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/backends.h"
#include "vornexa/vornexa.h"

namespace vornexa::testing {

// Runs `body` and returns the Error it raised; fails the test when it raised none.
template <typename Body>
Error CaughtError(Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no Error raised";
  return Error(0, "", "");
}

// The same, with `body` run on a new thread that has no connection of its own.
template <typename Body>
Error CaughtOnOtherThread(Body&& body) {
  Error caught(0, "", "");
  std::thread([&] { caught = CaughtError(body); }).join();
  return caught;
}

// Expects `body` to raise an Error with exactly these three parts.
#define EXPECT_VORNEXA_ERROR(body, number, source, description)                      \
  do {                                                                               \
    const ::vornexa::Error caught_ = ::vornexa::testing::CaughtError([&] { body; }); \
    EXPECT_EQ(caught_.Number(), (number));                                           \
    EXPECT_EQ(caught_.Source(), (source));                                           \
    EXPECT_EQ(caught_.Description(), (description));                                 \
  } while (0)

// Records every statement it is given, in order, before passing it on, and
// can make a chosen statement fail.
class RecordingConnection : public Connection {
 public:
  explicit RecordingConnection(std::shared_ptr<Connection> inner) : inner_(std::move(inner)) {}

  // Statements of Execute and Open, in the order given.
  const std::vector<std::string>& statements() const { return statements_; }
  // Those recorded so far, forgetting them.
  std::vector<std::string> Take() { return std::exchange(statements_, {}); }
  // Statement number `index` (0-based, counting from now) raises `error`
  // instead of running; it is still recorded.
  void FailStatement(size_t index, Error error) {
    failure_.emplace(statements_.size() + index, std::move(error));
  }
  // Forgets a failure set by FailStatement that has not happened.
  void ClearFailure() { failure_.reset(); }
  // Every UPDATE then reports -1 rows, as SQL Server does with NOCOUNT on.
  bool unknown_update_counts = false;
  // Once the next statement that begins with `trigger` has run, `extra` runs
  // unrecorded: another session's write slipped in between.
  void RunAfter(std::string trigger, std::string extra) {
    after_ = {std::move(trigger), std::move(extra)};
  }

  int64_t Execute(std::string_view sql) override {
    Record(sql);
    const int64_t rows = inner_->Execute(sql);
    if (after_ && sql.starts_with(after_->first)) inner_->Execute(std::exchange(after_, {})->second);
    return unknown_update_counts && sql.starts_with("UPDATE") ? -1 : rows;
  }
  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    return Record(sql), inner_->Open(sql, cursor);
  }
  Dialect SqlDialect() const override { return inner_->SqlDialect(); }
  void BeginAtomic() override { inner_->BeginAtomic(); }
  void CommitAtomic() override { inner_->CommitAtomic(); }
  void RollbackAtomic() override { inner_->RollbackAtomic(); }

 private:
  void Record(std::string_view sql) {
    statements_.emplace_back(sql);
    if (failure_ && failure_->first == statements_.size() - 1) throw failure_->second;
  }

  std::shared_ptr<Connection> inner_;
  std::vector<std::string> statements_;
  std::optional<std::pair<size_t, Error>> failure_;  // at which statement, with what
  std::optional<std::pair<std::string, std::string>> after_;  // see RunAfter
};

// Company 1, active exercise 5, levels of 1, 2, 3, 4 and 8 digits, detail
// accounts of 8 digits, one exercise.
std::shared_ptr<Empresa> MakeCompany(int16_t code = 1, int16_t exercise = 5);

// Runs each test on a backend with a recording connection handed to the
// thread, as an account object hands its connection.
class BackendTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;
  void TearDown() override;

  bool OnEmbedded() const { return GetParam().name == "EmbeddedSqlite"; }
  bool OnPostgreSql() const { return GetParam().name == "PostgreSql"; }

  // Statements recorded since the last call, then forgets them.
  std::vector<std::string> TakeStatements() { return recorder_->Take(); }
  // A new account object with the fixture's company; a new group object.
  clsCuenta NewAccount(const std::string& code = "");
  static clsGrupo NewGroup(int16_t company, int16_t code, const std::string& name = "") {
    clsGrupo group;
    group.Empresa = company, group.Codigo = code, group.Nombre = name;
    return group;
  }
  // Straight to the database, unrecorded: a statement, a Cuentas row (other
  // columns at their defaults), an entry (Asientos), one of its lines (Movimientos).
  void Exec(const std::string& sql);
  void InsertAccountRow(int16_t company, int16_t exercise, const std::string& code,
                        const std::string& name = "");
  void InsertEntry(int16_t company, int16_t exercise, int32_t entry, const std::string& date,
                   int cierre = 0, int nulo = 0);
  void InsertLine(int16_t company, int16_t exercise, int32_t entry, int32_t line,
                  const std::string& account, const std::string& debe, const std::string& haber,
                  const std::string& concepto = "", const std::string& documento = "",
                  int16_t dpto = 0, int16_t diario = 0);
  // Column `v` of a query's first row, or of every row, as text ("NULL" for
  // null); how many rows a query gives.
  std::string Scalar(const std::string& sql);
  std::vector<std::string> Column(const std::string& sql);
  int64_t Count(const std::string& sql);

  std::shared_ptr<Connection> database_;
  std::shared_ptr<RecordingConnection> recorder_;
  std::shared_ptr<Empresa> company_;
};

// Instantiates a BackendTest-derived suite over every available backend, over
// the embedded one alone, or over the database servers alone. A build or
// machine without them leaves the suite out; CTest names what is missing.
#define VORNEXA_ON_BACKENDS(Suite, backends)                                     \
  INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::ValuesIn(backends),               \
                           [](const auto& info) { return info.param.name; }); \
  GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Suite)
#define VORNEXA_ON_ALL_BACKENDS(Suite) \
  VORNEXA_ON_BACKENDS(Suite, ::vornexa::testing::TestBackends())
#define VORNEXA_ON_EMBEDDED(Suite) \
  VORNEXA_ON_BACKENDS(Suite, ::vornexa::testing::EmbeddedBackends())
#define VORNEXA_ON_SERVERS(Suite) \
  VORNEXA_ON_BACKENDS(Suite, ::vornexa::testing::ServerBackends())

}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_FIXTURES_H_
