#include "vornexa/data/column_index.h"

#include "vornexa/base/error.h"

namespace vornexa {

namespace {

// Column names are ASCII in every table the library touches.
char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

bool EqualFolded(std::string_view folded, std::string_view name) {
  if (folded.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (folded[i] != FoldCase(name[i])) return false;
  }
  return true;
}

}  // namespace

ColumnIndex::ColumnIndex(std::vector<std::string> names) : names_(std::move(names)) {
  folded_.reserve(names_.size());
  for (const std::string& name : names_) {
    std::string folded = FoldCase(name);
    for (const std::string& earlier : folded_) unique_ = unique_ && earlier != folded;
    folded_.push_back(std::move(folded));
  }
}

size_t ColumnIndex::Find(std::string_view name) const {
  // Rows have few columns and the first match wins, as in the platform's
  // field collection; a linear scan beats hashing at this size. Callers
  // mostly read a row's columns in their order, so with no name twice the
  // scan starts after the column last found: a wide row reads in linear time.
  const size_t count = folded_.size();
  const size_t start = unique_ ? next_ : 0;
  for (size_t k = 0; k < count; ++k) {
    const size_t i = start + k < count ? start + k : start + k - count;
    if (EqualFolded(folded_[i], name)) {
      next_ = i + 1 < count ? i + 1 : 0;
      return i;
    }
  }
  RaiseDataError(error_number::kItemNotFound);
}

}  // namespace vornexa
