// demo: a sample company in a new embedded database, and a guided tour.
#include <filesystem>
#include <iostream>

#include "tools/vornexa/commands.h"
#include "tools/vornexa/demo/accounts.h"
#include "tools/vornexa/demo/company.h"
#include "tools/vornexa/demo/tour.h"
#include "tools/vornexa/errors.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kSource = "vornexa demo";
constexpr std::string_view kDemoDatabase = "vornexa-demo.db";

struct DemoOptions {
  bool replace = false;
};

// The demo always starts from an empty file. Its own default file is
// replaced; a file named with --db only with --reemplazar, so that the demo
// never overwrites a real database by accident.
void ClearFile(const std::string& path, bool replace) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(path, error) && !replace) {
    Fail(kSource, "El fichero '" + path + "' ya existe; la demostración crea una base de datos "
                  "nueva (añada --reemplazar para sustituirlo)");
  }
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    fs::remove(path + suffix, error);
    if (error) {
      Fail(kSource, "No se puede sustituir '" + path + suffix + "': " + error.message());
    }
  }
}

void RunDemo(const GlobalOptions& options, const DemoOptions& demo) {
  // The demo empties its database first: never a server's. VORNEXA_DB and
  // VORNEXA_ODBC name the user's own database, so it ignores them.
  if (options.odbc) {
    Fail(kSource, "La demostración trabaja solo con un fichero SQLite propio (vornexa-demo.db "
                  "o el de --db), que vacía antes de empezar; no usa una conexión --odbc");
  }
  const std::string path = options.database.value_or(std::string(kDemoDatabase));
  ClearFile(path, demo.replace || !options.database);
  const demo::DemoSummary summary = demo::BuildDemoCompany(path);
  GlobalOptions opened;
  opened.database = path;
  opened.company = demo::kCompany;
  demo::PrintTour(std::cout, Session::Open(opened), path, summary, options.program);
}

}  // namespace

void AddDemoCommand(CLI::App& app, const GlobalOptions& options) {
  auto demo = std::make_shared<DemoOptions>();
  CLI::App* command = app.add_subcommand(
      "demo", "Crea una empresa de ejemplo en una base de datos nueva (vornexa-demo.db, o la "
              "de --db) y recorre todo lo que sabe hacer la biblioteca. Solo en un fichero "
              "SQLite: no acepta --odbc");
  command->add_flag("--reemplazar", demo->replace,
                    "Sustituir el fichero de --db si ya existe");
  command->callback([&options, demo] { RunDemo(options, *demo); });
}

}  // namespace vornexa::cli
