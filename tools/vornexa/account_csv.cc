#include "tools/vornexa/account_csv.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "tools/vornexa/account_fields.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/replacement_file.h"

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
  CheckKeptFields(account, fields, kSource);
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] != nullptr && i != code_column) {
      SetField(account, *fields[i], record.fields[i], kSource);
    }
  }
  return account;
}

bool IsMissingUpperAccount(const Error& error) {
  return error.Number() == error_number::kComponent &&
         error.Description().starts_with(error_description::kMissingUpperAccount);
}

// Rows put off until the rest of the file is saved, on disk: a file in any
// order takes no more memory than one in code order. Each is kept as a CSV
// line with its line number in front.
class DeferredRows {
 public:
  DeferredRows() : file_(AnonymousFile(kSource)) {}

  size_t size() const { return size_; }

  void Add(const CsvRecord& record) {
    std::vector<std::string> fields{std::to_string(record.line)};
    fields.insert(fields.end(), record.fields.begin(), record.fields.end());
    if (!(file_ << CsvLine(fields))) {
      Fail(kSource, std::string("No se puede escribir en un fichero temporal (") +
                        std::strerror(errno) + ")");
    }
    ++size_;
  }

  // Calls `visit` with each row, as it was added.
  void ForEach(const std::function<void(const CsvRecord&)>& visit) {
    file_.seekg(0);
    CsvReader reader([this](char* buffer, size_t size) {
      return static_cast<size_t>(file_.read(buffer, static_cast<std::streamsize>(size)).gcount());
    });
    for (CsvRecord record; reader.Next(&record);) {
      record.line = std::stoul(record.fields.front());
      record.fields.erase(record.fields.begin());
      visit(record);
    }
  }

 private:
  std::fstream file_;
  size_t size_ = 0;
};

class Importer {
 public:
  Importer(const Session& session, bool skip_upper_check,
           const std::function<void(const LineError&)>& on_error)
      : session_(session), skip_upper_check_(skip_upper_check), on_error_(on_error) {}

  ImportReport Run(CsvReader& reader, const std::function<void()>& on_row) {
    CsvRecord header;
    if (!reader.Next(&header)) Fail(kSource, "El fichero está vacío: falta la cabecera");
    RefuseTooLong(header);
    fields_ = HeaderFields(header);

    // One transaction for speed and for a file saved whole or not at all; a
    // savepoint per row keeps a failed row out.
    AtomicScope all(session_.connection());
    auto deferred = std::make_unique<DeferredRows>();
    for (CsvRecord record; reader.Next(&record);) {
      RefuseTooLong(record);
      ++report_.records;
      Save(record, deferred.get());
      on_row();
    }
    // Each pass saves the rows whose upper accounts the previous one saved;
    // when one saves none, a last pass reports the rows left.
    for (bool last = false; deferred->size() > 0 && !last;) {
      const size_t left = deferred->size();
      auto next = std::make_unique<DeferredRows>();
      deferred->ForEach([&](const CsvRecord& record) { Save(record, next.get()); });
      last = next->size() == left;
      if (last) next->ForEach([&](const CsvRecord& record) { Save(record, nullptr); });
      deferred = std::move(next);
    }
    all.Commit();
    return report_;
  }

 private:
  static void RefuseTooLong(const CsvRecord& record) {
    if (record.too_long) {
      Fail(kSource, "La línea " + std::to_string(record.line) + " " + record.error +
                        ": no es un fichero de cuentas");
    }
  }

  // Saves one row in a savepoint of its own, or reports why not; a row whose
  // upper account is missing goes to `deferred`, when given. A failure to
  // open or release the savepoint is the whole import's.
  void Save(const CsvRecord& record, DeferredRows* deferred) {
    AtomicScope row(session_.connection());
    try {
      clsCuenta account = ReadRow(session_, record, fields_);
      account.NoVerificarNivelesSup = skip_upper_check_;
      account.Insertar();
    } catch (const Error& error) {
      if (deferred != nullptr && IsMissingUpperAccount(error)) {
        deferred->Add(record);
      } else {
        ++report_.failed;
        on_error_({record.line, error});
      }
      return;
    }
    row.Commit();
    ++report_.imported;
  }

  const Session& session_;
  const bool skip_upper_check_;
  const std::function<void(const LineError&)>& on_error_;
  std::vector<const AccountField*> fields_;
  ImportReport report_;
};

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

ImportReport ImportAccounts(const Session& session, CsvReader& reader, bool skip_upper_check,
                            const std::function<void(const LineError&)>& on_error,
                            const std::function<void()>& on_row) {
  return Importer(session, skip_upper_check, on_error).Run(reader, on_row);
}

}  // namespace vornexa::cli
