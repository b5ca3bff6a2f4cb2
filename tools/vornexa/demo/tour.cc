#include "tools/vornexa/demo/tour.h"

#include <functional>
#include <ostream>
#include <sstream>

#include <vornexa/vornexa.h>

#include "tools/vornexa/account_fields.h"
#include "tools/vornexa/chart_plans.h"
#include "tools/vornexa/chart_views.h"
#include "tools/vornexa/demo/accounts.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/terminal.h"

namespace vornexa::cli::demo {

namespace {

constexpr std::string_view kNewClient = "43000006";

class Tour {
 public:
  Tour(std::ostream& out, const Session& session) : out_(out), session_(session) {}

  void Heading(const std::string& title, const std::string& operations) {
    out_ << "\n" << ++section_ << ". " << title << "   [" << operations << "]\n";
  }
  // Text indented under the heading.
  void Say(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      out_ << (line.empty() ? "" : "   ") << line << '\n';
    }
  }
  void Show(const Table& table) { Say(Render([&](std::ostream& o) { PrintTable(o, table, false); })); }
  void Show(const Record& record) {
    Say(Render([&](std::ostream& o) { PrintRecord(o, record, false); }));
  }
  // Runs `operation`, which the library refuses, and shows its error line.
  void ShowRefusal(const std::string& what, const std::function<void()>& operation) {
    try {
      operation();
      Say(what + ": aceptado (no se esperaba)");
    } catch (const Error& error) {
      Say(what + ":\n  " + error.what());
    }
  }

  clsCuenta Account(std::string_view code) const {
    clsCuenta account = session_.NewAccount();
    account.Cuenta = std::string(code);
    return account;
  }
  const Session& session() const { return session_; }

 private:
  static std::string Render(const std::function<void(std::ostream&)>& print) {
    std::ostringstream text;
    print(text);
    return text.str();
  }

