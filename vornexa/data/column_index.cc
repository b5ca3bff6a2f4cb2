#include "vornexa/data/column_index.h"

#include "vornexa/base/error.h"

namespace vornexa {

namespace {

// Column names are ASCII in every table the library touches.
std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

ColumnIndex::ColumnIndex(std::vector<std::string> names) : names_(std::move(names)) {
  folded_.reserve(names_.size());
  for (const std::string& name : names_) folded_.push_back(FoldCase(name));
}

size_t ColumnIndex::Find(std::string_view name) const {
  // Rows have few columns and the first match wins, as in the platform's
  // field collection; a linear scan beats hashing at this size.
  const std::string wanted = FoldCase(name);
  for (size_t i = 0; i < folded_.size(); ++i) {
    if (folded_[i] == wanted) return i;
  }
  RaiseDataError(error_number::kItemNotFound);
}

}  // namespace vornexa
