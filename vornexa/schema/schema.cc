#include "vornexa/schema/schema.h"

#include "vornexa/schema/tables.h"

namespace vornexa {

namespace {

// Column builders keep the table list readable.
ColumnDef Key16(std::string_view name) { return {name, ColumnType::kInt16, 0, true, {}}; }
ColumnDef KeyText(std::string_view name, int length) {
  return {name, ColumnType::kText, length, true, {}, true};
}
// Cuentas holds no NULL: every column the loader reads has a value.
ColumnDef Int16(std::string_view name) { return {name, ColumnType::kInt16, 0, true, "0"}; }
ColumnDef Int32(std::string_view name) { return {name, ColumnType::kInt32, 0, true, "0"}; }
ColumnDef Text(std::string_view name, int length) {
  return {name, ColumnType::kText, length, true, "''"};
}
// Amounts default to 0: accumulator rows are inserted naming only their keys.
ColumnDef Amount(std::string_view name) { return {name, ColumnType::kAmount, 0, true, "0"}; }
ColumnDef Flag(std::string_view name) { return {name, ColumnType::kInt16, 0, true, "0"}; }
ColumnDef OptionalText(std::string_view name, int length) {
  return {name, ColumnType::kText, length, false, {}};
}
ColumnDef OptionalInt32(std::string_view name) {
  return {name, ColumnType::kInt32, 0, false, {}};
}

std::vector<ColumnDef> AccumulatorColumns(std::vector<ColumnDef> keys) {
  keys.push_back(Int16("Nivel"));
  for (std::string_view amount : table::kAccumulatorAmounts) keys.push_back(Amount(amount));
  return keys;
}

// The first three columns are the key; no other column holds a NULL.
std::vector<ColumnDef> CuentasColumnDefs() {
  std::vector<ColumnDef> columns;
  for (const CuentasColumn& column : kCuentasColumns) {
    if (columns.size() < 3) {
      columns.push_back(column.type == ColumnType::kText ? KeyText(column.name, column.length)
                                                         : Key16(column.name));
    } else if (column.type == ColumnType::kText) {
      columns.push_back(Text(column.name, column.length));
    } else {
      columns.push_back(column.type == ColumnType::kInt32 ? Int32(column.name) : Int16(column.name));
    }
  }
  return columns;
}

std::vector<TableDef> BuildTables() {
  using namespace table;
  return {
      {kCuentas,
       CuentasColumnDefs(),
       "Cod_Empresa, Cod_Ejercicio, Cuenta",
       {{"IX_Cuentas_Grupo", "Cod_Empresa, Grupo"}}},
      {kCuentasGrupos,
       {Key16("Cod_Empresa"), Key16("Codigo"), Text("Nombre", 200)},
       "Cod_Empresa, Codigo",
       {}},
      // The registry row is inserted naming Nif alone; the rest is filled later.
      {kRazonSocial,
       {KeyText("Nif", 20), OptionalText("Nombre", 200), OptionalText("Direccion", 100),
        OptionalInt32("CP"), OptionalText("Localidad", 50), OptionalText("Provincia", 50),
        OptionalText("Pais", 50), OptionalText("eMail", 100), OptionalText("Telefono", 30),
        OptionalText("Fax", 30)},
       "Nif",
       {}},
      {kAcumulados,
       AccumulatorColumns({Key16("Cod_Empresa"), Key16("Cod_Ejercicio"), KeyText("Cuenta", 20)}),
       "Cod_Empresa, Cod_Ejercicio, Cuenta",
       {}},
      {kAcumuladosDpto,
       AccumulatorColumns({Key16("Cod_Empresa"), Key16("Cod_Ejercicio"), Key16("Dpto"),
                           KeyText("Cuenta", 20)}),
       "Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta",
       // The account's delete names no department.
       {{"IX_Acumulados_Dpto_Cuenta", "Cod_Empresa, Cod_Ejercicio, Cuenta"}}},
      {kDepartamentos,
       {Key16("Cod_Empresa"), Key16("Codigo"), Text("Nombre", 200)},
       "Cod_Empresa, Codigo",
       {}},
      {kAsientos,
       {Key16("Cod_Empresa"), Key16("Cod_Ejercicio"), {"Codigo", ColumnType::kInt32, 0, true, {}},
        {"Fecha", ColumnType::kDate, 0, true, {}}, Flag("Cierre"), Flag("Nulo")},
       "Cod_Empresa, Cod_Ejercicio, Codigo",
       // No index on the date: the period totals reach entries through their
       // lines' account, and a date index would lure SQLite's planner into
       // walking every entry of the period instead.
       {}},
      {kMovimientos,
       {Key16("Cod_Empresa"), Key16("Cod_Ejercicio"),
        {"Cod_Asiento", ColumnType::kInt32, 0, true, {}},
        {"Apunte", ColumnType::kInt32, 0, true, {}}, KeyText("Cuenta", 20), Amount("Debe"),
        Amount("Haber"), Text("Concepto", 100), Text("Documento", 20), Int16("Dpto"),
        Int16("Diario")},
       "Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte",
       // An account's lines lie together with what its period totals read
       // (entry key, amounts, department, journal): one seek, no row fetches.
       {{"IX_Movimientos_Cuenta",
         "Cod_Empresa, Cuenta, Cod_Ejercicio, Cod_Asiento, Debe, Haber, Dpto, Diario"},
        {"IX_Movimientos_Ejercicio_Cuenta", "Cod_Empresa, Cod_Ejercicio, Cuenta"}}},
      {kPrevisionesCobro,
       {Key16("Cod_Empresa"), {"Codigo", ColumnType::kInt32, 0, true, {}},
        KeyText("CuentaOriginal", 20), Int16("Estado"), Amount("Importe")},
       "Cod_Empresa, Codigo",
       {{"IX_Previsiones_Cobro_Cuenta", "Cod_Empresa, CuentaOriginal, Estado"}}},
  };
}

std::string TypeName(const ColumnDef& column, Dialect dialect) {
  const std::string length = std::to_string(column.length);
  switch (column.type) {
    case ColumnType::kInt16:
      return dialect == Dialect::Sqlite ? "INTEGER" : "smallint";
    case ColumnType::kInt32:
      return dialect == Dialect::Sqlite ? "INTEGER" : dialect == Dialect::SqlServer ? "int" : "integer";
    case ColumnType::kText:
      // Codes order as text ('43' < '430' < '44'); PostgreSQL's "C" collation
      // compares bytes whatever the database's locale, as SQL Server's
      // collations do for digits.
      return dialect == Dialect::Sqlite      ? "TEXT"
             : dialect == Dialect::SqlServer ? "nvarchar(" + length + ")"
             : column.code                   ? "varchar(" + length + ") COLLATE \"C\""
                                             : "varchar(" + length + ")";
    case ColumnType::kAmount:
      return dialect == Dialect::Sqlite ? "NUMERIC" : dialect == Dialect::SqlServer ? "money" : "numeric(19,4)";
    case ColumnType::kDate:
      return dialect == Dialect::Sqlite ? "TEXT" : dialect == Dialect::SqlServer ? "datetime" : "timestamp";
  }
  return {};
}

}  // namespace

std::string CreateTableStatement(const TableDef& table, Dialect dialect) {
  std::string sql;
  const std::string name(table.name);
  if (dialect == Dialect::SqlServer) {
    sql = "IF OBJECT_ID(N'" + name + "', N'U') IS NULL CREATE TABLE " + name + " (";
  } else {
    sql = "CREATE TABLE IF NOT EXISTS " + name + " (";
  }
  for (const ColumnDef& column : table.columns) {
    sql += "\n  ";
    sql += column.name;
    sql += ' ' + TypeName(column, dialect);
    if (column.not_null) sql += " NOT NULL";
    if (!column.default_value.empty()) {
      sql += " DEFAULT ";
      sql += column.default_value;
    }
    sql += ',';
  }
  sql += "\n  CONSTRAINT PK_" + name + " PRIMARY KEY (" + std::string(table.primary_key) + "))";
  return sql;
}

namespace {

std::string CreateIndex(const TableDef& table, const IndexDef& index, Dialect dialect) {
  const std::string name(index.name);
  const std::string body = " ON " + std::string(table.name) + " (" + std::string(index.columns) + ")";
  if (dialect == Dialect::SqlServer) {
    return "IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'" + name +
           "') CREATE INDEX " + name + body;
  }
  return "CREATE INDEX IF NOT EXISTS " + name + body;
}

}  // namespace

const std::vector<TableDef>& SchemaTables() {
  static const std::vector<TableDef> tables = BuildTables();
  return tables;
}

std::vector<std::string> SchemaStatements(Dialect dialect) {
  std::vector<std::string> statements;
  for (const TableDef& table : SchemaTables()) {
    statements.push_back(CreateTableStatement(table, dialect));
    for (const IndexDef& index : table.indexes) {
      statements.push_back(CreateIndex(table, index, dialect));
    }
  }
  return statements;
}

void CreateSchema(Connection& connection) {
  for (const std::string& statement : SchemaStatements(connection.SqlDialect())) {
    connection.Execute(statement);
  }
}

}  // namespace vornexa