  std::ostream& out_;
  const Session& session_;
  int section_ = 0;
};

std::string YesNo(bool value) { return value ? "sí" : "no"; }

void Introduction(std::ostream& out, const std::string& path, const DemoSummary& summary) {
  out << "Vornexa · visita guiada\n"
         "=======================\n"
      << "Base de datos de demostración, recién creada: " << path << "\n"
      << "Empresa " << kCompany << " «" << kCompanyName << "», ejercicios " << kFirstExercise
      << " y " << kSecondExercise << " (activo: " << kSecondExercise
      << "); códigos de 1, 2, 3, 4 y 8\n"
         "dígitos por nivel; cada cuenta nueva se guarda en el ejercicio activo y en los "
         "siguientes.\n"
      << "Contiene el " << ChartPlanTitle(ChartPlan::kNormal) << ":\n"
      << summary.chart_accounts << " cuentas (sin sus " << summary.chart_left_out
      << " subcuentas de 5 dígitos, que piden un nivel de 5 dígitos), "
      << summary.detail_accounts << " cuentas propias,\n"
      << std::size(kDepartments) << " departamentos, 3 grupos, " << summary.entries
      << " asientos con " << summary.lines << " apuntes y " << summary.forecasts
      << " previsiones de cobro.\n"
      << "Cada apartado usa una operación de la biblioteca (entre corchetes).\n";
}

void LoadAccount(Tour& tour) {
  tour.Heading("Cargar una cuenta por su código", "clsCuenta::Cargar");
  clsCuenta account = tour.Account("43000005");
  const bool found = account.Cargar();
  tour.Say("Cuenta = \"43000005\"; Cargar() -> " + YesNo(found));
  tour.Show(AccountRecord(account, false));
}

void Navigate(Tour& tour) {
  tour.Heading("Recorrer el plan en orden de código",
               "Cargar_Primero, Cargar_Siguiente, Cargar_Anterior, Cargar_Ultimo");
  Table table({{"paso", "Paso"}, {"Cuenta", "Cuenta"}, {"Nivel", "Nivel"}, {"Nombre", "Nombre"}});
  clsCuenta walker = tour.Account("");
  const auto add = [&](const std::string& step, const clsCuenta& account, bool found) {
    table.AddRow({step, found ? account.Cuenta : "(ninguna)", int64_t{account.Nivel},
                  account.Nombre});
  };
  bool found = walker.Cargar_Primero();
  add("Cargar_Primero", walker, found);
  for (int i = 0; i < 2; ++i) {
    found = walker.Cargar_Siguiente();
    add("Cargar_Siguiente", walker, found);
  }
  // Into another object, from a code that is no account.
  clsCuenta destination = tour.Account("43500000");
  found = walker.Cargar_Siguiente(&destination);
  add("Cargar_Siguiente desde 43500000", destination, found);
  destination.Cuenta = "43000001";
  found = walker.Cargar_Anterior(&destination);
  add("Cargar_Anterior desde 43000001", destination, found);
  found = walker.Cargar_Ultimo();
  add("Cargar_Ultimo", walker, found);
  tour.Show(table);
}

void Existence(Tour& tour) {
  tour.Heading("¿Existe la cuenta en el ejercicio activo?", "Existe");
  Table table({{"Cuenta", "Cuenta"}, {"existe", "Existe"}});
  for (std::string_view code : {"43000001", "4300", "43000099"}) {
    table.AddRow({std::string(code), tour.Account(code).Existe()});
  }
  tour.Show(table);
}

void Codes(Tour& tour) {
  tour.Heading("Códigos abreviados", "CuentaDesarrollo, ComponerCuenta");
  Table table({{"entrada", "Entrada"}, {"operacion", "Operación"}, {"Cuenta", "Resultado"}});
  clsCuenta account = tour.Account("");
  for (const char* typed : {"43.1", "572.2", "6.12"}) {
    table.AddRow({std::string(typed), "CuentaDesarrollo", account.CuentaDesarrollo(typed)});
  }
  table.AddRow({"430 y 7", "ComponerCuenta(8 dígitos)", account.ComponerCuenta("430", 7, 8)});
  table.AddRow({"4000 y 25", "ComponerCuenta(8 dígitos)", account.ComponerCuenta("4000", 25, 8)});
  tour.Show(table);
  tour.Say("La orden de línea acepta códigos abreviados en todas partes: cuenta ver 43.1");
}

void Balances(Tour& tour) {
  tour.Heading("Saldos de los acumulados", "Dev_Apertura, Dev_Saldo");
  Table table({{"Cuenta", "Cuenta"},
               {"Nombre", "Nombre"},
               {"saldo_2024", "Saldo 2024"},
               {"apertura_2025", "Apertura 2025"},
               {"saldo_2025", "Saldo 2025"}});
  for (std::string_view code : {"57200001", "43000001", "430", "4", "70000001", "64000001"}) {
    clsCuenta account = tour.Account(code);
    account.Cargar();
    table.AddRow({account.Cuenta, account.Nombre, account.Dev_Saldo(kFirstExercise),
                  account.Dev_Apertura(kSecondExercise), account.Dev_Saldo(kSecondExercise)});
  }
  tour.Show(table);
  tour.Say("Las cuentas de niveles superiores (430, 4) acumulan las de detalle; las de balance\n"
           "abren 2025 con el saldo de cierre de 2024.");
}

void Tree(Tour& tour) {
  tour.Heading("El plan como árbol, con saldos", "ReadChartTree, Dev_Saldo");
  ChartTreeOptions options;
  options.root = "57";
  options.balance_exercise = kSecondExercise;
  tour.Show(TreeTable(ReadChartTree(tour.session().shared_company(), options), std::nullopt));
  tour.Say("Todo el plan: vornexa plan (--nivel 2 lo resume, --saldos añade los saldos).");
}

void Months(Tour& tour) {
  tour.Heading("Los doce meses de una cuenta", "Dev_Periodos");
  clsCuenta account = tour.Account(kBank);
  const AccumulatorPeriods periods = account.Dev_Periodos(kSecondExercise);
  tour.Say(std::string(kBank) + ", ejercicio " + std::to_string(kSecondExercise) +
           ": apertura " + FormatAmount(periods.opening));
  tour.Show(MonthsTable(periods));
  // The tour's text is indented under its headings.
  const std::optional<size_t> width = TerminalWidth();
  tour.Say("Saldo al final de cada mes:\n" +
           MonthsChart(periods, width ? std::optional<size_t>(*width - 3) : std::nullopt));
}

// The document of the voided invoice: the tool's own query of the journal.
std::string VoidedDocument(const Session& session) {
  const auto rows = session.connection().Open(
      SqlStatement("SELECT TOP 1 m.Documento FROM Movimientos m INNER JOIN Asientos a ON "
                   "a.Cod_Empresa = m.Cod_Empresa AND a.Cod_Ejercicio = m.Cod_Ejercicio AND "
                   "a.Codigo = m.Cod_Asiento WHERE a.Cod_Empresa = ")
          .Number(kCompany)
          .Raw(" AND a.Nulo = 1")
          .text());
  return rows->Eof() ? "" : rows->Field("Documento").ToText();
}

void PeriodTotals(Tour& tour) {
  tour.Heading("Sumas del periodo desde los apuntes, con filtros", "Dev_Acumulado, Dev_Acumulado3");
  Table table({{"consulta", "Consulta"}, {"debe", "Debe"}, {"haber", "Haber"}});
  const Date year_start{kSecondExercise, 1, 1};
  const Date year_end{kSecondExercise, 12, 31};
  const auto plain = [&](const std::string& label, std::string_view code, Date from, Date to) {
    Currency debit, credit;
    tour.Account(code).Dev_Acumulado(kSecondExercise, from, to, debit, credit);
    table.AddRow({label, debit, credit});
  };
  const auto filtered = [&](const std::string& label, std::string_view code, Currency amount,
                            Currency variation, const std::string& concept_text,
                            const std::string& document, int16_t department, int16_t journal) {
    Currency debit, credit;
    tour.Account(code).Dev_Acumulado3(kSecondExercise, year_start, year_end, amount, variation,
                                      concept_text, document, department, journal, debit,
                                      credit);
    table.AddRow({label, debit, credit});
  };
  plain("70000001, primer trimestre de 2025", "70000001", year_start,
        Date{kSecondExercise, 3, 31});
  plain("62100001, de 2024 a 2025 (mandan las fechas)", "62100001",
        Date{kFirstExercise, 1, 1}, year_end);
  filtered("70000001, 2025, departamento 2", "70000001", {}, {}, "", "", 2, 0);
  filtered("57200001, 2025, concepto «Nóminas»", "57200001", {}, {}, "Nóminas", "", 0, 0);
  filtered("43000001, 2025, diario 2 (ventas)", "43000001", {}, {}, "", "", 0, kSalesJournal);
  filtered("70000001, 2025, importe 2.000 ± 1.000", "70000001", Currency::FromDecimal("2000"),
           Currency::FromDecimal("1000"), "", "", 0, 0);
  const std::string voided = VoidedDocument(tour.session());
  filtered("70000001, documento " + voided + " (anulado)", "70000001", {}, {}, "", voided, 0, 0);
  tour.Show(table);
  tour.Say("Los asientos anulados y los de cierre no suman.");
}

void Forecasts(Tour& tour) {
  tour.Heading("Previsiones de cobro", "Dev_Saldo_Cartera, Dev_Saldo_PrevCobro");
  Table table({{"Cuenta", "Cuenta"},
               {"Nombre", "Nombre"},
               {"cartera", "Cartera (1-4)"},
               {"estados_1_3", "Estados 1,3"},
               {"estado_5", "Estado 5"}});
  for (const DemoAccount& client : kClients) {
    clsCuenta account = tour.Account(client.code);
    table.AddRow({account.Cuenta, std::string(client.name), account.Dev_Saldo_Cartera(),
                  account.Dev_Saldo_PrevCobro("1,3"), account.Dev_Saldo_PrevCobro("5")});
  }
  tour.Show(table);
  tour.ShowRefusal("Dev_Saldo_PrevCobro(\"1; DROP TABLE Cuentas\")", [&] {
    tour.Account("43000001").Dev_Saldo_PrevCobro("1; DROP TABLE Cuentas");
  });
}

void Groups(Tour& tour) {
  tour.Heading("Grupos de cuentas", "clsGrupo: Cargar, Modificar, Insertar, Eliminar, Existe");
  clsGrupo group;
  group.Empresa = kCompany;
  group.Codigo = kClientsGroup;
  // Each call in its own statement: the order of the operands of + is unspecified.
  const bool loaded = group.Cargar();
  tour.Say("Cargar grupo 1 -> " + YesNo(loaded) + ": «" + group.Nombre + "»");
  group.Nombre = "Clientes nacionales";
  group.Modificar();
  group.Nombre.clear();
  group.Cargar();
  tour.Say("Modificar el nombre -> «" + group.Nombre + "»");
  tour.ShowRefusal("Eliminar el grupo 1, que tiene cuentas", [&] { group.Eliminar(); });
  clsGrupo spare;
  spare.Empresa = kCompany;
  spare.Codigo = 9;
  spare.Nombre = "Temporal";
  spare.Insertar();
  const bool created = spare.Existe();
  const bool deleted = spare.Eliminar();
  const bool remains = spare.Existe();
  tour.Say("Insertar el grupo 9 -> existe: " + YesNo(created) + "; Eliminar, sin cuentas -> " +
           YesNo(deleted) + "; existe: " + YesNo(remains));
}

void Save(Tour& tour) {
  tour.Heading("Guardar una cuenta", "Insertar, Modificar");
  clsCuenta account = tour.Account(kNewClient);
  account.Nombre = "Distribuciones Alcoy, S.L.";
  account.Nif = "B03000006";
  account.F_Razon = account.Nombre;
  account.Grupo = kClientsGroup;
  account.Insertar();
  tour.Say("Insertar " + std::string(kNewClient) + " -> nivel " + std::to_string(account.Nivel) +
           ", guardada en 2025 con sus filas de acumulados (general y por departamento)");
  const auto registry = tour.session().connection().Open(
      "SELECT Nombre FROM Razon_Social WHERE Nif = 'B03000006'");
  tour.Say("Registro de NIF (Razon_Social) de B03000006 -> «" +
           (registry->Eof() ? std::string() : registry->Field("Nombre").ToText()) + "»");
  account.Telefono = "963 000 006";
  account.Modificar();
  clsCuenta reloaded = tour.Account(kNewClient);
  reloaded.Cargar();
  tour.Say("Modificar el teléfono -> Cargar de nuevo: " + reloaded.Telefono);
  tour.ShowRefusal("Insertar 43990001, sin la cuenta superior 4399",
                   [&] { tour.Account("43990001").Insertar(); });
}

int64_t AccumulatorRows(const Session& session, std::string_view code) {
  const auto rows = session.connection().Open(
      SqlStatement("SELECT COUNT(*) AS n FROM Acumulados WHERE Cod_Empresa = ")
          .Number(kCompany)
          .Raw(" AND Cuenta = ")
          .Text(code, "Cuenta")
          .text());
  return rows->Field("n").ToInt64();
}

void Repair(Tour& tour) {
  tour.Heading("Reparar los acumulados", "Reparar_Acumulado");
  const Session& session = tour.session();
  session.connection().Execute(SqlStatement("DELETE FROM Acumulados WHERE Cod_Empresa = ")
                                   .Number(kCompany)
                                   .Raw(" AND Cuenta = ")
                                   .Text(kNewClient, "Cuenta")
                                   .text());
  const int64_t before = AccumulatorRows(session, kNewClient);
  tour.Say("Se borran a mano las filas de acumulados de " + std::string(kNewClient) +
           ": quedan " + std::to_string(before));
  clsCuenta account = tour.Account(kNewClient);
  account.Reparar_Acumulado();
  const int64_t after = AccumulatorRows(session, kNewClient);
  tour.Say("Reparar_Acumulado -> nivel " + std::to_string(account.Nivel) + ", filas: " +
           std::to_string(after) + " (una por ejercicio)");
}

void Delete(Tour& tour) {
  tour.Heading("Eliminar una cuenta", "Posee_Movimientos, Eliminar");
  clsCuenta busy = tour.Account("43000001");
  const bool busy_moves = busy.Posee_Movimientos();
  tour.Say("43000001 tiene movimientos: " + YesNo(busy_moves));
  tour.ShowRefusal("Eliminar 43000001", [&] { busy.Eliminar(); });
  clsCuenta idle = tour.Account(kNewClient);
  const bool idle_moves = idle.Posee_Movimientos();
  const bool deleted = idle.Eliminar();
  const bool remains = idle.Existe();
  tour.Say(std::string(kNewClient) + " tiene movimientos: " + YesNo(idle_moves) +
           "; Eliminar -> " + YesNo(deleted) + "; existe: " + YesNo(remains));
}

void Renumber(Tour& tour) {
  tour.Heading("Renumerar una cuenta con sus apuntes, acumulados y previsiones",
               "RenumerarCuenta");
  const std::string old_code(kClients[3].code);
  const std::string new_code = "43000009";
  const Currency before = tour.Account(old_code).Dev_Saldo(kSecondExercise);
  const Session& session = tour.session();
  const InformeReestructuracion report =
      RenumerarCuenta(session.connection(), session.company(), old_code, new_code, std::nullopt);
  Table rows({{"tabla", "Tabla"}, {"columna", "Columna"}, {"filas", "Filas"}});
  for (const FilasColumna& column : report.filas) {
    rows.AddRow({column.tabla, column.columna, column.filas});
  }
  tour.Say(old_code + " -> " + new_code + " en los dos ejercicios, en una sola transacción:");
  tour.Show(rows);
  tour.Say("Saldo 2025 de " + old_code + " antes: " + FormatAmount(before) + "; de " + new_code +
           " después: " + FormatAmount(tour.Account(new_code).Dev_Saldo(kSecondExercise)) +
           ".\nAntes de confirmar se comprobaron " + std::to_string(report.filas_comprobadas) +
           " filas una a una, los totales de cada nivel y " +
           std::to_string(report.superiores_cuadrados) +
           " cuentas superiores\nque siguen sumando las de debajo; una diferencia lo habría "
           "deshecho todo.");
}

void Closing(std::ostream& out, const std::string& path, const std::string& program) {
  const std::string tool = program + " --db " + path;
  out << "\nSiga explorando esta base de datos:\n"
      << "  " << tool << " plan --nivel 2\n"
      << "  " << tool << " plan --raiz 43 --saldos\n"
      << "  " << tool << " cuenta meses 430.1\n"
      << "  " << tool << " cuenta listar --hasta 43\n"
      << "  " << tool << " cuenta ver 43.1\n"
      << "  " << tool << " saldo actual 572.1 43 4\n"
      << "  " << tool << " saldo periodo 700.1 --desde 2025-01-01 --hasta 2025-03-31 --dpto 2\n"
      << "  " << tool << " --json saldo cartera 43.1 43.2\n"
      << "  " << tool << " exportar plan.csv\n"
      << "  " << tool << " plan digitos-cuenta 10 --simular\n"
      << "  " << program << " --help\n";
}

}  // namespace

void PrintTour(std::ostream& out, const Session& session, const std::string& path,
               const DemoSummary& summary, const std::string& program) {
  Tour tour(out, session);
  Introduction(out, path, summary);
  LoadAccount(tour);
  Navigate(tour);
  Existence(tour);
  Codes(tour);
  Balances(tour);
  Tree(tour);
  Months(tour);
  PeriodTotals(tour);
  Forecasts(tour);
  Groups(tour);
  Save(tour);
  Repair(tour);
  Delete(tour);
  Renumber(tour);
  Closing(out, path, program);
}

}  // namespace vornexa::cli::demo
