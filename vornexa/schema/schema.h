// The nine tables the library uses, described once and rendered as DDL for
// each dialect.
#ifndef VORNEXA_SCHEMA_SCHEMA_H_
#define VORNEXA_SCHEMA_SCHEMA_H_

#include <string>
#include <string_view>
#include <vector>

#include "vornexa/data/connection.h"

namespace vornexa {

enum class ColumnType { kInt16, kInt32, kText, kAmount, kDate };

struct ColumnDef {
  std::string_view name;
  ColumnType type;
  int length = 0;                  // text only
  bool not_null = false;
  std::string_view default_value;  // SQL literal; empty for none
  bool code = false;               // a code: compared and ordered byte by byte
};

struct IndexDef {
  std::string_view name;
  std::string_view columns;  // comma-separated
};

struct TableDef {
  std::string_view name;
  std::vector<ColumnDef> columns;
  std::string_view primary_key;  // comma-separated
  std::vector<IndexDef> indexes;
};

// The nine tables, in creation order.
const std::vector<TableDef>& SchemaTables();

// The statements that create the tables and their indexes when missing.
std::vector<std::string> SchemaStatements(Dialect dialect);

// Creates the nine tables, with keys, defaults and indexes, when they do not
// exist, in the connection's own dialect. Raises the database's error for a
// statement it refuses. Not atomic: each table and index is its own
// statement, so a failure keeps what was created before it, and running it
// again completes the rest.
void CreateSchema(Connection& connection);

}  // namespace vornexa

#endif  // VORNEXA_SCHEMA_SCHEMA_H_
