#include "tools/vornexa/company_settings.h"

#include <algorithm>

#include <vornexa/vornexa.h>

#include "tools/vornexa/errors.h"
#include "tools/vornexa/parse.h"

namespace vornexa::cli {

namespace {

constexpr std::string_view kColumns =
    "Codigo, Nombre, Ejercicio, Ejercicios, MultiEjercicio, DigitosNivel, DigitosCuenta";

// Lists are kept as comma-separated text: "2024,2025", "1,2,3,4,8,0".
CompanySettings ReadRow(Recordset& row) {
  constexpr std::string_view kSource = "vornexa";
  CompanySettings settings;
  settings.code = row.Field("Codigo").ToInt16();
  settings.name = row.Field("Nombre").ToText();
  settings.exercise = row.Field("Ejercicio").ToInt16();
  const std::string exercises = row.Field("Ejercicios").ToText();
  if (!exercises.empty()) settings.exercises = ParseInt16List(exercises, "Ejercicios", kSource);
  settings.multi_exercise = row.Field("MultiEjercicio").ToInt16() != 0;
  const std::vector<int16_t> levels =
      ParseInt16List(row.Field("DigitosNivel").ToText(), "DigitosNivel", kSource);
  settings.level_digits.fill(0);
  std::copy_n(levels.begin(), std::min(levels.size(), settings.level_digits.size()),
              settings.level_digits.begin());
  settings.account_digits = row.Field("DigitosCuenta").ToInt16();
  return settings;
}

std::string Select(std::string_view where) {
  return "SELECT " + std::string(kColumns) + " FROM " + std::string(kCompanyTable) +
         std::string(where) + " ORDER BY Codigo";
}

}  // namespace

void CheckCompany(const CompanySettings& settings, std::string_view source) {
  if (CharCount(settings.name) > kNameLength) {
    Fail(source, "El nombre de la empresa tiene " + std::to_string(CharCount(settings.name)) +
                     " caracteres; caben " + std::to_string(kNameLength));
  }
  const auto& levels = settings.level_digits;
  int16_t deepest = 0;
  for (size_t i = 0; i < levels.size(); ++i) {
    if (levels[i] == 0) {
      if (i == 0 || std::any_of(levels.begin() + i, levels.end(), [](int16_t d) { return d; })) {
        Fail(source, "Los dígitos por nivel deben empezar en el nivel 1 y los niveles sin "
                     "uso (0) deben ir al final");
      }
      break;
    }
    if (levels[i] < 1 || levels[i] > 20 || levels[i] <= deepest) {
      Fail(source, "Los dígitos por nivel deben crecer de un nivel al siguiente, entre 1 y 20");
    }
    deepest = levels[i];
  }
  if (settings.account_digits != deepest) {
    Fail(source, "Los dígitos de una cuenta de detalle (" +
                     std::to_string(settings.account_digits) +
                     ") deben ser los del último nivel (" + std::to_string(deepest) + ")");
  }
  const auto& list = settings.exercises;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == 0 || std::count(list.begin(), list.end(), list[i]) > 1) {
      Fail(source, "Los ejercicios no pueden ser 0 ni repetirse: " + JoinNumbers(list));
    }
  }
  if (std::find(list.begin(), list.end(), settings.exercise) == list.end()) {
    Fail(source, "El ejercicio activo " + std::to_string(settings.exercise) +
                     " no está en la lista de ejercicios: " + JoinNumbers(list));
  }
}

void CreateCompanyTable(Connection& connection) {
  const auto text = [](std::string_view name, int length, std::string_view default_value = {}) {
    return ColumnDef{name, ColumnType::kText, length, true, default_value};
  };
  const auto number = [](std::string_view name, std::string_view default_value = {}) {
    return ColumnDef{name, ColumnType::kInt16, 0, true, default_value};
  };
  const TableDef table{kCompanyTable,
                       {number("Codigo"), text("Nombre", kNameLength, "''"), number("Ejercicio"),
                        text("Ejercicios", 200), number("MultiEjercicio", "0"),
                        text("DigitosNivel", 30), number("DigitosCuenta")},
                       "Codigo",
                       {}};
  connection.Execute(CreateTableStatement(table, connection.SqlDialect()));
}

std::optional<CompanySettings> LoadCompany(Connection& connection, int16_t code) {
  const auto rows = connection.Open(Select(SqlStatement(" WHERE Codigo =").Number(code).text()));
  if (rows->Eof()) return std::nullopt;
  return ReadRow(*rows);
}

std::vector<CompanySettings> LoadCompanies(Connection& connection) {
  std::vector<CompanySettings> companies;
  for (auto rows = connection.Open(Select("")); !rows->Eof(); rows->MoveNext()) {
    companies.push_back(ReadRow(*rows));
  }
  return companies;
}

void SaveCompany(Connection& connection, const CompanySettings& settings) {
  const std::vector<int16_t> levels(settings.level_digits.begin(), settings.level_digits.end());
  // A plain literal reaches an nvarchar column through the database's code
  // page on SQL Server, which loses what that page lacks; N'' keeps it all.
  const std::string_view national = connection.SqlDialect() == Dialect::SqlServer ? "N" : "";
  const std::string exercises = JoinNumbers(settings.exercises);
  const std::string digits = JoinNumbers(levels);
  const int multi = settings.multi_exercise ? 1 : 0;
  SqlStatement update("UPDATE ");
  update.Raw(kCompanyTable)
      .Raw(" SET Nombre = ")
      .Raw(national)
      .Text(settings.name, "Nombre")
      .Raw(", Ejercicio = ")
      .Number(settings.exercise)
      .Raw(", Ejercicios = ")
      .Text(exercises, "Ejercicios")
      .Raw(", MultiEjercicio = ")
      .Number(multi)
      .Raw(", DigitosNivel = ")
      .Text(digits, "DigitosNivel")
      .Raw(", DigitosCuenta = ")
      .Number(settings.account_digits)
      .Raw(" WHERE Codigo = ")
      .Number(settings.code);
  UpdateOrInsert(connection, update.text(), [&] {
    ValueList values("INSERT INTO " + std::string(kCompanyTable) + " (" + std::string(kColumns) +
                     ") VALUES (");
    values.Next().Number(settings.code);
    values.Next().Raw(national).Text(settings.name, "Nombre");
    values.Next().Number(settings.exercise);
    values.Next().Text(exercises, "Ejercicios");
    values.Next().Number(multi);
    values.Next().Text(digits, "DigitosNivel");
    values.Next().Number(settings.account_digits);
    connection.Execute(values.Close());
  });
}

}  // namespace vornexa::cli
