#include "vornexa/accounts/maintenance_statements.h"

#include <variant>

#include "vornexa/accounts/account_record.h"
#include "vornexa/accounts/exercise_rows.h"
#include "vornexa/base/text.h"
#include "vornexa/context/sql_statement.h"

namespace vornexa::maintenance_sql {

namespace {

// Appends the field's value as the statement writes it: text quoted, numbers
// bare or, where `quoted`, between apostrophes. CCC is written from the IBAN,
// never from the CCC field: its last 20 characters.
void AppendValue(SqlStatement& sql, const clsCuenta& account, const AccountField& field,
                 bool quoted) {
  std::visit(
      [&](auto member) {
        const auto& value = account.*member;
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
          const bool from_iban = (field.spelling & spelling::kLastOfIban) != 0;
          sql.Text(from_iban ? RightChars(account.IBAN, 20) : std::string_view(value),
                   from_iban ? "IBAN" : field.name);
        } else if (quoted) {
          sql.QuotedNumber(value);
        } else {
          sql.Number(value);
        }
      },
      field.member);
}

// " WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='572'"
SqlStatement& AccountKey(SqlStatement& sql, int16_t company, int16_t exercise,
                         std::string_view code) {
  return ExerciseRows(sql, company, exercise).Raw(" AND Cuenta =").Text(code, "Cuenta");
}

// The accumulators' key has a blank before the code's apostrophe.
SqlStatement& AccumulatorKey(SqlStatement& sql, int16_t company, int16_t exercise,
                             std::string_view code) {
  return ExerciseRows(sql, company, exercise).Raw(" AND Cuenta = ").Text(code, "Cuenta");
}

// The registry's fiscal fields, in the order their statements run.
struct RegistryTextField {
  std::string_view fragment;
  std::string_view field;
};
constexpr RegistryTextField kRegistryFieldsBeforeCp[] = {
    {"UPDATE Razon_Social SET Nombre =", "F_Razon"},
    {"UPDATE Razon_Social SET Direccion =", "F_Direccion"},
};
constexpr std::string_view kRegistryCpFragment = "UPDATE Razon_Social SET CP =";
constexpr RegistryTextField kRegistryFieldsAfterCp[] = {
    {"UPDATE Razon_Social SET Localidad =", "F_Localidad"},
    {"UPDATE Razon_Social SET Provincia =", "F_Provincia"},
    {"UPDATE Razon_Social SET Pais =", "F_Pais"},
    {"UPDATE Razon_Social SET eMail =", "F_eMail"},
    {"UPDATE Razon_Social SET Telefono =", "F_Telefono"},
    {"UPDATE Razon_Social SET Fax =", "F_Fax"},
};

}  // namespace

std::string UpdateAccount(const clsCuenta& account, int16_t company, int16_t exercise) {
  static const std::vector<const AccountField*> kAssignments =
      FieldsInOrder(&AccountField::update_position);
  SqlStatement sql("UPDATE Cuentas SET ");
  for (const AccountField* field : kAssignments) {
    if (field != kAssignments.front()) sql.Raw(", ");
    sql.Raw(field->column()).Raw((field->spelling & spelling::kSpacedInUpdate) != 0 ? " = " : " =");
    AppendValue(sql, account, *field, (field->spelling & spelling::kQuotedInUpdate) != 0);
  }
  return AccountKey(sql, company, exercise, account.Cuenta).Take();
}

std::string InsertAccount(const clsCuenta& account, int16_t company, int16_t exercise) {
  static const std::vector<const AccountField*> kColumns =
      FieldsInOrder(&AccountField::insert_position);
  static const std::string kHead = [] {
    std::string head = "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio";
    for (const AccountField* field : kColumns) {
      head += (field->spelling & spelling::kNoBlankInInsert) != 0 ? "," : ", ";
      head += field->column();
    }
    return head + ") VALUES (";
  }();
  ValueList values(kHead);
  values.Next().Number(company);
  values.Next().Number(exercise);
  for (const AccountField* field : kColumns) {
    AppendValue(values.Next(), account, *field, (field->spelling & spelling::kQuotedInInsert) != 0);
  }
  return values.Close();
}

