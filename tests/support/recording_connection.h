// A connection that records every statement it is given, in order, before
// passing it to the real one, and can make a chosen statement fail.
#ifndef TESTS_SUPPORT_RECORDING_CONNECTION_H_
#define TESTS_SUPPORT_RECORDING_CONNECTION_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vornexa/data/connection.h"
#include "vornexa/base/error.h"

namespace vornexa::testing {

class RecordingConnection : public Connection {
 public:
  explicit RecordingConnection(std::shared_ptr<Connection> inner) : inner_(std::move(inner)) {}

  // Statements of Execute and Open, in the order given.
  const std::vector<std::string>& statements() const { return statements_; }
  void Clear() { statements_.clear(); }

  // Statement number `index` (0-based, counting from now) raises `error`
  // instead of running; it is still recorded.
  void FailStatement(size_t index, Error error);
  // Forgets a failure set by FailStatement that has not happened.
  void ClearFailure() { fail_at_.reset(); }

  int64_t Execute(std::string_view sql) override;
  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override;
  Dialect SqlDialect() const override { return inner_->SqlDialect(); }
  void BeginAtomic() override { inner_->BeginAtomic(); }
  void CommitAtomic() override { inner_->CommitAtomic(); }
  void RollbackAtomic() override { inner_->RollbackAtomic(); }

  Connection& inner() { return *inner_; }

 private:
  void Record(std::string_view sql);

  std::shared_ptr<Connection> inner_;
  std::vector<std::string> statements_;
  std::optional<size_t> fail_at_;
  std::optional<Error> fail_with_;
};

}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_RECORDING_CONNECTION_H_
