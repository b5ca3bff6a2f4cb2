// CSV in RFC 4180 form, read with libcsv: fields separated by commas, fields
// holding commas, quotes or line breaks between double quotes with inner
// quotes doubled. Blanks belong to the field; blank lines are skipped.
#ifndef TOOLS_VORNEXA_CSV_H_
#define TOOLS_VORNEXA_CSV_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vornexa::cli {

struct CsvRecord {
  size_t line = 0;                  // the line (counted by LF) where the record starts
  std::vector<std::string> fields;
  std::string error;                // set, and fields empty, when the record is malformed
};

// Every record of `text`. A malformed record (a stray quote, say) becomes an
// error record and reading goes on at the next line. So does a row with a
// CR outside quotes that is no line end: it would split the row in two. A UTF-8 byte order mark
// at the start is ignored.
std::vector<CsvRecord> ParseCsv(std::string_view text);

// One record as a line ending in "\n", quoting only the fields that need it
// (commas, quotes, line breaks, blanks at either end).
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CSV_H_
