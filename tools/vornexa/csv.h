// CSV in RFC 4180 form, read with libcsv: fields separated by commas, fields
// holding commas, quotes or line breaks between double quotes with inner
// quotes doubled. Blanks belong to the field; blank lines are skipped.
#ifndef TOOLS_VORNEXA_CSV_H_
#define TOOLS_VORNEXA_CSV_H_

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vornexa::cli {

// The longest record read, in bytes: a line, or the lines of a record with
// line breaks inside quotes. Longer is no chart of accounts (no field of an
// account comes near it), and reading stops there rather than gather it.
inline constexpr size_t kMaxCsvRecordBytes = 64 * 1024;

struct CsvRecord {
  size_t line = 0;                  // the line (counted by LF) where the record starts
  std::vector<std::string> fields;
  std::string error;                // set, and fields empty, when the record is malformed
  bool too_long = false;            // the error is kMaxCsvRecordBytes passed: nothing follows
};

// Reads records one at a time, holding no more than one record's text. A
// malformed record (a stray quote, say) becomes an error record and reading
// goes on at the next line. So does a row with a CR outside quotes that is no
// line end: it would split the row in two. A record longer than
// kMaxCsvRecordBytes becomes an error record that ends the reading. A UTF-8
// byte order mark at the start is ignored.
class CsvReader {
 public:
  // Where the text comes from: fills up to `size` bytes of `buffer` and
  // returns how many, 0 at the end. It may raise; reading then stops.
  using Source = std::function<size_t(char* buffer, size_t size)>;

  explicit CsvReader(Source source);
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // The next record into `*record`; false when there are no more.
  bool Next(CsvRecord* record);
  // Bytes of the text taken so far.
  size_t bytes_read() const { return bytes_read_; }

 private:
  class Parser;

  // Reads until `buffer_` holds `want` bytes past `at_`, or the text ends.
  void Fill(size_t want);
  // The next piece of the text: through the next LF, or through a CR that no
  // LF follows (libcsv ends a record at either); empty at the end.
  std::string_view NextPiece();
  // Whether what is left of the current line, up to its LF, is blank.
  bool RestOfLineIsBlank();
  // Feeds one piece, or ends the text when `piece` is empty.
  void Feed(std::string_view piece);

  Source source_;
  std::unique_ptr<Parser> parser_;
  std::string buffer_;
  size_t at_ = 0;  // buffer_ before this is consumed
  bool source_done_ = false;
  bool started_ = false;
  bool done_ = false;
  size_t bytes_read_ = 0;
  std::deque<CsvRecord> ready_;
  std::vector<std::string> fields_;  // of the record being read
  bool between_records_ = true;
  bool record_ended_ = false;
  size_t line_ = 1;
  size_t record_line_ = 0;
  size_t record_bytes_ = 0;
  // A line whose row a bare CR split: what follows on it belongs to the
  // rejected row.
  size_t split_line_ = 0;
};

// Every record of `text`, as CsvReader reads them.
std::vector<CsvRecord> ParseCsv(std::string_view text);

// One record as a line ending in "\n", quoting only the fields that need it
// (commas, quotes, line breaks, blanks at either end).
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_CSV_H_
