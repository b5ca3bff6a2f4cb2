// importar, exportar: the chart as CSV.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>

#include "tools/vornexa/account_csv.h"
#include "tools/vornexa/account_walk.h"
#include "tools/vornexa/commands.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/progress.h"
#include "tools/vornexa/replacement_file.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kImportSource = "vornexa importar";
constexpr std::string_view kExportSource = "vornexa exportar";

struct ImportOptions {
  std::string path;
  bool skip_upper_check = false;
};

struct ExportOptions {
  std::string path;
  std::string from;
  std::string to;
};

// The file to import, read piece by piece: standard input for "-".
class InputFile {
 public:
  explicit InputFile(const std::string& path) : path_(path) {
    if (path == "-") return;
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd_ < 0 || fstat(fd_, &info) != 0) Refuse();
    if (S_ISDIR(info.st_mode)) {
      Fail(kImportSource, "'" + path + "' es una carpeta: indique el fichero CSV que importar");
    }
    if (S_ISREG(info.st_mode)) size_ = static_cast<size_t>(info.st_size);
  }
  ~InputFile() {
    if (fd_ > STDIN_FILENO) close(fd_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  size_t Read(char* buffer, size_t size) {
    for (;;) {
      const ssize_t got = read(fd_, buffer, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) Refuse();
    }
  }
  // The size of a regular file; 0 when unknown.
  size_t size() const { return size_; }

 private:
  [[noreturn]] void Refuse() const {
    Fail(kImportSource, "No se puede leer el fichero '" + path_ + "' (" + std::strerror(errno) +
                            ")");
  }

  std::string path_;
  int fd_ = STDIN_FILENO;
  size_t size_ = 0;
};

nlohmann::ordered_json ErrorJson(const LineError& failure) {
  return {{"linea", failure.line},
          {"numero", failure.error.Number()},
          {"origen", failure.error.Source()},
          {"descripcion", failure.error.Description()}};
}

// The line errors of --json, kept on disk until the report is printed:
// however many rows fail, memory stays that of one.
class ErrorList {
 public:
  ErrorList() : file_(AnonymousFile(kImportSource)), array_(file_, 1) {}

  void Add(const LineError& failure) { array_.Add(ErrorJson(failure)); }
  // The report: the row counts, then the errors.
  void Print(std::ostream& out, const ImportReport& report) {
    array_.Finish();
    file_.seekg(0);
    out << "{\n  \"lineas\": " << report.records << ",\n  \"importadas\": " << report.imported
        << ",\n  \"errores\": " << file_.rdbuf() << "\n}\n";
  }

 private:
  std::fstream file_;
  JsonArrayWriter array_;
};

// Reading, saving and reporting as the file goes.
void RunImport(const GlobalOptions& options, const ImportOptions& import) {
  InputFile input(import.path);
  const Session session = Session::Open(options);
  CsvReader reader([&input](char* buffer, size_t size) { return input.Read(buffer, size); });
  Progress bar("Importando", input.size());
  std::optional<ErrorList> json_errors;
  if (session.json()) json_errors.emplace();
  const auto on_error = [&](const LineError& failure) {
    bar.Clear();
    std::cerr << "línea " << failure.line << ": " << failure.error.what() << '\n';
    if (json_errors) json_errors->Add(failure);
  };
  ImportReport report;
  try {
    report = ImportAccounts(session, reader, import.skip_upper_check, on_error,
                            [&] { bar.Update(reader.bytes_read()); });
  } catch (const Error& error) {
    // The database's own failures (a lock, a full disk) under the command.
    if (error.Source() == kImportSource) throw;
    throw Error(error.Number(), std::string(kImportSource),
                "No se ha importado nada de '" + import.path + "': " + error.Description(),
                error.SqlState(), error.NativeError());
  }
  bar.Clear();
  std::string summary = "Importadas " + std::to_string(report.imported) + " de " +
                        std::to_string(report.records) + " cuentas de '" + import.path + "'";
  if (report.failed > 0) summary += "; " + std::to_string(report.failed) + " con errores";
  if (json_errors) {
    json_errors->Print(std::cout, report);
  } else {
    std::cout << summary << ".\n";
  }
  if (report.failed > 0) {
    Fail(kImportSource, std::to_string(report.failed) + " de " + std::to_string(report.records) +
                            " líneas no se importaron");
  }
}

// The CSV goes nowhere near the database it comes from: overwriting the
// database or a file beside it would destroy the chart being exported.
void RefuseDatabaseTarget(const GlobalOptions& options, const std::string& path) {
  if (OdbcConnectionString(options)) return;
  const std::string database = DatabasePath(options);
  if (IsDatabaseFile(path, database)) {
    Fail(kExportSource, "'" + path + "' es la base de datos '" + database + "' o uno de sus "
                        "ficheros: la exportación va a otro fichero");
  }
}

void RunExport(const GlobalOptions& options, const ExportOptions& exported) {
  const bool to_file = !exported.path.empty() && exported.path != "-";
  if (to_file) RefuseDatabaseTarget(options, exported.path);
  const Session session = Session::Open(options);
  const CodeRange range = TypedRange(session, exported.from, exported.to, kExportSource);
  std::optional<ReplacementFile> file;
  if (to_file) file.emplace(exported.path, kExportSource);
  // Line by line, so that the chart never gathers in memory.
  const auto write = [&file](const std::string& text) {
    if (file) {
      file->Write(text);
    } else {
      std::cout << text;
    }
  };
  size_t count = 0;
  write(CsvHeaderLine());
  WalkAccounts(session, range, [&](const clsCuenta& account) {
    write(CsvAccountLine(account, session.company().Codigo()));
    ++count;
  });
  if (!file) return;
  file->Commit();
  PrintMessage(std::cout,
               "Exportadas " + std::to_string(count) + " cuentas a '" + exported.path + "'.",
               session.json());
}

}  // namespace

void AddTransferCommands(CLI::App& app, const GlobalOptions& options) {
  auto import = std::make_shared<ImportOptions>();
  CLI::App* importar = app.add_subcommand(
      "importar",
      "Guarda las cuentas de un fichero CSV (cabecera con los nombres de los campos: Cuenta, "
      "Nombre, Nif...). Informa de cada línea con error y sigue con las demás");
  importar->add_option("fichero", import->path, "Fichero CSV (- para la entrada estándar)")
      ->required();
  importar->add_flag("--sin-verificar-niveles", import->skip_upper_check,
                     "No exigir que exista la cuenta del nivel superior");
  importar->callback([&options, import] { RunImport(options, *import); });

  auto exported = std::make_shared<ExportOptions>();
  CLI::App* exportar = app.add_subcommand(
      "exportar", "Escribe las cuentas del ejercicio activo como CSV, que importar lee igual");
  exportar->add_option("fichero", exported->path, "Fichero CSV (por defecto, la salida estándar)");
  exportar->add_option("--desde", exported->from, "Primer código (incluido)");
  exportar->add_option("--hasta", exported->to,
                       "Último código (incluido, con todos los que empiezan por él)");
  exportar->callback([&options, exported] { RunExport(options, *exported); });
}

}  // namespace vornexa::cli
