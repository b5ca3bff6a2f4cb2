// Accounts as CSV: a header row naming clsCuenta fields, one account a row.
// Export writes every field a user can set (Nivel follows from the code), in
// the record's order; import takes any subset of them, in any order.
#ifndef TOOLS_VORNEXA_ACCOUNT_CSV_H_
#define TOOLS_VORNEXA_ACCOUNT_CSV_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <vornexa/vornexa.h>

#include "tools/vornexa/session.h"

namespace vornexa::cli {

// The header line of an export.
std::string CsvHeaderLine();
// One account as a line of an export; a default mandate id is left empty.
std::string CsvAccountLine(clsCuenta account, int16_t company);

struct LineError {
  size_t line;
  Error error;
};

struct ImportReport {
  size_t records = 0;   // data rows read
  size_t imported = 0;  // accounts saved
  std::vector<LineError> errors;  // by line
};

// Saves each row of `csv` through clsCuenta::Insertar; an account already
// stored keeps the fields the file does not name. Rows are saved in
// code order, so a file may list an account before its upper account. A row
// is saved whole or not at all; a bad row is reported and the others go on.
// A header naming no Cuenta, an unknown field or a field twice raises 1000.
// `on_progress` is told how many rows are done.
ImportReport ImportAccounts(const Session& session, std::string_view csv, bool skip_upper_check,
                            const std::function<void(size_t done, size_t total)>& on_progress);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ACCOUNT_CSV_H_
