#include "tools/vornexa/demo/company.h"

#include <vornexa/vornexa.h>

#include "tools/vornexa/chart_plans.h"
#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/demo/accounts.h"
#include "tools/vornexa/demo/journal.h"
#include "tools/vornexa/session.h"

namespace vornexa::cli::demo {

namespace {

CompanySettings Settings(int16_t active_exercise) {
  CompanySettings settings;
  settings.code = kCompany;
  settings.name = std::string(kCompanyName);
  settings.exercise = active_exercise;
  settings.exercises = {kFirstExercise, kSecondExercise};
  settings.multi_exercise = true;
  return settings;
}

void AddDepartments(Connection& connection) {
  for (const DemoDepartment& department : kDepartments) {
    ValueList values("INSERT INTO Departamentos (Cod_Empresa, Codigo, Nombre) VALUES (");
    values.Next().Number(kCompany);
    values.Next().Number(department.code);
    values.Next().Text(department.name, "Nombre");
    connection.Execute(values.Close());
  }
}

void AddGroups() {
  const std::pair<int16_t, const char*> groups[] = {
      {kClientsGroup, "Clientes"}, {kSuppliersGroup, "Proveedores"}, {kBanksGroup, "Bancos"}};
  for (const auto& [code, name] : groups) {
    clsGrupo group;
    group.Empresa = kCompany;
    group.Codigo = code;
    group.Nombre = name;
    group.Insertar();
  }
}

// Saves one detail account, first creating its four-digit upper account,
// named after the three-digit one, when the chart lacks it. Returns the
// number of accounts created.
size_t SaveDetailAccount(const Session& session, const DemoAccount& data) {
  size_t created = 0;
  clsCuenta upper = session.NewAccount();
  upper.Cuenta = std::string(data.code.substr(0, 4));
  if (!upper.Existe()) {
    clsCuenta parent = session.NewAccount();
    parent.Cuenta = upper.Cuenta.substr(0, 3);
    parent.Cargar();
    upper.Nombre = parent.Nombre;
    upper.Insertar();
    ++created;
  }
  clsCuenta account = session.NewAccount();
  account.Cuenta = std::string(data.code);
  account.Nombre = std::string(data.name);
  account.Nif = std::string(data.nif);
  account.Localidad = std::string(data.town);
  account.Cp = data.postal_code;
  account.Pais = data.nif.empty() ? "" : "España";
  account.Grupo = data.group;
  if (!data.nif.empty()) {
    account.F_Nif = account.Nif;
    account.F_Razon = account.Nombre;
    account.F_Localidad = account.Localidad;
    account.F_Cp = account.Cp;
    account.F_Pais = account.Pais;
  }
  account.Insertar();
  return created + 1;
}

}  // namespace

DemoSummary BuildDemoCompany(const std::string& path) {
  DemoSummary summary;
  {
    std::shared_ptr<Connection> connection = OpenDatabase(path);
    SaveCompany(*connection, Settings(kFirstExercise));
  }
  GlobalOptions options;
  options.database = path;
  options.company = kCompany;
  const Session session = Session::Open(options);
  AtomicScope all(session.connection());
  // Departments first: each new account gets an accumulator row in each.
  AddDepartments(session.connection());
  const SeedResult chart = SeedChartPlan(session, ChartPlan::kNormal);
  summary.chart_accounts = chart.created;
  summary.chart_left_out = chart.LeftOut();
  const auto save_all = [&](const auto& accounts) {
    for (const DemoAccount& data : accounts) {
      summary.detail_accounts += SaveDetailAccount(session, data);
    }
  };
  save_all(kClients);
  save_all(kSuppliers);
  save_all(kOthers);
  AddGroups();
  const Journal journal = MakeJournal();
  WriteJournal(session.connection(), journal, session.company().settings().level_digits);
  SaveCompany(session.connection(), Settings(kSecondExercise));
  all.Commit();
  summary.entries = journal.entries.size();
  summary.lines = journal.LineCount();
  summary.forecasts = journal.forecasts.size();
  return summary;
}

}  // namespace vornexa::cli::demo
