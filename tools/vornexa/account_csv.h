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

#include "tools/vornexa/csv.h"
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
  size_t imported = 0;  // rows saved
  size_t failed = 0;    // rows reported
};

// Saves each data row of `reader` through clsCuenta::Insertar, in the
// file's order, all inside one transaction; an account already stored keeps
// the fields the file does not name. A row is saved whole or not at all; a
// bad row is told to `on_error` as soon as it is known and the others go on.
// A row whose upper account is missing is tried again once the rest of the
// file is saved (kept on disk meanwhile), so a file may list an account
// before its upper account and memory stays that of one row. `on_row` is
// called after each row of the file.
//
// Raises, and then nothing of the file is saved: a header naming no
// Cuenta, an unknown field or a field twice, a record longer than
// kMaxCsvRecordBytes, a failure to read, and any failure of the
// transaction itself (the database in use by another process, a full disk).
ImportReport ImportAccounts(const Session& session, CsvReader& reader, bool skip_upper_check,
                            const std::function<void(const LineError&)>& on_error,
                            const std::function<void()>& on_row);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_ACCOUNT_CSV_H_
