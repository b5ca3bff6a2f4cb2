// Output for people and for scripts. A command builds its result once, as a
// Table or a Record of typed cells, and prints it either as aligned text or,
// with --json, as JSON.
//
// Amounts: the text view uses the Spanish convention, two decimals with a
// decimal comma and a point between thousands ("-1.234,57", rounded half away
// from zero); JSON carries the exact amount as a string with four decimals
// ("-1234.5678"), so no script ever sees a rounded or floating-point value.
//
// Text that is not valid UTF-8 (a row another program stored with stray
// bytes) still prints: the text view passes the bytes through, JSON puts
// U+FFFD in place of each invalid sequence, so a listing is never cut short
// by one bad row.
#ifndef TOOLS_VORNEXA_OUTPUT_H_
#define TOOLS_VORNEXA_OUTPUT_H_

#include <cstdint>
#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

using Cell = std::variant<std::string, int64_t, Currency, bool>;

struct Column {
  std::string key;     // JSON member name
  std::string header;  // heading of the text view
};

// Rows of the same columns: a JSON array of objects, or an aligned table.
class Table {
 public:
  explicit Table(std::vector<Column> columns) : columns_(std::move(columns)) {}
  void AddRow(std::vector<Cell> cells) { rows_.push_back(std::move(cells)); }

  const std::vector<Column>& columns() const { return columns_; }
  const std::vector<std::vector<Cell>>& rows() const { return rows_; }

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<Cell>> rows_;
};

// One object: a JSON object, or "label  value" lines.
class Record {
 public:
  void Add(std::string key, std::string label, Cell value) {
    entries_.push_back({{std::move(key), std::move(label)}, std::move(value)});
  }
  const std::vector<std::pair<Column, Cell>>& entries() const { return entries_; }

 private:
  std::vector<std::pair<Column, Cell>> entries_;
};

// "1.234,56": Spanish separators, two decimals.
std::string FormatAmount(Currency amount);
// The text view of one cell: amounts as above, booleans "sí"/"no".
std::string CellText(const Cell& cell);
// The JSON value of one cell: amounts as exact strings.
nlohmann::ordered_json CellJson(const Cell& cell);

nlohmann::ordered_json ToJson(const Table& table);
// One row of `columns` as a JSON object.
nlohmann::ordered_json RowJson(const std::vector<Column>& columns, const std::vector<Cell>& row);
nlohmann::ordered_json ToJson(const Record& record);

// The JSON text of `value`, indented, invalid UTF-8 replaced as above.
std::string JsonText(const nlohmann::ordered_json& value);

void PrintTable(std::ostream& out, const Table& table, bool json);

// A JSON array written element by element exactly as JsonText writes the
// whole, `depth` levels inside other values, so that a long list never
// gathers in memory.
class JsonArrayWriter {
 public:
  explicit JsonArrayWriter(std::ostream& out, int depth = 0)
      : out_(out), indent_(2 * depth, ' ') {}
  void Add(const nlohmann::ordered_json& element);
  // The closing bracket ("[]" when empty), no line end.
  void Finish();

 private:
  std::ostream& out_;
  std::string indent_;
  bool empty_ = true;
};

// A table printed as its rows come: JSON at once, element by element; the
// text view, which aligns columns to the widest cell, at Finish().
class TableWriter {
 public:
  TableWriter(std::ostream& out, std::vector<Column> columns, bool json)
      : out_(out), table_(std::move(columns)), json_(json), array_(out) {}
  void AddRow(std::vector<Cell> cells);
  void Finish();

 private:
  std::ostream& out_;
  Table table_;  // the text view's rows
  bool json_;
  JsonArrayWriter array_;
};
void PrintRecord(std::ostream& out, const Record& record, bool json);
// A confirmation: the text itself, or {"mensaje": text} with --json.
void PrintMessage(std::ostream& out, const std::string& text, bool json);
// An answer: a sentence for people, the record for scripts.
void PrintAnswer(std::ostream& out, const Record& record, const std::string& sentence, bool json);
void PrintAnswer(std::ostream& out, const nlohmann::ordered_json& value,
                 const std::string& sentence, bool json);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_OUTPUT_H_
