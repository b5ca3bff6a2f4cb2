// CSV writing and reading: any rows written with CsvLine read back with
// ParseCsv as the same rows, and reading any text never crashes. The input is
// both a CSV text and a list of rows (fields end at byte 0x1F, rows at 0x1E).
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "vornexa/csv.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows SplitRows(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  for (char c : text) {
    if (c == '\x1E') {
      rows.emplace_back(1);
    } else if (c == '\x1F') {
      rows.back().emplace_back();
    } else {
      rows.back().back() += c;
    }
  }
  return rows;
}

std::string Show(const Rows& rows) {
  std::string shown;
  for (const auto& row : rows) {
    shown += "[";
    for (const auto& field : row) shown += "<" + field + ">";
    shown += "]";
  }
  return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const vornexa::cli::CsvRecord& record : vornexa::cli::ParseCsv(text)) {
    FUZZ_CHECK(record.error.empty() || record.fields.empty(), record.error);
  }

  Rows rows;
  std::string written;
  for (auto& row : SplitRows(text)) {
    // A row of one empty field is a blank line, which reading skips.
    if (row.size() == 1 && row[0].empty()) continue;
    written += vornexa::cli::CsvLine(row);
    rows.push_back(std::move(row));
  }
  Rows read;
  for (vornexa::cli::CsvRecord& record : vornexa::cli::ParseCsv(written)) {
    FUZZ_CHECK(record.error.empty(), record.error + " in " + written);
    read.push_back(std::move(record.fields));
  }
  FUZZ_CHECK(read == rows, Show(rows) + "\n  read back as " + Show(read));
  return 0;
}
