// Restructuring the chart: each operation on a small chart with journal
// lines, departments and forecasts, its balances read through the library
// before and after; the refusals; other modules' code columns; a failure at
// every statement, and a write slipping in, leaving the old chart whole.
#include <map>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

using Balances = std::map<std::pair<int16_t, std::string>, std::vector<Currency>>;
using CodeMap = std::function<std::string(int16_t exercise, const std::string& code)>;
using Operation = std::function<InformeReestructuracion(Connection&, clsEmpresa&)>;

// Detail accounts with their opening amount, debit and credit (doubled in
// 2025) and their department; their upper accounts hold their sums, but for
// 4, whose row is one more, and the empty 401.
const struct Leaf {
  const char* code;
  int opening, debit, credit, department;
} kLeaves[] = {{"40000001", 100, 30, 10, 1}, {"40000002", 50, 20, 5, 2},
               {"43000017", 200, 40, 15, 1}, {"43000245", 70, 25, 35, 2}};
constexpr int16_t kExercises[] = {2024, 2025};

class Restructure : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    company_->ejercicios = {2024, 2025};
    Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2)");
    int entry = 0;
    for (int16_t exercise : kExercises) {
      std::map<std::pair<int, std::string>, std::array<int, 3>> rows = {{{0, "401"}, {}}};
      for (const Leaf& leaf : kLeaves) {
        const int scale = exercise - 2023;
        const std::array<int, 3> amounts = {leaf.opening * scale, leaf.debit * scale,
                                            leaf.credit * scale};
        for (size_t length : {1, 2, 3, 4, 8}) {
          for (int department : {0, leaf.department}) {
            for (int i = 0; i < 3; ++i) rows[{department, std::string(leaf.code, length)}][i] += amounts[i];
          }
        }
        InsertEntry(1, exercise, ++entry, std::to_string(exercise) + "-06-15");
        InsertLine(1, exercise, entry, 1, leaf.code, std::to_string(amounts[1]),
                   std::to_string(amounts[2]));
      }
      rows[{0, "4"}][0] += 1;
      for (const auto& [key, amounts] : rows) {
        const auto& [department, code] = key;
        const std::string level = std::to_string(code.size() == 8 ? 5 : code.size());
        const std::string values = std::to_string(amounts[0]) + ", " + std::to_string(amounts[1]) +
                                   ", " + std::to_string(amounts[2]) + ")";
        if (department != 0) {
          Exec("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel, "
               "Apertura, D3, H7) VALUES (1, " + std::to_string(exercise) + ", " +
               std::to_string(department) + ", '" + code + "', " + level + ", " + values);
          continue;
        }
        InsertAccountRow(1, exercise, code, "N" + code);
        Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D3, "
             "H7) VALUES (1, " + std::to_string(exercise) + ", '" + code + "', " + level + ", " +
             values);
      }
    }
    Exec("INSERT INTO Previsiones_Cobro (Cod_Empresa, Codigo, CuentaOriginal, Estado, Importe) "
         "VALUES (1, 1, '43000017', 1, 60), (1, 2, '43000017', 5, 9), (1, 3, '43000245', 2, 11)");
  }

  // Every row of the five tables that hold codes.
  std::vector<std::string> Chart() {
    std::vector<std::string> rows;
    for (const char* sql :
         {"SELECT Cod_Ejercicio || ' ' || Cuenta || ' ' || Nombre AS v FROM Cuentas",
          "SELECT Cod_Ejercicio || ' ' || Cuenta || ' ' || Apertura || ' ' || D3 || ' ' || H7 "
          "AS v FROM Acumulados",
          "SELECT Cod_Ejercicio || ' ' || Dpto || ' ' || Cuenta || ' ' || Apertura || ' ' || D3 "
          "|| ' ' || H7 AS v FROM Acumulados_Dpto",
          "SELECT Cod_Ejercicio || ' ' || Apunte || ' ' || Cod_Asiento || ' ' || Cuenta AS v "
          "FROM Movimientos",
          "SELECT Codigo || ' ' || CuentaOriginal AS v FROM Previsiones_Cobro"}) {
      for (std::string& row : Column(std::string(sql) + " ORDER BY v")) rows.push_back(row);
    }
    return rows;
  }

  // Through the library: per exercise and account, the opening amount, the
  // balance and the debit and credit of the exercise's lines; per account
  // (exercise 0), the forecasts in states 1 to 4.
  Balances Read() {
    Balances balances;
    for (int16_t exercise : kExercises) {
      for (const std::string& code :
           Column("SELECT Cuenta AS v FROM Cuentas WHERE Cod_Ejercicio = " +
                  std::to_string(exercise))) {
        clsCuenta account = NewAccount(code);
        Currency debit, credit;
        account.Dev_Acumulado(exercise, {exercise, 1, 1}, {exercise, 12, 31}, debit, credit);
        balances[{exercise, code}] = {account.Dev_Apertura(exercise), account.Dev_Saldo(exercise),
                                      debit, credit};
        balances[{0, code}] = {account.Dev_Saldo_Cartera()};
      }
    }
    return balances;
  }

  // Runs `operation` and checks what the library reads afterwards: each
  // detail account's amounts under its new code (merged ones added up), each
  // upper account holding the sum of the accounts under it (4 as it was).
  void ExpectBalancesFollow(const Operation& operation, const CodeMap& map) {
    const Balances before = Read();
    const InformeReestructuracion report = operation(*recorder_, *company_);
    EXPECT_FALSE(report.simulado);
    const Balances after = Read();
    Balances expected;
    for (const auto& [key, values] : before) {
      const auto& [exercise, code] = key;
      if (code.size() != 8) {
        if (code == "4") EXPECT_EQ(after.at(key), values);
        continue;
      }
      std::vector<Currency>& sum = expected[{exercise, map(exercise, code)}];
      sum.resize(values.size());
      for (size_t i = 0; i < values.size(); ++i) sum[i] = sum[i] + values[i];
    }
    for (const auto& [key, values] : expected) EXPECT_EQ(after.at(key), values) << key.second;
    for (const auto& [key, values] : after) {
      if (key.first == 0 || key.second == "4" || expected.contains(key)) continue;
      Currency opening, balance;
      for (const auto& [lower, amounts] : expected) {
        if (lower.first != key.first || !lower.second.starts_with(key.second)) continue;
        opening = opening + amounts[0];
        balance = balance + amounts[1];
      }
      EXPECT_EQ(values[0], opening) << key.first << " " << key.second;
      EXPECT_EQ(values[1], balance) << key.first << " " << key.second;
    }
  }
};

