#include "vornexa/accounts/maintenance_statements.h"

#include "vornexa/context/sql_values.h"
#include "vornexa/base/text.h"

namespace vornexa::maintenance_sql {

namespace {

// Joins fixed fragments with rendered values, in the order given.
class Sql {
 public:
  Sql() = default;
  explicit Sql(std::string_view head) : text_(head) {}

  Sql& Raw(std::string_view fragment) {
    text_ += fragment;
    return *this;
  }
  Sql& Text(std::string_view fragment, std::string_view value) {
    text_ += fragment;
    text_ += SqlText(value);
    return *this;
  }
  Sql& Number(std::string_view fragment, int64_t value) {
    text_ += fragment;
    text_ += SqlInteger(value);
    return *this;
  }

  // " WHERE Cod_Empresa =1 AND Cod_Ejercicio =7 AND Cuenta ='572'"
  Sql& AccountKey(int16_t company, int16_t exercise, std::string_view code) {
    return Number(" WHERE Cod_Empresa =", company)
        .Number(" AND Cod_Ejercicio =", exercise)
        .Text(" AND Cuenta ='", code)
        .Raw("'");
  }
  // The accumulators' key has a blank before the code's apostrophe.
  Sql& AccumulatorCompanyAndExercise(int16_t company, int16_t exercise) {
    return Number(" WHERE Cod_Empresa =", company).Number(" AND Cod_Ejercicio =", exercise);
  }
  Sql& AccumulatorCode(std::string_view code) { return Text(" AND Cuenta = '", code).Raw("'"); }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The VALUES list of an INSERT: values separated by ", ", closed by ")".
class ValueList {
 public:
  explicit ValueList(std::string_view head) : text_(head) {}

  ValueList& Number(int64_t value) {
    Separate();
    text_ += SqlInteger(value);
    return *this;
  }
  ValueList& Text(std::string_view value) {
    Separate();
    text_ += '\'';
    text_ += SqlText(value);
    text_ += '\'';
    return *this;
  }
  // A number read from the database, as it came.
  ValueList& Numeral(std::string_view value) {
    Separate();
    text_ += SqlNumeral(value);
    return *this;
  }
  // A number the statement gives between apostrophes.
  ValueList& QuotedNumber(int64_t value) {
    Separate();
    text_ += '\'';
    text_ += SqlInteger(value);
    text_ += '\'';
    return *this;
  }

  std::string Close() { return std::move(text_) + ")"; }

 private:
  void Separate() {
    if (!first_) text_ += ", ";
    first_ = false;
  }

