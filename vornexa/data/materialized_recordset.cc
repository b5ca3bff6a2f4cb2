#include "vornexa/data/materialized_recordset.h"

#include "vornexa/base/error.h"

namespace vornexa {

MaterializedRecordset::MaterializedRecordset(ColumnIndex columns,
                                             std::vector<std::vector<Value>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

void MaterializedRecordset::CheckOpen() const {
  if (closed_) RaiseDataError(error_number::kObjectClosed);
}

bool MaterializedRecordset::Eof() const {
  CheckOpen();
  return position_ >= rows_.size();
}

void MaterializedRecordset::MoveNext() {
  if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
  ++position_;
}

Value MaterializedRecordset::Field(std::string_view name) {
  if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
  return rows_[position_][columns_.Find(name)];
}

void MaterializedRecordset::Close() {
  closed_ = true;
  rows_.clear();
}

}  // namespace vornexa
