// Record and lookup: the row loader, loading by code, stepping through the
// chart and the existence test.
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "vornexa/accounts/account_record.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/accounts/exercise_rows.h"
#include "vornexa/base/error.h"
#include "vornexa/base/text.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/context/sql_statement.h"

namespace vornexa {

namespace {

// The inner query picks one code of the company's active exercise; the outer
// one returns that account's row. Stepping from a code compares it as text.
struct NavigationStep {
  std::string_view source;
  std::string_view selector;
  std::string_view comparison;  // empty: the step needs no starting code
  std::string_view closing;
};

constexpr NavigationStep kNavigationSteps[] = {
    {"Cuentas::Cargar_Anterior", " AND Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas",
     " AND Cuenta < ", " ORDER BY Cuenta DESC)"},
    {"Cuentas::Cargar_Primero",
     " AND Cuenta IN (SELECT ISNULL(MIN(Cuenta), '') AS Cuenta FROM Cuentas", "", ")"},
    {"Cuentas::Cargar_Siguiente", " AND Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas",
     " AND Cuenta > ", " ORDER BY Cuenta ASC)"},
    {"Cuentas::Cargar_Ultimo",
     " AND Cuenta IN (SELECT ISNULL(MAX(Cuenta), '') AS Cuenta FROM Cuentas", "", ")"},
};

const NavigationStep& StepOf(std::string_view source) {
  for (const NavigationStep& step : kNavigationSteps) {
    if (step.source == source) return step;
  }
  RaiseRuntimeError(error_number::kInternal);
}

}  // namespace

void clsCuenta::CargarInst(Recordset& rows, clsCuenta& destination) {
  static const std::vector<const AccountField*> kLoaderOrder =
      FieldsInOrder(&AccountField::loader_step);
  // Step by step: a failing step leaves the earlier ones loaded.
  Trap("Cuentas::CargarInst", [&] {
    for (const AccountField* field : kLoaderOrder) {
      const Value value = rows.Field(field->column());
      if (auto* text = std::get_if<std::string clsCuenta::*>(&field->member)) {
        std::string loaded = value.ToText();
        if ((field->spelling & spelling::kDefaultOnLoad) != 0 && TrimBlanks(loaded).empty()) {
          loaded = DefaultMandateId(Company().Codigo(), rows.Field("Cuenta").ToText());
        }
        destination.*(*text) = std::move(loaded);
      } else if (auto* small = std::get_if<int16_t clsCuenta::*>(&field->member)) {
        destination.*(*small) = value.ToInt16();
      } else if (auto* large = std::get_if<int32_t clsCuenta::*>(&field->member)) {
        destination.*(*large) = value.ToInt32();
      }
    }
  });
}

bool clsCuenta::LoadFirstRow(const std::string& sql, clsCuenta& destination) {
  const std::unique_ptr<Recordset> rows = OpenShared(sql);
  const bool found = !rows->Eof();
  if (found) CargarInst(*rows, destination);
  rows->Close();
  return found;
}

bool clsCuenta::Cargar() {
  return Trap("Cuentas::Cargar", [&] {
    if (Cuenta.empty()) return false;
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    SqlStatement sql("SELECT * FROM Cuentas");
    ExerciseRows(sql, code, exercise).Raw(" AND Cuenta =").Text(Cuenta, "Cuenta");
    return LoadFirstRow(sql.text(), *this);
  });
}

bool clsCuenta::Navigate(std::string_view source, clsCuenta* clsDest) {
  const NavigationStep& step = StepOf(source);
  return Trap(step.source, [&] {
    clsCuenta& destination = clsDest != nullptr ? *clsDest : *this;
    // Always this object's company, never the destination's.
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    SqlStatement sql("SELECT * FROM Cuentas");
    ExerciseRows(sql, code, exercise).Raw(step.selector);
    ExerciseRows(sql, code, exercise);
    if (!step.comparison.empty()) sql.Raw(step.comparison).Text(destination.Cuenta, "Cuenta");
    sql.Raw(step.closing);
    return LoadFirstRow(sql.text(), destination);
  });
}

bool clsCuenta::Cargar_Anterior(clsCuenta* clsDest) {
  return Navigate("Cuentas::Cargar_Anterior", clsDest);
}
bool clsCuenta::Cargar_Primero(clsCuenta* clsDest) {
  return Navigate("Cuentas::Cargar_Primero", clsDest);
}
bool clsCuenta::Cargar_Siguiente(clsCuenta* clsDest) {
  return Navigate("Cuentas::Cargar_Siguiente", clsDest);
}
bool clsCuenta::Cargar_Ultimo(clsCuenta* clsDest) {
  return Navigate("Cuentas::Cargar_Ultimo", clsDest);
}

bool clsCuenta::Existe() {
  return Trap("Cuentas::Existe", [&] {
    clsEmpresa& company = Company();
    const int16_t code = company.Codigo();
    const int16_t exercise = company.Ejercicio();
    // An empty code is looked up like any other.
    SqlStatement sql("SELECT Cuenta FROM Cuentas WITH (NOLOCK)");
    ExerciseRows(sql, code, exercise).Raw(" AND Cuenta =").Text(Cuenta, "Cuenta");
    return HasRowsShared(sql.text());
  });
}

}  // namespace vornexa