  std::string text_;
  bool first_ = true;
};

// CCC is written from the IBAN, never from the CCC field: its last 20 characters.
std::string_view DomesticAccountCode(const clsCuenta& account) {
  return RightChars(account.IBAN, 20);
}

// The registry's fiscal fields, in the order their statements run.
struct RegistryTextField {
  std::string_view fragment;
  std::string clsCuenta::*field;
};
constexpr RegistryTextField kRegistryFieldsBeforeCp[] = {
    {"UPDATE Razon_Social SET Nombre ='", &clsCuenta::F_Razon},
    {"UPDATE Razon_Social SET Direccion ='", &clsCuenta::F_Direccion},
};
constexpr std::string_view kRegistryCpFragment = "UPDATE Razon_Social SET CP =";
constexpr RegistryTextField kRegistryFieldsAfterCp[] = {
    {"UPDATE Razon_Social SET Localidad ='", &clsCuenta::F_Localidad},
    {"UPDATE Razon_Social SET Provincia ='", &clsCuenta::F_Provincia},
    {"UPDATE Razon_Social SET Pais ='", &clsCuenta::F_Pais},
    {"UPDATE Razon_Social SET eMail ='", &clsCuenta::F_eMail},
    {"UPDATE Razon_Social SET Telefono ='", &clsCuenta::F_Telefono},
    {"UPDATE Razon_Social SET Fax ='", &clsCuenta::F_Fax},
};

}  // namespace

std::string UpdateAccount(const clsCuenta& a, int16_t company, int16_t exercise) {
  return Sql()
      .Text("UPDATE Cuentas SET Nombre ='", a.Nombre)
      .Text("', ContDebe ='", a.ContDebe)
      .Text("', ContHaber ='", a.ContHaber)
      .Text("', Nif ='", a.Nif)
      .Text("', Nombre_Comercial ='", a.Nombre_Comercial)
      .Text("', Direccion ='", a.Direccion)
      .Number("', Cp ='", a.Cp)
      .Text("', Localidad ='", a.Localidad)
      .Text("', Provincia ='", a.Provincia)
      .Text("', Pais ='", a.Pais)
      .Number("', Cod_Pais =", a.Cod_Pais)
      .Text(", Telefono ='", a.Telefono)
      .Text("', Fax ='", a.Fax)
      .Text("', eMail ='", a.eMail)
      .Text("', F_Nif ='", a.F_Nif)
      .Text("', F_Razon ='", a.F_Razon)
      .Text("', F_Via ='", a.F_Via)
      .Text("', F_Direccion ='", a.F_Direccion)
      .Text("', F_Numero ='", a.F_Numero)
      .Text("', F_Escalera ='", a.F_Escalera)
      .Text("', F_Piso ='", a.F_Piso)
      .Text("', F_Puerta ='", a.F_Puerta)
      .Number("', F_Cp ='", a.F_Cp)
      .Text("', F_Localidad ='", a.F_Localidad)
      .Text("', F_Provincia ='", a.F_Provincia)
      .Text("', F_Pais ='", a.F_Pais)
      .Text("', F_Telefono ='", a.F_Telefono)
      .Text("', F_Fax ='", a.F_Fax)
      .Text("', F_eMail ='", a.F_eMail)
      .Number("', Grupo =", a.Grupo)
      .Number(", FormaPago =", a.FormaPago)
      .Text(", CCC ='", DomesticAccountCode(a))
      .Raw("'")
      .Number(", Carta_Pago =", a.CartaPago)
      .Number(", Dpto =", a.Dpto)
      .Text(", IBAN ='", a.IBAN)
      .Raw("'")
      .Text(", Fecha_Mandato ='", a.Fecha_Mandato)
      .Raw("'")
      .Text(", IDMandato = '", a.IdMandato)
      .Raw("'")
      .Number(", Subfijo_SEPA = ", a.Sufijo_SEPA)
      .Number(", Secuencia_Adeudo = ", a.Secuencia_Adeudo)
      .Number(", ContraparteIDOtroTipo ='", a.ContraparteIDOtroTipo)
      .Raw("'")
      .Number(", Cod_Irpf =", a.Cod_Irpf)
      .Number(", Tipo_Irpf =", a.Tipo_Irpf)
      .AccountKey(company, exercise, a.Cuenta)
      .Take();
}

std::string InsertAccount(const clsCuenta& a, int16_t company, int16_t exercise) {
  return ValueList(
             "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre, ContDebe, ContHaber,"
             " Nivel, Nif, Nombre_Comercial, Direccion, Cp, Localidad, Provincia,"
             " Pais, Cod_Pais, Telefono, Fax, eMail, F_Nif, F_Razon, F_Via, F_Direccion,"
             " F_Numero, F_Escalera, F_Piso, F_Puerta,"
             " F_Cp, F_Localidad, F_Provincia, F_Pais, F_Telefono, F_Fax, F_eMail,"
             " Grupo, FormaPago, CCC, Carta_Pago, Dpto, IBAN,Fecha_Mandato, IDMandato,"
             " Subfijo_SEPA, ContraparteIDOtroTipo, Secuencia_Adeudo, Cod_Irpf, Tipo_Irpf)"
             " VALUES (")
      .Number(company)
      .Number(exercise)
      .Text(a.Cuenta)
      .Text(a.Nombre)
      .Text(a.ContDebe)
      .Text(a.ContHaber)
      .Number(a.Nivel)
      .Text(a.Nif)
      .Text(a.Nombre_Comercial)
      .Text(a.Direccion)
      .Number(a.Cp)
      .Text(a.Localidad)
      .Text(a.Provincia)
      .Text(a.Pais)
      .Number(a.Cod_Pais)
      .Text(a.Telefono)
      .Text(a.Fax)
      .Text(a.eMail)
      .Text(a.F_Nif)
      .Text(a.F_Razon)
      .Text(a.F_Via)
      .Text(a.F_Direccion)
      .Text(a.F_Numero)
      .Text(a.F_Escalera)
      .Text(a.F_Piso)
      .Text(a.F_Puerta)
      .Number(a.F_Cp)
      .Text(a.F_Localidad)
      .Text(a.F_Provincia)
      .Text(a.F_Pais)
      .Text(a.F_Telefono)
      .Text(a.F_Fax)
      .Text(a.F_eMail)
      .Number(a.Grupo)
      .Number(a.FormaPago)
      .Text(DomesticAccountCode(a))
      .Number(a.CartaPago)
      .Number(a.Dpto)
      .Text(a.IBAN)
      .Text(a.Fecha_Mandato)
      .Text(a.IdMandato)
      .Number(a.Sufijo_SEPA)
      .QuotedNumber(a.ContraparteIDOtroTipo)
      .Number(a.Secuencia_Adeudo)
      .Number(a.Cod_Irpf)
      .Number(a.Tipo_Irpf)
      .Close();
}

std::string SelectUpperAccount(int16_t company, int16_t exercise, std::string_view upper_code) {
  return Sql("SELECT Cuenta FROM Cuentas").AccountKey(company, exercise, upper_code).Take();
}

std::string UpdateAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                   std::string_view code) {
  return Sql()
      .Number("UPDATE Acumulados SET Nivel = ", level)
      .AccumulatorCompanyAndExercise(company, exercise)
      .AccumulatorCode(code)
      .Take();
}

std::string InsertAccumulator(int16_t company, int16_t exercise, std::string_view code,
                              int16_t level) {
  return ValueList("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (")
      .Number(company)
      .Number(exercise)
      .Text(code)
      .Number(level)
      .Close();
}

std::string SelectDepartments(int16_t company) {
  return Sql().Number("SELECT Codigo FROM Departamentos WHERE Cod_Empresa =", company).Take();
}

std::string UpdateDepartmentAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                             std::string_view department, std::string_view code) {
  return Sql()
      .Number("UPDATE Acumulados_Dpto SET Nivel = ", level)
      .AccumulatorCompanyAndExercise(company, exercise)
      .Raw(" AND Dpto =")
      .Raw(SqlNumeral(department))
      .AccumulatorCode(code)
      .Take();
}