TEST_P(Restructure, EachOperationMovesEveryRowAndKeepsEveryBalance) {
  const auto widen = [](int16_t, const std::string& c) {
    return c.size() == 8 ? c.substr(0, 4) + "00" + c.substr(4) : c;
  };
  const struct {
    const char* name;
    Operation run;
    CodeMap map;
  } cases[] = {
      {"widen", [](Connection& c, clsEmpresa& e) { return AmpliarDigitos(c, e, 10); }, widen},
      {"shorten", [](Connection& c, clsEmpresa& e) { return AmpliarDigitos(c, e, 7); },
       [](int16_t, const std::string& c) { return c.size() == 8 ? c.substr(0, 4) + c.substr(5) : c; }},
      {"renumber a detail account",
       [](Connection& c, clsEmpresa& e) { return RenumerarCuenta(c, e, "43000245", "43000018", {}); },
       [](int16_t, const std::string& c) { return c == "43000245" ? "43000018" : c; }},
      {"renumber an upper account under another, from 2025",
       [](Connection& c, clsEmpresa& e) { return RenumerarCuenta(c, e, "4000", "4010", 2025); },
       [](int16_t x, const std::string& c) {
         return x != 2024 && c.starts_with("4000") ? "4010" + c.substr(4) : c;
       }},
      {"merge", [](Connection& c, clsEmpresa& e) { return FusionarCuentas(c, e, "43000245", "43000017"); },
       [](int16_t, const std::string& c) { return c == "43000245" ? "43000017" : c; }},
      {"merge under another upper account",
       [](Connection& c, clsEmpresa& e) { return FusionarCuentas(c, e, "40000002", "43000017"); },
       [](int16_t, const std::string& c) { return c == "40000002" ? "43000017" : c; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectBalancesFollow(c.run, c.map);
    TearDown();
    SetUp();
  }
}

TEST_P(Restructure, WideningRewritesEachColumnOnceAndReportsWhatItProved) {
  std::vector<AvanceReestructuracion> advances;
  const InformeReestructuracion report = AmpliarDigitos(
      *recorder_, *company_, 10, {.avance = [&](const AvanceReestructuracion& a) { advances.push_back(a); }});
  std::vector<std::string> writes;
  for (const std::string& sql : TakeStatements()) {
    if (sql.starts_with("UPDATE")) writes.push_back(sql);
  }
  if (OnEmbedded()) {
    std::vector<std::string> expected;
    for (const char* rows : {"Cuentas SET Cuenta", "Acumulados SET Cuenta", "Acumulados_Dpto SET Cuenta",
                             "Movimientos SET Cuenta", "Previsiones_Cobro SET CuentaOriginal"}) {
      const std::string column = std::string(rows).substr(std::string(rows).rfind(' ') + 1);
      expected.push_back("UPDATE " + std::string(rows) + " = CONCAT(SUBSTRING(" + column +
                         ", 1, 4), '00', SUBSTRING(" + column + ", 5, 50)) WHERE Cod_Empresa =1 "
                         "AND " + column + " LIKE '________'");
    }
    EXPECT_EQ(writes, expected);
  }
  EXPECT_EQ(report.codigos.size(), 4u);
  EXPECT_EQ(report.codigos[1].antes + " " + report.codigos[1].despues, "40000002 4000000002");
  std::vector<int64_t> rows;
  for (const FilasColumna& filas : report.filas) rows.push_back(filas.filas);
  EXPECT_EQ(rows, (std::vector<int64_t>{8, 8, 8, 8, 3}));
  EXPECT_EQ(report.digitos_nivel, (std::array<int16_t, 6>{1, 2, 3, 4, 10, 0}));
  // 8 accumulator rows, 8 of departments, 8 of lines, 3 of forecasts; upper
  // accounts holding their sums: 6 per exercise (not 4), 7 per department.
  EXPECT_EQ(report.filas_comprobadas, 27);
  EXPECT_EQ(report.superiores_cuadrados, 40);
  ASSERT_FALSE(advances.empty());
  EXPECT_EQ(advances.back().hecho, advances.back().total);
}

TEST_P(Restructure, RefusesNamingTheCause) {
  const auto renumber = [](std::string old_code, std::string new_code, std::optional<int16_t> from = {}) {
    return [=](Connection& c, clsEmpresa& e) { return RenumerarCuenta(c, e, old_code, new_code, from); };
  };
  const auto merge = [](std::string from, std::string to) {
    return [=](Connection& c, clsEmpresa& e) { return FusionarCuentas(c, e, from, to); };
  };
  const auto digits = [](int16_t n) {
    return [=](Connection& c, clsEmpresa& e) { return AmpliarDigitos(c, e, n); };
  };
  const struct {
    const char* setup;
    Operation run;
    const char* source;
    std::string description;
  } cases[] = {
      {"", digits(8), "Plan::AmpliarDigitos", "Las cuentas de detalle ya tienen 8 dígitos"},
      {"", digits(4), "Plan::AmpliarDigitos",
       "Las cuentas de detalle deben tener de 5 a 20 dígitos, no 4"},
      {"", digits(6), "Plan::AmpliarDigitos",
       "No se puede acortar el código 43000245 de Cuentas.Cuenta a 6 dígitos: perdería dígitos "
       "distintos de 0"},
      {"UPDATE Previsiones_Cobro SET CuentaOriginal = '4300000017' WHERE Codigo = 2", digits(10),
       "Plan::AmpliarDigitos",
       "Ya hay códigos de 10 dígitos (el primero, 4300000017, en Previsiones_Cobro.CuentaOriginal), "
       "que se confundirían con los de las cuentas de detalle"},
      {"", renumber("43A", "431"), "Plan::RenumerarCuenta",
       "'43A' no es un código de cuenta: solo lleva dígitos"},
      {"", renumber("43000", "43001"), "Plan::RenumerarCuenta",
       "El código 43000 tiene 5 dígitos, que no son los de ningún nivel de la empresa"},
      {"", renumber("4300", "43001"), "Plan::RenumerarCuenta",
       "El código 43001 no es del nivel 4 de 4300 (4 dígitos)"},
      {"", renumber("430", "430"), "Plan::RenumerarCuenta", "La cuenta 430 ya tiene ese código"},
      {"", renumber("439", "438"), "Plan::RenumerarCuenta", "La cuenta 439 no existe"},
      {"", renumber("43000245", "43000017"), "Plan::RenumerarCuenta",
       "El código 43000017 ya está en Cuentas.Cuenta: la renumeración no puede dárselo a otra "
       "cuenta"},
      {"DELETE FROM Cuentas WHERE Cuenta = '4300' AND Cod_Ejercicio = 2025",
       renumber("4300", "4301", 2025), "Plan::RenumerarCuenta",
       "La cuenta 4300 no existe desde el ejercicio 2025"},
      {"", renumber("4000", "4020"), "Plan::RenumerarCuenta",
       MissingUpperAccountDescription("402", 2024)},
      {"", merge("43000017", "43000017"), "Plan::FusionarCuentas",
       "No se puede fusionar la cuenta 43000017 consigo misma"},
      {"", merge("4300", "430"), "Plan::FusionarCuentas",
       "El código 430 no es del nivel 4 de 4300 (4 dígitos)"},
      {"", merge("43000099", "43000017"), "Plan::FusionarCuentas", "La cuenta 43000099 no existe"},
      {"DELETE FROM Cuentas WHERE Cuenta = '43000017' AND Cod_Ejercicio = 2025",
       merge("43000245", "43000017"), "Plan::FusionarCuentas",
       "La cuenta 43000017 no existe en el ejercicio 2025, donde está la cuenta 43000245"},
      {"", merge("4300", "4000"), "Plan::FusionarCuentas",
       "La cuenta 4300 tiene cuentas debajo (43000017): solo se fusionan cuentas sin cuentas "
       "debajo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    if (*c.setup != '\0') Exec(c.setup);
    const std::vector<std::string> chart = Chart();
    EXPECT_VORNEXA_ERROR(c.run(*recorder_, *company_), 1000, c.source, c.description);
    EXPECT_EQ(Chart(), chart);
  }
}

// Other modules' columns are found in the catalogue, reported by a dry run,
// refused until each has a decision, and rewritten or left as decided.
TEST_P(Restructure, OtherModulesColumnsAreRewrittenOrLeftAsTheCallerSays) {
  Exec("DROP TABLE IF EXISTS Cartera_Efectos");
  Exec("DROP TABLE IF EXISTS Plantillas");
  Exec("CREATE TABLE Cartera_Efectos (Cod_Empresa smallint, Cod_Ejercicio smallint, "
       "CuentaCliente varchar(20), SubCuenta varchar(20), NumCuenta integer, Nota varchar(9))");
  Exec("CREATE TABLE Plantillas (CuentaDefecto varchar(20))");
  Exec("INSERT INTO Cartera_Efectos VALUES (1, 2024, '43000245', '43000245', 1, 'a'), "
       "(2, 2024, '43000245', '43000245', 1, 'b')");
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(c));
    return text;
  };
  const auto merge = [&](OpcionesReestructuracion options) {
    return FusionarCuentas(*recorder_, *company_, "43000245", "43000017", options);
  };
  const std::vector<std::string> chart = Chart();
  const InformeReestructuracion dry = merge({.simular = true});
  std::string found;
  for (const ColumnaCodigos& column : dry.columnas) {
    found += lower(column.tabla + "." + column.columna) + (column.tratamiento ? "!" : "") + " ";
  }
  EXPECT_EQ(found, "cartera_efectos.cuentacliente cartera_efectos.subcuenta plantillas.cuentadefecto ");
  EXPECT_EQ(dry.codigos.size(), 1u);
  EXPECT_EQ(dry.filas.back().filas, 1);  // Previsiones_Cobro
  EXPECT_EQ(Chart(), chart);

  using enum TratamientoColumna;
  const struct {
    std::map<std::string, TratamientoColumna> columns;
    std::string description;  // empty: done
  } cases[] = {
      {{}, "Hay columnas de otras tablas que parecen guardar códigos de cuenta: "
           "Cartera_Efectos.CuentaCliente, Cartera_Efectos.SubCuenta, Plantillas.CuentaDefecto. "
           "Indique de cada una si se reescribe o se deja como está"},
      {{{"cartera_efectos.nota", Dejar}},
       "Se pide dejar la columna cartera_efectos.nota, que no está entre las columnas con códigos "
       "de cuenta de otras tablas de la base de datos"},
      {{{"Plantillas.CuentaDefecto", Reescribir}},
       "La columna Plantillas.CuentaDefecto no se puede reescribir: su tabla no tiene la columna "
       "Cod_Empresa y el cambio llegaría a otras empresas"},
      {{{"CARTERA_EFECTOS.CUENTACLIENTE", Reescribir}, {"Cartera_Efectos.SubCuenta", Dejar},
        {"Plantillas.CuentaDefecto", Dejar}}, ""},
  };
  for (const auto& c : cases) {
    if (c.description.empty()) {
      merge({.columnas = c.columns});
      continue;
    }
    const Error error = CaughtError([&] { merge({.columnas = c.columns}); });
    EXPECT_EQ(lower(error.Description()), lower(c.description));
  }
  EXPECT_EQ(Column("SELECT Cod_Empresa || CuentaCliente || SubCuenta AS v FROM Cartera_Efectos "
                   "ORDER BY v"),
            (std::vector<std::string>{"14300001743000245", "24300024543000245"}));
  Exec("DROP TABLE Cartera_Efectos");
  Exec("DROP TABLE Plantillas");
}

TEST_P(Restructure, AFailureAtAnyStatementLeavesTheOldChartWhole) {
  const Operation operations[] = {
      [](Connection& c, clsEmpresa& e) { return AmpliarDigitos(c, e, 10); },
      [](Connection& c, clsEmpresa& e) { return RenumerarCuenta(c, e, "4000", "4010", {}); },
      [](Connection& c, clsEmpresa& e) { return FusionarCuentas(c, e, "40000002", "43000017"); }};
  const std::vector<std::string> chart = Chart();
  for (const Operation& operation : operations) {
    size_t index = 0;
    for (;; ++index) {
      recorder_->FailStatement(index, Error(error_number::kStatementRejected, "db", "inyectado"));
      try {
        operation(*recorder_, *company_);
        break;
      } catch (const Error& e) {
        EXPECT_EQ(e.Description(), "inyectado");
        EXPECT_TRUE(e.Source().starts_with("Plan::")) << e.Source();
      }
      ASSERT_EQ(Chart(), chart) << "failing statement " << index;
    }
    recorder_->ClearFailure();
    EXPECT_GT(index, 12u);
    EXPECT_NE(Chart(), chart);
    TearDown();
    SetUp();
  }
}

// A write of another session between the statements makes the proof fail:
// the change is undone and the first difference named.
TEST_P(Restructure, TheProofUndoesAChangeWhoseBalancesDoNotAgree) {
  const struct {
    const char* after;
    const char* write;
    const char* difference;
  } cases[] = {
      {"UPDATE Acumulados SET", "UPDATE Acumulados SET D3 = D3 + 1 WHERE Cuenta = '4300000017'",
       "Acumulados, ejercicio 2024, cuenta 4300000017: D3 antes 40.0000, después 41.0000"},
      {"UPDATE Movimientos", "DELETE FROM Movimientos WHERE Cuenta = '4000000002'",
       "Movimientos, ejercicio 2024, cuenta 4000000002: falta después del cambio"},
      {"UPDATE Cuentas", "UPDATE Acumulados_Dpto SET H7 = 0 WHERE Cuenta = '430' AND Dpto = 2",
       "Acumulados_Dpto, ejercicio 2024, departamento 2, cuenta 430: su fila sumaba lo de las "
       "cuentas que tiene debajo y ya no (H7 0.0000, de las de debajo 35.0000)"},
      {"UPDATE Cuentas", "UPDATE Acumulados SET Apertura = 0 WHERE Cuenta = '4'",
       "Acumulados, ejercicio 2024, nivel 1: el total de Apertura era 421.0000 y es 0.0000"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> chart = Chart();
    recorder_->RunAfter(c.after, c.write);
    EXPECT_VORNEXA_ERROR(AmpliarDigitos(*recorder_, *company_, 10), 1000, "Plan::AmpliarDigitos",
                         std::string("Los saldos no cuadran después del cambio, que se ha "
                                     "deshecho: ") + c.difference);
    EXPECT_EQ(Chart(), chart);
  }
}

VORNEXA_ON_ALL_BACKENDS(Restructure);

}  // namespace
}  // namespace vornexa::testing
