// The columns that hold account codes: the library's five, and those of the
// application's other modules, found in the database's own catalogue.
#ifndef VORNEXA_CHART_RESTRUCTURE_COLUMNS_H_
#define VORNEXA_CHART_RESTRUCTURE_COLUMNS_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/chart/restructure.h"
#include "vornexa/data/connection.h"

namespace vornexa {

// Which table a code column belongs to. The rows of the first three are
// keyed by the code: a merge adds them up and deletes them rather than
// renaming them.
enum class CodeTable { kCuentas, kAcumulados, kAcumuladosDpto, kMovimientos, kPrevisiones, kOther };

// A column holding account codes, with its names as statements write them.
struct CodeColumn {
  CodeTable table_kind;
  std::string table;     // as the catalogue spells it
  std::string column;
  std::string sql_table;  // as statements name them (quoted where not the library's)
  std::string sql_column;
  std::string sql_company;   // the company column
  std::string sql_exercise;  // the exercise column; empty when the table has none

  std::string Label() const { return table + "." + column; }
  bool Keyed() const {
    return table_kind == CodeTable::kCuentas || table_kind == CodeTable::kAcumulados ||
           table_kind == CodeTable::kAcumuladosDpto;
  }
};

// Cuentas.Cuenta, Acumulados.Cuenta, Acumulados_Dpto.Cuenta,
// Movimientos.Cuenta and Previsiones_Cobro.CuentaOriginal, in this order.
const std::vector<CodeColumn>& LibraryCodeColumns();

// The other modules' columns of the database and the caller's decisions.
struct OtherCodeColumns {
  std::vector<ColumnaCodigos> found;  // every one, in table and column order
  std::vector<CodeColumn> rewritten;  // those to be rewritten
};

// Searches the catalogue for text columns, outside the library's five,
// whose name begins or ends with "Cuenta" (letter case ignored), and pairs
// them with `decisions`. Refuses, from `source`, a decision on a column
// that is not among them, a column to be rewritten whose table has no
// Cod_Empresa or whose names statements cannot carry, and, when
// `require_all`, any column left without a decision.
OtherCodeColumns FindOtherCodeColumns(Connection& connection,
                                      const std::map<std::string, TratamientoColumna>& decisions,
                                      bool require_all, std::string_view source);

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_COLUMNS_H_