std::string InsertDepartmentAccumulator(int16_t company, int16_t exercise,
                                        std::string_view department, std::string_view code,
                                        int16_t level) {
  return ValueList(
             "INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) "
             "VALUES (")
      .Number(company)
      .Number(exercise)
      .Numeral(department)
      .Text(code)
      .Number(level)
      .Close();
}

std::string ProbeRegistry(std::string_view nif) {
  return Sql()
      .Text("UPDATE Razon_Social SET Nif = '", nif)
      .Text("' WHERE Nif = '", nif)
      .Raw("'")
      .Take();
}

std::string InsertRegistry(std::string_view nif) {
  return ValueList("INSERT INTO Razon_Social (Nif) VALUES (").Text(nif).Close();
}

std::vector<std::string> UpdateRegistryFields(const clsCuenta& account) {
  // Text values close their own literal; the postal code stands bare.
  const std::string where_nif = Sql().Text(" WHERE Nif ='", account.Nif).Raw("'").Take();
  std::vector<std::string> statements;
  const auto add_text_fields = [&](const auto& fields) {
    for (const RegistryTextField& field : fields) {
      const std::string& value = account.*field.field;
      if (value.empty()) continue;
      statements.push_back(Sql().Text(field.fragment, value).Raw("'").Raw(where_nif).Take());
    }
  };
  add_text_fields(kRegistryFieldsBeforeCp);
  if (account.F_Cp != 0) {
    statements.push_back(Sql().Number(kRegistryCpFragment, account.F_Cp).Raw(where_nif).Take());
  }
  add_text_fields(kRegistryFieldsAfterCp);
  return statements;
}

std::string SelectAnyMovement(int16_t company, int16_t exercise, std::string_view code) {
  return Sql("SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK)")
      .Number(" WHERE Cod_Empresa =", company)
      .Number(" AND Cod_Ejercicio =", exercise)
      .Text(" And Cuenta ='", code)
      .Raw("'")
      .Take();
}

std::string DeleteAccountRows(std::string_view table, int16_t company, int16_t exercise,
                              std::string_view code) {
  return Sql("DELETE FROM ").Raw(table).AccountKey(company, exercise, code).Take();
}

}  // namespace vornexa::maintenance_sql
