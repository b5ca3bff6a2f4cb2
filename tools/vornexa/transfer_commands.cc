// importar, exportar: the chart as CSV.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

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

// The whole file, or standard input for "-".
std::string ReadInput(const std::string& path) {
  if (path == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), {});
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) Fail(kImportSource, "No se puede leer el fichero '" + path + "'");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

nlohmann::ordered_json ReportJson(const ImportReport& report) {
  nlohmann::ordered_json errors = nlohmann::ordered_json::array();
  for (const LineError& failure : report.errors) {
    errors.push_back({{"linea", failure.line},
                      {"numero", failure.error.Number()},
                      {"origen", failure.error.Source()},
                      {"descripcion", failure.error.Description()}});
  }
  return {{"lineas", report.records}, {"importadas", report.imported}, {"errores", errors}};
}

void RunImport(const GlobalOptions& options, const ImportOptions& import) {
  const std::string csv = ReadInput(import.path);
  const Session session = Session::Open(options);
  std::unique_ptr<Progress> bar;
  const ImportReport report = ImportAccounts(
      session, csv, import.skip_upper_check, [&bar](size_t done, size_t total) {
        if (!bar) bar = std::make_unique<Progress>("Importando", total);
        bar->Update(done);
      });
  bar.reset();
  for (const LineError& failure : report.errors) {
    std::cerr << "línea " << failure.line << ": " << failure.error.what() << '\n';
  }
  std::string summary = "Importadas " + std::to_string(report.imported) + " de " +
                        std::to_string(report.records) + " cuentas de '" + import.path + "'";
  if (!report.errors.empty()) summary += "; " + std::to_string(report.errors.size()) + " con errores";
  PrintAnswer(std::cout, ReportJson(report), summary + ".", session.json());
  if (!report.errors.empty()) {
    Fail(kImportSource, std::to_string(report.errors.size()) + " de " +
                            std::to_string(report.records) + " líneas no se importaron");
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
  ReplacementFile file(exported.path, kExportSource);
  std::ostream& out = to_file ? file.stream() : std::cout;
  size_t count = 0;
  out << CsvHeaderLine();
  WalkAccounts(session, range, [&](const clsCuenta& account) {
    out << CsvAccountLine(account, session.company().Codigo());
    ++count;
  });
  if (!to_file) return;
  file.Commit();
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
