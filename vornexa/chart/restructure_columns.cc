#include "vornexa/chart/restructure_columns.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "vornexa/base/error.h"
#include "vornexa/schema/tables.h"

namespace vornexa {

namespace {

constexpr std::string_view kCodeWord = "cuenta";
constexpr std::string_view kCompanyColumn = "Cod_Empresa";
constexpr std::string_view kExerciseColumn = "Cod_Ejercicio";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Every column of the database's own tables, with its declared type, in
// table and column order. SQLite lists a table's columns through a pragma;
// the servers through the standard views, for the login's schema.
std::string CatalogueQuery(Dialect dialect) {
  if (dialect == Dialect::Sqlite) {
    return "SELECT m.name AS tabla, p.name AS columna, p.type AS tipo FROM sqlite_master m, "
           "pragma_table_info(m.name) p WHERE m.type = 'table' ORDER BY m.name, p.cid";
  }
  const std::string schema = dialect == Dialect::SqlServer ? "SCHEMA_NAME()" : "current_schema()";
  return "SELECT c.TABLE_NAME AS tabla, c.COLUMN_NAME AS columna, c.DATA_TYPE AS tipo "
         "FROM INFORMATION_SCHEMA.COLUMNS c INNER JOIN INFORMATION_SCHEMA.TABLES t "
         "ON t.TABLE_SCHEMA = c.TABLE_SCHEMA AND t.TABLE_NAME = c.TABLE_NAME "
         "WHERE t.TABLE_TYPE = 'BASE TABLE' AND c.TABLE_SCHEMA = " + schema +
         " ORDER BY c.TABLE_NAME, c.ORDINAL_POSITION";
}

// Text of any kind, or no declared type at all (SQLite then stores text as
// given).
bool IsTextType(std::string_view type) {
  const std::string lower = Lower(type);
  return lower.empty() || lower.find("char") != std::string::npos ||
         lower.find("text") != std::string::npos || lower.find("clob") != std::string::npos;
}

bool LooksLikeCodeColumn(std::string_view name) {
  const std::string lower = Lower(name);
  return lower.starts_with(kCodeWord) || lower.ends_with(kCodeWord);
}

// A name from the catalogue, quoted so that a statement carries it whatever
// it holds.
std::string QuotedName(std::string_view name, Dialect dialect) {
  const char open = dialect == Dialect::SqlServer ? '[' : '"';
  const char close = dialect == Dialect::SqlServer ? ']' : '"';
  std::string quoted(1, open);
  for (char c : name) {
    if (c == close) quoted += close;
    quoted += c;
  }
  return quoted + close;
}

std::string Key(std::string_view table, std::string_view column) {
  return Lower(table) + "." + Lower(column);
}

struct CatalogueTable {
  std::string name;
  std::map<std::string, std::string> columns;  // lower-case name -> as spelled
  std::vector<std::string> code_columns;       // as spelled, in column order
};

std::vector<CatalogueTable> ReadCatalogue(Connection& connection) {
  std::vector<CatalogueTable> tables;
  const std::unique_ptr<Recordset> rows = connection.Open(CatalogueQuery(connection.SqlDialect()));
  for (; !rows->Eof(); rows->MoveNext()) {
    const std::string table = rows->Field("tabla").ToText();
    const std::string column = rows->Field("columna").ToText();
    const Value type = rows->Field("tipo");
    if (tables.empty() || tables.back().name != table) tables.push_back({table, {}, {}});
    tables.back().columns.emplace(Lower(column), column);
    if (LooksLikeCodeColumn(column) && IsTextType(type.IsNull() ? "" : type.ToText())) {
      tables.back().code_columns.push_back(column);
    }
  }
  rows->Close();
  return tables;
}

bool IsLibraryColumn(std::string_view table, std::string_view column) {
  const std::string key = Key(table, column);
  return std::any_of(LibraryCodeColumns().begin(), LibraryCodeColumns().end(),
                     [&](const CodeColumn& own) { return Key(own.table, own.column) == key; });
}

std::string TreatmentName(TratamientoColumna treatment) {
  return treatment == TratamientoColumna::Reescribir ? "reescribir" : "dejar";
}

// The column as the rewrite statements name it; refused when its table has
// no company column to keep the rewrite to one company.
CodeColumn RewrittenColumn(const CatalogueTable& table, const std::string& column,
                           Dialect dialect, std::string_view source) {
  const auto company = table.columns.find(Lower(kCompanyColumn));
  if (company == table.columns.end()) {
    RaiseComponentError(source, "La columna " + table.name + "." + column +
                                    " no se puede reescribir: su tabla no tiene la columna " +
                                    std::string(kCompanyColumn) +
                                    " y el cambio llegaría a otras empresas");
  }
  const auto exercise = table.columns.find(Lower(kExerciseColumn));
  return {CodeTable::kOther,
          table.name,
          column,
          QuotedName(table.name, dialect),
          QuotedName(column, dialect),
          QuotedName(company->second, dialect),
          exercise == table.columns.end() ? "" : QuotedName(exercise->second, dialect)};
}

}  // namespace

const std::vector<CodeColumn>& LibraryCodeColumns() {
  static const std::vector<CodeColumn> columns = [] {
    const auto own = [](CodeTable kind, std::string_view table, std::string_view column,
                        bool by_exercise) {
      return CodeColumn{kind,
                        std::string(table),
                        std::string(column),
                        std::string(table),
                        std::string(column),
                        std::string(kCompanyColumn),
                        by_exercise ? std::string(kExerciseColumn) : std::string()};
    };
    return std::vector<CodeColumn>{
        own(CodeTable::kCuentas, table::kCuentas, "Cuenta", true),
        own(CodeTable::kAcumulados, table::kAcumulados, "Cuenta", true),
        own(CodeTable::kAcumuladosDpto, table::kAcumuladosDpto, "Cuenta", true),
        own(CodeTable::kMovimientos, table::kMovimientos, "Cuenta", true),
        own(CodeTable::kPrevisiones, table::kPrevisionesCobro, "CuentaOriginal", false)};
  }();
  return columns;
}

OtherCodeColumns FindOtherCodeColumns(Connection& connection,
                                      const std::map<std::string, TratamientoColumna>& decisions,
                                      bool require_all, std::string_view source) {
  // By name in lower case, with the name as the caller spelled it.
  std::map<std::string, std::pair<std::string, TratamientoColumna>> pending;
  for (const auto& [name, treatment] : decisions) {
    pending.emplace(Lower(name), std::pair(name, treatment));
  }

  OtherCodeColumns result;
  std::vector<std::string> undecided;
  for (const CatalogueTable& table : ReadCatalogue(connection)) {
    for (const std::string& column : table.code_columns) {
      if (IsLibraryColumn(table.name, column)) continue;
      const auto decision = pending.find(Key(table.name, column));
      ColumnaCodigos found{table.name, column, std::nullopt};
      if (decision != pending.end()) {
        found.tratamiento = decision->second.second;
        if (decision->second.second == TratamientoColumna::Reescribir) {
          result.rewritten.push_back(
              RewrittenColumn(table, column, connection.SqlDialect(), source));
        }
        pending.erase(decision);
      } else {
        undecided.push_back(table.name + "." + column);
      }
      result.found.push_back(std::move(found));
    }
  }
  if (!pending.empty()) {
    const auto& [name, treatment] = pending.begin()->second;
    RaiseComponentError(source, "Se pide " + TreatmentName(treatment) + " la columna " + name +
                                    ", que no está entre las columnas con códigos de cuenta de "
                                    "otras tablas de la base de datos");
  }
  if (require_all && !undecided.empty()) {
    std::string list;
    for (const std::string& name : undecided) list += (list.empty() ? "" : ", ") + name;
    RaiseComponentError(source, "Hay columnas de otras tablas que parecen guardar códigos de "
                                "cuenta: " + list + ". Indique de cada una si se reescribe o se "
                                "deja como está");
  }
  return result;
}

}  // namespace vornexa
