// Column lookup by name without regard to letter case, shared by the drivers.
#ifndef VORNEXA_DATA_COLUMN_INDEX_H_
#define VORNEXA_DATA_COLUMN_INDEX_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vornexa {

class ColumnIndex {
 public:
  ColumnIndex() = default;
  explicit ColumnIndex(std::vector<std::string> names);

  // Position of column `name`; raises 3265 when the result has no such column.
  size_t Find(std::string_view name) const;
  size_t size() const { return folded_.size(); }
  const std::string& Name(size_t i) const { return names_[i]; }

 private:
  std::vector<std::string> names_;
  std::vector<std::string> folded_;
  bool unique_ = true;        // no name twice
  mutable size_t next_ = 0;   // after the column last found
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_COLUMN_INDEX_H_
