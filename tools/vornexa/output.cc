#include "tools/vornexa/output.h"

#include <algorithm>
#include <ostream>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

namespace {

// Numbers and amounts line up on the right, text on the left.
bool AlignsRight(const Cell& cell) {
  return std::holds_alternative<int64_t>(cell) || std::holds_alternative<Currency>(cell);
}

std::string Pad(const std::string& text, size_t width, bool right) {
  const size_t length = CharCount(text);
  if (length >= width) return text;
  const std::string fill(width - length, ' ');
  return right ? fill + text : text + fill;
}

// Writes one line of cells, without trailing blanks.
void PrintLine(std::ostream& out, const std::vector<std::string>& texts,
               const std::vector<size_t>& widths, const std::vector<bool>& right) {
  std::string line;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) line += "  ";
    line += Pad(texts[i], widths[i], right[i]);
  }
  line.erase(line.find_last_not_of(' ') + 1);
  out << line << '\n';
}

}  // namespace

std::string FormatAmount(Currency amount) {
  const bool negative = amount.ten_thousandths < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(amount.ten_thousandths)
                                : static_cast<uint64_t>(amount.ten_thousandths);
  const uint64_t cents = (magnitude + 50) / 100;  // half away from zero
  std::string whole = std::to_string(cents / 100);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, 1, '.');
  const uint64_t fraction = cents % 100;
  std::string text = whole + ',' + static_cast<char>('0' + fraction / 10) +
                     static_cast<char>('0' + fraction % 10);
  return (negative && cents != 0) ? "-" + text : text;
}

std::string CellText(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* number = std::get_if<int64_t>(&cell)) return std::to_string(*number);
  if (const auto* amount = std::get_if<Currency>(&cell)) return FormatAmount(*amount);
  return std::get<bool>(cell) ? "sí" : "no";
}

nlohmann::ordered_json CellJson(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* number = std::get_if<int64_t>(&cell)) return *number;
  if (const auto* amount = std::get_if<Currency>(&cell)) return amount->ToString();
  return std::get<bool>(cell);
}

nlohmann::ordered_json RowJson(const std::vector<Column>& columns, const std::vector<Cell>& row) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (size_t i = 0; i < row.size(); ++i) object[columns[i].key] = CellJson(row[i]);
  return object;
}

nlohmann::ordered_json ToJson(const Table& table) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const std::vector<Cell>& row : table.rows()) rows.push_back(RowJson(table.columns(), row));
  return rows;
}

nlohmann::ordered_json ToJson(const Record& record) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const auto& [column, value] : record.entries()) object[column.key] = CellJson(value);
  return object;
}

std::string JsonText(const nlohmann::ordered_json& value) {
  return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void PrintTable(std::ostream& out, const Table& table, bool json) {
  if (json) {
    out << JsonText(ToJson(table)) << '\n';
    return;
  }
  if (table.rows().empty()) {
    out << "Sin resultados.\n";
    return;
  }
  const size_t count = table.columns().size();
  std::vector<std::string> headers;
  std::vector<size_t> widths(count, 0);
  std::vector<bool> right(count, false);
  for (size_t i = 0; i < count; ++i) {
    headers.push_back(table.columns()[i].header);
    widths[i] = CharCount(headers[i]);
    right[i] = AlignsRight(table.rows().front()[i]);
  }
  std::vector<std::vector<std::string>> texts;
  for (const std::vector<Cell>& row : table.rows()) {
    std::vector<std::string>& line = texts.emplace_back();
    for (size_t i = 0; i < count; ++i) {
      line.push_back(CellText(row[i]));
      widths[i] = std::max(widths[i], CharCount(line.back()));
    }
  }
  PrintLine(out, headers, widths, right);
  std::vector<std::string> rules;
  for (size_t width : widths) rules.emplace_back(width, '-');
  PrintLine(out, rules, widths, right);
  for (const std::vector<std::string>& line : texts) PrintLine(out, line, widths, right);
}

void JsonArrayWriter::Add(const nlohmann::ordered_json& element) {
  // Nested one level deeper: every line of the element gets the indent.
  const std::string indent = indent_ + "  ";
  std::string text = (empty_ ? "[\n" : ",\n") + indent;
  for (const char c : JsonText(element)) {
    text += c;
    if (c == '\n') text += indent;
  }
  out_ << text;
  empty_ = false;
}

void JsonArrayWriter::Finish() { out_ << (empty_ ? "[]" : "\n" + indent_ + "]"); }

void TableWriter::AddRow(std::vector<Cell> cells) {
  if (json_) {
    array_.Add(RowJson(table_.columns(), cells));
  } else {
    table_.AddRow(std::move(cells));
  }
}

void TableWriter::Finish() {
  if (!json_) return PrintTable(out_, table_, false);
  array_.Finish();
  out_ << '\n';
}

void PrintRecord(std::ostream& out, const Record& record, bool json) {
  if (json) {
    out << JsonText(ToJson(record)) << '\n';
    return;
  }
  size_t width = 0;
  for (const auto& entry : record.entries()) width = std::max(width, CharCount(entry.first.header));
  for (const auto& [column, value] : record.entries()) {
    PrintLine(out, {column.header, CellText(value)}, {width, 0}, {false, false});
  }
}

void PrintMessage(std::ostream& out, const std::string& text, bool json) {
  PrintAnswer(out, nlohmann::ordered_json{{"mensaje", text}}, text, json);
}

void PrintAnswer(std::ostream& out, const Record& record, const std::string& sentence,
                 bool json) {
  PrintAnswer(out, ToJson(record), sentence, json);
}

void PrintAnswer(std::ostream& out, const nlohmann::ordered_json& value,
                 const std::string& sentence, bool json) {
  out << (json ? JsonText(value) : sentence) << '\n';
}

}  // namespace vornexa::cli
