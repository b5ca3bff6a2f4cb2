#include "support/recording_connection.h"

namespace vornexa::testing {

void RecordingConnection::FailStatement(size_t index, Error error) {
  fail_at_ = statements_.size() + index;
  fail_with_ = std::move(error);
}

void RecordingConnection::Record(std::string_view sql) {
  statements_.emplace_back(sql);
  if (fail_at_ && *fail_at_ == statements_.size() - 1) throw *fail_with_;
}

int64_t RecordingConnection::Execute(std::string_view sql) {
  Record(sql);
  return inner_->Execute(sql);
}

std::unique_ptr<Recordset> RecordingConnection::Open(std::string_view sql, Cursor cursor) {
  Record(sql);
  return inner_->Open(sql, cursor);
}

}  // namespace vornexa::testing
