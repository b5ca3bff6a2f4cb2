#include "tools/vornexa/csv.h"

#include <csv.h>

#include <algorithm>
#include <stdexcept>

namespace vornexa::cli {

namespace {

// Bytes asked of the source at a time.
constexpr size_t kChunkBytes = 64 * 1024;

// RFC 4180 keeps blanks as part of a field; libcsv trims them by default.
int NoBlanksAreSpace(unsigned char) { return 0; }

std::string Describe(int error) {
  switch (error) {
    case CSV_EPARSE:
      return "comillas mal colocadas: un campo entre comillas debe ir entero entre ellas y "
             "duplicar las comillas interiores";
    case CSV_ETOOBIG:
      return "campo demasiado grande";
    default:
      return "memoria insuficiente para leer el campo";
  }
}

bool IsBlank(std::string_view line) { return line.find_first_not_of("\r\n") == line.npos; }

// The length of the piece that starts `text`: through the next LF, or
// through a CR that no LF follows (libcsv ends a record at either). 0 when
// `text` holds no such end yet and more text may follow (`complete` false).
size_t PieceEnd(std::string_view text, bool complete) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') return i + 1;
    if (text[i] == '\r') {
      if (i + 1 == text.size()) return complete ? i + 1 : 0;
      if (text[i + 1] != '\n') return i + 1;
    }
  }
  return complete ? text.size() : 0;
}

}  // namespace

// Owns one libcsv parser, which reports to the reader.
class CsvReader::Parser {
 public:
  Parser() {
    if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) != 0) {
      throw std::bad_alloc();
    }
    csv_set_space_func(&parser_, NoBlanksAreSpace);
  }
  ~Parser() { csv_free(&parser_); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // False on malformed input.
  bool Feed(std::string_view piece, CsvReader* reader) {
    return csv_parse(&parser_, piece.data(), piece.size(), OnField, OnRecordEnd, reader) ==
           piece.size();
  }
  bool Finish(CsvReader* reader) {
    return csv_fini(&parser_, OnField, OnRecordEnd, reader) == 0;
  }
  // Drops a malformed record and makes the parser ready for the next line.
  void Reset() { csv_fini(&parser_, nullptr, nullptr, nullptr); }
  int Error() { return csv_error(&parser_); }

 private:
  static void OnField(void* data, size_t size, void* reader) {
    static_cast<CsvReader*>(reader)->fields_.emplace_back(static_cast<const char*>(data), size);
  }
  static void OnRecordEnd(int, void* state) {
    auto* reader = static_cast<CsvReader*>(state);
    reader->ready_.push_back({reader->record_line_, std::move(reader->fields_), {}});
    reader->fields_.clear();
    reader->record_ended_ = true;
  }

  csv_parser parser_;
};

CsvReader::CsvReader(Source source)
    : source_(std::move(source)), parser_(std::make_unique<Parser>()) {}

CsvReader::~CsvReader() = default;

bool CsvReader::Next(CsvRecord* record) {
  if (!started_) {
    started_ = true;
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    Fill(kByteOrderMark.size());
    if (std::string_view(buffer_).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
      at_ = kByteOrderMark.size();
      bytes_read_ = at_;
    }
  }
  // Fed one piece at a time, so that each record knows the line it starts on.
  while (ready_.empty() && !done_) Feed(NextPiece());
  if (ready_.empty()) return false;
  *record = std::move(ready_.front());
  ready_.pop_front();
  return true;
}

void CsvReader::Fill(size_t want) {
  buffer_.erase(0, at_);
  at_ = 0;
  while (buffer_.size() < want && !source_done_) {
    const size_t old = buffer_.size();
    buffer_.resize(old + kChunkBytes);
    const size_t got = source_(buffer_.data() + old, kChunkBytes);
    buffer_.resize(old + got);
    source_done_ = got == 0;
  }
}

