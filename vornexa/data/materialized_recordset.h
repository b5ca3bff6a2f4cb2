// A result set held entirely in memory: what a static cursor gives.
#ifndef VORNEXA_DATA_MATERIALIZED_RECORDSET_H_
#define VORNEXA_DATA_MATERIALIZED_RECORDSET_H_

#include <vector>

#include "vornexa/data/column_index.h"
#include "vornexa/data/connection.h"

namespace vornexa {

class MaterializedRecordset : public Recordset {
 public:
  MaterializedRecordset(ColumnIndex columns, std::vector<std::vector<Value>> rows);

  bool Eof() const override;
  void MoveNext() override;
  Value Field(std::string_view name) override;
  void Close() override;

 private:
  void CheckOpen() const;

  ColumnIndex columns_;
  std::vector<std::vector<Value>> rows_;
  size_t position_ = 0;
  bool closed_ = false;
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_MATERIALIZED_RECORDSET_H_
