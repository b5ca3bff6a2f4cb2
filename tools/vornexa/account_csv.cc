#include "tools/vornexa/account_csv.h"

#include <algorithm>
#include <optional>

#include "tools/vornexa/account_fields.h"
#include "tools/vornexa/csv.h"
#include "tools/vornexa/errors.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kSource = "vornexa importar";

// The field behind each column; nullptr for Nivel, which is read and ignored.
std::vector<const AccountField*> HeaderFields(const CsvRecord& header) {
  if (!header.error.empty()) {
    Fail(kSource, "La cabecera (línea " + std::to_string(header.line) + ") no se puede leer: " +
                      header.error);
  }
  std::vector<const AccountField*> fields;
  for (const std::string& name : header.fields) {
    const AccountField* field = FindAccountField(name);
    if (field == nullptr) {
      Fail(kSource, "La cabecera nombra un campo que no existe: '" + name +
                        "' (los campos son los de la cuenta: Cuenta, Nombre, Nif...)");
    }
    if (std::find(fields.begin(), fields.end(), field) != fields.end()) {
      Fail(kSource, "La cabecera nombra dos veces el campo " + std::string(field->name));
    }
    fields.push_back(field);
  }
  if (std::none_of(fields.begin(), fields.end(),
                   [](const AccountField* f) { return f->name == "Cuenta"; })) {
    Fail(kSource, "La cabecera debe nombrar el campo Cuenta");
  }
  for (const AccountField*& field : fields) {
    if (field->derived) field = nullptr;
  }
  return fields;
}

struct Row {
  size_t line;
  clsCuenta account;
};

// The account of one data row: the stored account, when there is one, with
// the row's fields laid over it, so that a file never clears a field it does
// not name. Raises naming what is wrong with the row.
clsCuenta ReadRow(const Session& session, const CsvRecord& record,
                  const std::vector<const AccountField*>& fields) {
  if (!record.error.empty()) Fail(kSource, "CSV mal formado: " + record.error);
  if (record.fields.size() != fields.size()) {
    Fail(kSource, "La línea tiene " + std::to_string(record.fields.size()) +
                      " campos y la cabecera " + std::to_string(fields.size()));
  }
  const auto is_code = [](const AccountField* f) { return f != nullptr && f->name == "Cuenta"; };
  const size_t code_column = std::find_if(fields.begin(), fields.end(), is_code) - fields.begin();
  clsCuenta account = session.Account(record.fields[code_column], kSource);
  account.Cargar();
  BlankDefaultMandateId(account, session.company().Codigo());
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] != nullptr && i != code_column) {
      SetField(account, *fields[i], record.fields[i], kSource);
    }
  }
  return account;
}

}  // namespace

std::string CsvHeaderLine() {
  std::vector<std::string> names;
  for (const AccountField* field : WritableFields()) names.emplace_back(field->name);
  return CsvLine(names);
}

std::string CsvAccountLine(clsCuenta account, int16_t company) {
  BlankDefaultMandateId(account, company);
  std::vector<std::string> values;
  for (const AccountField* field : WritableFields()) values.push_back(FieldText(account, *field));
  return CsvLine(values);
}

ImportReport ImportAccounts(const Session& session, std::string_view csv, bool skip_upper_check,
                            const std::function<void(size_t done, size_t total)>& on_progress) {
  const std::vector<CsvRecord> records = ParseCsv(csv);
  if (records.empty()) Fail(kSource, "El fichero está vacío: falta la cabecera");
  const std::vector<const AccountField*> fields = HeaderFields(records.front());

  ImportReport report;
  report.records = records.size() - 1;
  std::vector<Row> rows;
  for (size_t i = 1; i < records.size(); ++i) {
    try {
      rows.push_back({records[i].line, ReadRow(session, records[i], fields)});
    } catch (const Error& error) {
      report.errors.push_back({records[i].line, error});
    }
  }
  // Upper accounts first, whatever the order of the file.
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.account.Cuenta < b.account.Cuenta;
  });

  // One transaction for speed; a savepoint per row keeps a failed row out.
  AtomicScope all(session.connection());
  for (size_t i = 0; i < rows.size(); ++i) {
    try {
      AtomicScope row(session.connection());
      rows[i].account.NoVerificarNivelesSup = skip_upper_check;
      rows[i].account.Insertar();
      row.Commit();
      ++report.imported;
    } catch (const Error& error) {
      report.errors.push_back({rows[i].line, error});
    }
    on_progress(i + 1, rows.size());
  }
  all.Commit();
  std::stable_sort(report.errors.begin(), report.errors.end(),
                   [](const LineError& a, const LineError& b) { return a.line < b.line; });
  return report;
}

}  // namespace vornexa::cli