std::string_view CsvReader::NextPiece() {
  size_t length;
  // A piece longer than a record may be is cut there: it is refused anyway.
  while ((length = PieceEnd(std::string_view(buffer_).substr(at_), source_done_)) == 0 &&
         !source_done_ && buffer_.size() - at_ <= kMaxCsvRecordBytes) {
    Fill(buffer_.size() - at_ + kChunkBytes);
  }
  if (length == 0) length = buffer_.size() - at_;
  const std::string_view piece = std::string_view(buffer_).substr(at_, length);
  at_ += length;
  bytes_read_ += length;
  return piece;
}

bool CsvReader::RestOfLineIsBlank() {
  for (size_t i = 0;;) {  // past at_
    if (at_ + i == buffer_.size()) {
      if (source_done_ || i > kMaxCsvRecordBytes) return source_done_;
      Fill(i + kChunkBytes);
      continue;
    }
    const char c = buffer_[at_ + i];
    if (c == '\n') return true;
    if (c != '\r') return false;
    ++i;
  }
}

void CsvReader::Feed(std::string_view piece) {
  if (piece.empty()) {
    done_ = true;
    if (!between_records_ && !parser_->Finish(this)) {
      ready_.push_back({record_line_, {}, "comillas sin cerrar al final del fichero"});
    }
    return;
  }
  const size_t piece_line = line_;
  const char last = piece.back();  // the piece's text may move once more is read
  if (last == '\n') ++line_;
  if (between_records_) {
    if (IsBlank(piece)) return;
    record_line_ = piece_line;
    record_bytes_ = 0;
  }
  record_bytes_ += piece.size();
  if (record_bytes_ > kMaxCsvRecordBytes) {
    ready_.push_back({record_line_, {},
                      "pasa de " + std::to_string(kMaxCsvRecordBytes) + " bytes, lo más que "
                      "ocupa una línea (o un registro con saltos de línea entre comillas)",
                      true});
    done_ = true;
    return;
  }
  record_ended_ = false;
  const size_t before = ready_.size();
  if (!parser_->Feed(piece, this)) {
    ready_.push_back({record_line_, {}, Describe(parser_->Error())});
    fields_.clear();
    parser_->Reset();
    between_records_ = true;
    return;
  }
  between_records_ = record_ended_;
  ready_.erase(std::remove_if(ready_.begin() + before, ready_.end(),
                              [this](const CsvRecord& record) {
                                return record.line == split_line_ && record.error.empty();
                              }),
               ready_.end());
  // libcsv ends a record at a CR outside quotes; unless only the line end
  // follows, that CR sits inside a field, and half a row must not pass.
  if (last == '\r' && ready_.size() > before && !RestOfLineIsBlank()) {
    CsvRecord& split = ready_.back();
    split.fields.clear();
    split.error = "retorno de carro (CR) suelto fuera de comillas: un campo que lo lleve va "
                  "entre comillas";
    split_line_ = piece_line;
  }
}

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  CsvReader reader([&text](char* buffer, size_t size) {
    const size_t taken = std::min(size, text.size());
    text.copy(buffer, taken);
    text.remove_prefix(taken);
    return taken;
  });
  std::vector<CsvRecord> records;
  for (CsvRecord record; reader.Next(&record);) records.push_back(std::move(record));
  return records;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (&field != &fields.front()) line += ',';  // leading empty fields count too
    // A byte order mark in front would be taken for the file's own and dropped.
    const bool needs_quotes = field.find_first_of(",\"\r\n") != std::string::npos ||
                              (!field.empty() && (field.front() == ' ' || field.back() == ' ')) ||
                              field.rfind("\xEF\xBB\xBF", 0) == 0;
    if (!needs_quotes) {
      line += field;
      continue;
    }
    std::string quoted(csv_write(nullptr, 0, field.data(), field.size()), '\0');
    csv_write(quoted.data(), quoted.size(), field.data(), field.size());
    line += quoted;
  }
  return line + '\n';
}

}  // namespace vornexa::cli
