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

// The columns of Cuentas in table order: company and exercise, then the
// account's own fields in the order the application's INSERT names them. The
// account record finds each field's column here by that position.
struct CuentasColumn {
  std::string_view name;
  ColumnType type;
  int length;  // text only
};
inline constexpr CuentasColumn kCuentasColumns[] = {
    {"Cod_Empresa", ColumnType::kInt16, 0}, {"Cod_Ejercicio", ColumnType::kInt16, 0},
    {"Cuenta", ColumnType::kText, 20}, {"Nombre", ColumnType::kText, 200},
    {"ContDebe", ColumnType::kText, 20}, {"ContHaber", ColumnType::kText, 20},
    {"Nivel", ColumnType::kInt16, 0}, {"Nif", ColumnType::kText, 20},
    {"Nombre_Comercial", ColumnType::kText, 200}, {"Direccion", ColumnType::kText, 100},
    {"Cp", ColumnType::kInt32, 0}, {"Localidad", ColumnType::kText, 50},
    {"Provincia", ColumnType::kText, 50}, {"Pais", ColumnType::kText, 50},
    {"Cod_Pais", ColumnType::kInt16, 0}, {"Telefono", ColumnType::kText, 30},
    {"Fax", ColumnType::kText, 30}, {"eMail", ColumnType::kText, 100},
    {"F_Nif", ColumnType::kText, 20}, {"F_Razon", ColumnType::kText, 200},
    {"F_Via", ColumnType::kText, 10}, {"F_Direccion", ColumnType::kText, 100},
    {"F_Numero", ColumnType::kText, 10}, {"F_Escalera", ColumnType::kText, 10},
    {"F_Piso", ColumnType::kText, 10}, {"F_Puerta", ColumnType::kText, 10},
    {"F_Cp", ColumnType::kInt32, 0}, {"F_Localidad", ColumnType::kText, 50},
    {"F_Provincia", ColumnType::kText, 50}, {"F_Pais", ColumnType::kText, 50},
    {"F_Telefono", ColumnType::kText, 30}, {"F_Fax", ColumnType::kText, 30},
    {"F_eMail", ColumnType::kText, 100}, {"Grupo", ColumnType::kInt16, 0},
    {"FormaPago", ColumnType::kInt16, 0}, {"CCC", ColumnType::kText, 20},
    {"Carta_Pago", ColumnType::kInt16, 0}, {"Dpto", ColumnType::kInt16, 0},
    {"IBAN", ColumnType::kText, 34}, {"Fecha_Mandato", ColumnType::kText, 30},
    {"IDMandato", ColumnType::kText, 35}, {"Subfijo_SEPA", ColumnType::kInt16, 0},
    {"ContraparteIDOtroTipo", ColumnType::kInt16, 0}, {"Secuencia_Adeudo", ColumnType::kInt16, 0},
    {"Cod_Irpf", ColumnType::kInt16, 0}, {"Tipo_Irpf", ColumnType::kInt16, 0},
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

// The statement that creates `table` when it does not exist, in `dialect`'s
// DDL: for the nine tables, and for tables of the callers' own.
std::string CreateTableStatement(const TableDef& table, Dialect dialect);

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