std::string SelectUpperAccount(int16_t company, int16_t exercise, std::string_view upper_code) {
  SqlStatement sql("SELECT Cuenta FROM Cuentas");
  return AccountKey(sql, company, exercise, upper_code).Take();
}

std::string UpdateAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                   std::string_view code) {
  SqlStatement sql("UPDATE Acumulados SET Nivel = ");
  return AccumulatorKey(sql.Number(level), company, exercise, code).Take();
}

std::string InsertAccumulator(int16_t company, int16_t exercise, std::string_view code,
                              int16_t level) {
  ValueList values("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (");
  values.Next().Number(company);
  values.Next().Number(exercise);
  values.Next().Text(code, "Cuenta");
  values.Next().Number(level);
  return values.Close();
}

std::string SelectDepartments(int16_t company) {
  return SqlStatement("SELECT Codigo FROM Departamentos WHERE Cod_Empresa =")
      .Number(company)
      .Take();
}

std::string UpdateDepartmentAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                             std::string_view department, std::string_view code) {
  SqlStatement sql("UPDATE Acumulados_Dpto SET Nivel = ");
  return ExerciseRows(sql.Number(level), company, exercise)
      .Raw(" AND Dpto =")
      .Numeral(department)
      .Raw(" AND Cuenta = ")
      .Text(code, "Cuenta")
      .Take();
}

std::string InsertDepartmentAccumulator(int16_t company, int16_t exercise,
                                        std::string_view department, std::string_view code,
                                        int16_t level) {
  ValueList values(
      "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) VALUES (");
  values.Next().Number(company);
  values.Next().Number(exercise);
  values.Next().Numeral(department);
  values.Next().Text(code, "Cuenta");
  values.Next().Number(level);
  return values.Close();
}

std::string ProbeRegistry(std::string_view nif) {
  return SqlStatement("UPDATE Razon_Social SET Nif = ")
      .Text(nif, "Nif")
      .Raw(" WHERE Nif = ")
      .Text(nif, "Nif")
      .Take();
}

std::string InsertRegistry(std::string_view nif) {
  ValueList values("INSERT INTO Razon_Social (Nif) VALUES (");
  values.Next().Text(nif, "Nif");
  return values.Close();
}

std::vector<std::string> UpdateRegistryFields(const clsCuenta& account) {
  const std::string where_nif = SqlStatement(" WHERE Nif =").Text(account.Nif, "Nif").Take();
  std::vector<std::string> statements;
  const auto add_text_fields = [&](const auto& fields) {
    for (const RegistryTextField& registry : fields) {
      const AccountField& field = *FindField(registry.field);
      const std::string& value = account.*std::get<std::string clsCuenta::*>(field.member);
      if (value.empty()) continue;
      statements.push_back(
          SqlStatement(registry.fragment).Text(value, field.name).Raw(where_nif).Take());
    }
  };
  add_text_fields(kRegistryFieldsBeforeCp);
  if (account.F_Cp != 0) {
    statements.push_back(SqlStatement(kRegistryCpFragment).Number(account.F_Cp).Raw(where_nif).Take());
  }
  add_text_fields(kRegistryFieldsAfterCp);
  return statements;
}

std::string SelectAnyMovement(int16_t company, int16_t exercise, std::string_view code) {
  SqlStatement sql("SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK)");
  return ExerciseRows(sql, company, exercise).Raw(" And Cuenta =").Text(code, "Cuenta").Take();
}

std::string DeleteAccountRows(std::string_view table, int16_t company, int16_t exercise,
                              std::string_view code) {
  SqlStatement sql("DELETE FROM ");
  return AccountKey(sql.Raw(table), company, exercise, code).Take();
}

}  // namespace vornexa::maintenance_sql
