#include "tools/vornexa/csv.h"

#include <csv.h>

#include <algorithm>
#include <stdexcept>

namespace vornexa::cli {

namespace {

// What the callbacks of libcsv fill.
struct ParseState {
  std::vector<CsvRecord> records;
  std::vector<std::string> fields;
  size_t record_line = 0;
  bool record_ended = false;
};

void OnField(void* data, size_t size, void* state) {
  static_cast<ParseState*>(state)->fields.emplace_back(static_cast<const char*>(data), size);
}

void OnRecordEnd(int, void* state) {
  auto* parse = static_cast<ParseState*>(state);
  parse->records.push_back({parse->record_line, std::move(parse->fields), {}});
  parse->fields.clear();
  parse->record_ended = true;
}

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
// through a CR that no LF follows (libcsv ends a record at either).
size_t PieceEnd(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') return i + 1;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return i + 1;
  }
  return text.size();
}

std::string_view RestOfLine(std::string_view text) { return text.substr(0, text.find('\n')); }

// Owns one libcsv parser.
class Parser {
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
  bool Feed(std::string_view piece, ParseState& state) {
    return csv_parse(&parser_, piece.data(), piece.size(), OnField, OnRecordEnd, &state) ==
           piece.size();
  }
  bool Finish(ParseState& state) { return csv_fini(&parser_, OnField, OnRecordEnd, &state) == 0; }
  // Drops a malformed record and makes the parser ready for the next line.
  void Reset() { csv_fini(&parser_, nullptr, nullptr, nullptr); }
  int Error() { return csv_error(&parser_); }

 private:
  csv_parser parser_;
};

}  // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  Parser parser;
  ParseState state;
  bool between_records = true;
  size_t line = 1;
  // A line whose row a bare CR split: what follows on it belongs to the
  // rejected row.
  size_t split_line = 0;
  // Fed one piece at a time, so that each record knows the line it starts on.
  while (!text.empty()) {
    const std::string_view piece = text.substr(0, PieceEnd(text));
    text.remove_prefix(piece.size());
    const size_t piece_line = line;
    if (piece.back() == '\n') ++line;
    if (between_records) {
      if (IsBlank(piece)) continue;
      state.record_line = piece_line;
    }
    state.record_ended = false;
    const size_t before = state.records.size();
    if (!parser.Feed(piece, state)) {
      state.records.push_back({state.record_line, {}, Describe(parser.Error())});
      state.fields.clear();
      parser.Reset();
      between_records = true;
      continue;
    }
    between_records = state.record_ended;
    state.records.erase(std::remove_if(state.records.begin() + before, state.records.end(),
                                       [split_line](const CsvRecord& record) {
                                         return record.line == split_line && record.error.empty();
                                       }),
                        state.records.end());
    // libcsv ends a record at a CR outside quotes; unless only the line end
    // follows, that CR sits inside a field, and half a row must not pass.
    if (piece.back() == '\r' && state.records.size() > before && !IsBlank(RestOfLine(text))) {
      CsvRecord& split = state.records.back();
      split.fields.clear();
      split.error = "retorno de carro (CR) suelto fuera de comillas: un campo que lo lleve va "
                    "entre comillas";
      split_line = piece_line;
    }
  }
  if (!between_records && !parser.Finish(state)) {
    state.records.push_back({state.record_line, {}, "comillas sin cerrar al final del fichero"});
  }
  return std::move(state.records);
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
