#include "vornexa/chart/restructure_statements.h"

#include "vornexa/schema/tables.h"

namespace vornexa::restructure_sql {

namespace {

// The columns that find the one row of an account an accumulator row
// belongs with: its exercise and, in Acumulados_Dpto, its department.
std::vector<std::string_view> AccumulatorKey(const CodeColumn& table) {
  if (table.table_kind == CodeTable::kAcumuladosDpto) {
    return {"Cod_Empresa", "Cod_Ejercicio", "Dpto"};
  }
  return {"Cod_Empresa", "Cod_Ejercicio"};
}

// " AND a.Cod_Empresa = b.Cod_Empresa AND a.Cod_Ejercicio = b.Cod_Ejercicio"
void JoinAccumulatorKey(SqlStatement& sql, const CodeColumn& table, std::string_view a,
                        std::string_view b) {
  for (std::string_view column : AccumulatorKey(table)) {
    sql.Raw(" AND ").Raw(a).Raw(".").Raw(column).Raw(" = ").Raw(b).Raw(".").Raw(column);
  }
}

SqlStatement& ExerciseFrom(SqlStatement& sql, std::string_view prefix,
                           std::optional<int16_t> from) {
  if (from) sql.Raw(" AND ").Raw(prefix).Raw("Cod_Ejercicio >=").Number(*from);
  return sql;
}

}  // namespace

SqlStatement& CompanyRows(SqlStatement& sql, const CodeColumn& column, int16_t company,
                          std::optional<int16_t> from) {
  sql.Raw(" WHERE ").Raw(column.sql_company).Raw(" =").Number(company);
  if (from && !column.sql_exercise.empty()) {
    sql.Raw(" AND ").Raw(column.sql_exercise).Raw(" >=").Number(*from);
  }
  return sql;
}

std::string CountCompanyRows(const CodeColumn& column, int16_t company) {
  SqlStatement sql("SELECT COUNT(*) AS n FROM ");
  return CompanyRows(sql.Raw(column.sql_table), column, company, std::nullopt).Take();
}

std::string FirstCode(const CodeColumn& column, int16_t company, std::optional<int16_t> from,
                      const CodeScope& scope) {
  SqlStatement sql("SELECT TOP 1 ");
  sql.Raw(column.sql_column).Raw(" AS c FROM ").Raw(column.sql_table);
  CompanyRows(sql, column, company, from).Raw(" AND ");
  scope.AppendCondition(sql, column.sql_column);
  return sql.Raw(" ORDER BY ").Raw(column.sql_column).Take();
}

std::string ScanCodes(const CodeColumn& column, int16_t company, const CodeRewrite& rewrite) {
  const std::string_view code = column.sql_column;
  SqlStatement sql("SELECT COUNT(CASE WHEN ");
  rewrite.rewritten.AppendCondition(sql, code);
  sql.Raw(" THEN 1 END) AS n, MIN(CASE WHEN ");
  rewrite.result.AppendCondition(sql, code);
  sql.Raw(" THEN ").Raw(code).Raw(" END) AS existente, ");
  if (rewrite.drop == 0 || !rewrite.insert.empty()) {
    sql.Raw("NULL");
  } else {
    sql.Raw("MIN(CASE WHEN ");
    rewrite.rewritten.AppendCondition(sql, code);
    sql.Raw(" AND SUBSTRING(")
        .Raw(code)
        .Raw(", ")
        .Number(static_cast<int64_t>(rewrite.keep + 1))
        .Raw(", ")
        .Number(static_cast<int64_t>(rewrite.drop))
        .Raw(") <> ")
        .Text(std::string(rewrite.drop, '0'), "Cuenta")
        .Raw(" THEN ")
        .Raw(code)
        .Raw(" END)");
  }
  sql.Raw(" AS perdido FROM ").Raw(column.sql_table);
  CompanyRows(sql, column, company, rewrite.from_exercise);
  AppendAnyScope(sql, code, {rewrite.rewritten, rewrite.result});
  return sql.Take();
}

std::string RenameCodes(const CodeColumn& column, int16_t company, const CodeRewrite& rewrite) {
  SqlStatement sql("UPDATE ");
  sql.Raw(column.sql_table).Raw(" SET ").Raw(column.sql_column).Raw(" = ");
  rewrite.AppendNewCode(sql, column.sql_column);
  CompanyRows(sql, column, company, rewrite.from_exercise).Raw(" AND ");
  rewrite.rewritten.AppendCondition(sql, column.sql_column);
  return sql.Take();
}

std::string ChangedAccountCodes(int16_t company, const CodeRewrite& rewrite) {
  const CodeColumn& cuentas = LibraryCodeColumns().front();
  SqlStatement sql("SELECT DISTINCT Cuenta FROM Cuentas");
  CompanyRows(sql, cuentas, company, rewrite.from_exercise).Raw(" AND ");
  rewrite.rewritten.AppendCondition(sql, "Cuenta");
  return sql.Raw(" ORDER BY Cuenta").Take();
}

std::string ExercisesHolding(int16_t company, std::optional<int16_t> from,
                             const CodeScope& scope) {
  SqlStatement sql("SELECT DISTINCT Cod_Ejercicio FROM Cuentas");
  CompanyRows(sql, LibraryCodeColumns().front(), company, from).Raw(" AND ");
  scope.AppendCondition(sql, "Cuenta");
  return sql.Raw(" ORDER BY Cod_Ejercicio").Take();
}

std::string EnsureAccumulatorRows(const CodeColumn& table, int16_t company,
                                  std::optional<int16_t> from, std::string_view source,
                                  std::string_view target, int16_t level) {
  const std::vector<std::string_view> key = AccumulatorKey(table);
  SqlStatement sql("INSERT INTO ");
  sql.Raw(table.sql_table).Raw(" (");
  for (std::string_view column : key) sql.Raw(column).Raw(", ");
  sql.Raw("Cuenta, Nivel) SELECT ");
  for (std::string_view column : key) sql.Raw("m.").Raw(column).Raw(", ");
  sql.Text(target, "Cuenta").Raw(", ").Number(level).Raw(" FROM ").Raw(table.sql_table);
  sql.Raw(" m WHERE m.Cod_Empresa =").Number(company);
  ExerciseFrom(sql, "m.", from).Raw(" AND m.Cuenta = ").Text(source, "Cuenta");
  sql.Raw(" AND NOT EXISTS (SELECT 1 FROM ").Raw(table.sql_table).Raw(" t WHERE t.Cuenta = ");
  sql.Text(target, "Cuenta");
  JoinAccumulatorKey(sql, table, "t", "m");
  return sql.Raw(")").Take();
}

std::string MoveAccumulatorAmounts(const CodeColumn& table, int16_t company,
                                   std::optional<int16_t> from, std::string_view source,
                                   const std::vector<std::string>& targets, char sign) {
  SqlStatement sql("UPDATE ");
  sql.Raw(table.sql_table).Raw(" SET ");
  for (std::string_view amount : table::kAccumulatorAmounts) {
    if (amount != table::kAccumulatorAmounts[0]) sql.Raw(", ");
    sql.Raw(amount).Raw(" = ").Raw(amount).Raw(sign == '+' ? " + " : " - ");
    sql.Raw("ISNULL((SELECT m.").Raw(amount).Raw(" FROM ").Raw(table.sql_table);
    sql.Raw(" m WHERE m.Cuenta = ").Text(source, "Cuenta");
    JoinAccumulatorKey(sql, table, "m", table.sql_table);
    sql.Raw("), 0)");
  }
  sql.Raw(" WHERE Cod_Empresa =").Number(company);
  ExerciseFrom(sql, "", from).Raw(" AND Cuenta IN (");
  for (const std::string& target : targets) {
    if (&target != &targets.front()) sql.Raw(", ");
    sql.Text(target, "Cuenta");
  }
  return sql.Raw(")").Take();
}

std::string DeleteCodeRows(const CodeColumn& column, int16_t company, std::string_view code) {
  SqlStatement sql("DELETE FROM ");
  CompanyRows(sql.Raw(column.sql_table), column, company, std::nullopt);
  return sql.Raw(" AND ").Raw(column.sql_column).Raw(" = ").Text(code, "Cuenta").Take();
}

}  // namespace vornexa::restructure_sql
