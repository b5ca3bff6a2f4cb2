// Shared pieces of the account suites: a fully filled account, accumulator
// rows, and what the database holds of one account in one exercise.
#ifndef TESTS_ACCOUNTS_FIXTURE_H_
#define TESTS_ACCOUNTS_FIXTURE_H_

#include <ostream>
#include <variant>

#include "support/fixtures.h"

namespace vornexa::testing {

using Statements = std::vector<std::string>;

// Rows of one account in one exercise: Cuentas, Acumulados, Acumulados_Dpto.
struct AccountRows {
  int64_t cuentas, acumulados, departamentos;
  friend bool operator==(const AccountRows&, const AccountRows&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const AccountRows& rows) {
  return out << "{Cuentas " << rows.cuentas << ", Acumulados " << rows.acumulados
             << ", Acumulados_Dpto " << rows.departamentos << "}";
}

inline std::string AsText(const std::string& value) { return value; }
template <typename Number>
std::string AsText(Number value) { return std::to_string(value); }

// Every stored field of the record, named, for comparing two accounts at once.
inline std::string Describe(const clsCuenta& a) {
  std::string out;
  for (const AccountField& field : kAccountFields) {
    if (field.column().empty()) continue;
    std::visit([&](auto member) { out += std::string(field.name) + "=" + AsText(a.*member) + "|"; },
               field.member);
  }
  return out;
}

class AccountsTest : public BackendTest {
 protected:
  // Every field a value of its own, so that one written into the wrong place shows;
  // Cp above the 16-bit range; apostrophes in the registry's key and texts.
  clsCuenta FilledAccount(const std::string& code) {
    // In the record's order, from ContDebe on, Nivel left out.
    static const char* const kValues[] = {
        "4300", "4301", "B'1", "N", "NC", "D", "46001", "L", "P", "España", "T", "X", "E", "FN",
        "F'R", "FV", "FD", "1", "B", "3", "A", "41001", "FL", "FO", "FA", "FT", "FX", "FM", "11",
        "4", "NO SE USA", "1", "6", "ES9121000418450200051332", "2024-01-31", "M'1", "7", "8",
        "724", "3", "12", "13"};
    clsCuenta a = NewAccount(code);
    size_t next = 0;
    for (const AccountField& field : kAccountFields) {
      if (field.column().empty() || field.name == "Cuenta" || field.name == "Nivel") continue;
      std::visit(
          [&](auto member) {
            auto& target = a.*member;
            using Type = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<Type, std::string>) target = kValues[next];
            else target = static_cast<Type>(std::stol(kValues[next]));
          },
          field.member);
      ++next;
    }
    return a;
  }

  // An accumulator row of the account, and one per department when `departments`.
  void SeedAccumulators(int exercise, const std::string& code, const std::vector<int>& departments,
                        int level = 3) {
    const std::string head = "1, " + std::to_string(exercise) + ", ";
    const std::string tail = "'" + code + "', " + std::to_string(level);
    Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura) VALUES (" +
         head + tail + ", 10)");
    for (int department : departments) {
      Exec("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) "
           "VALUES (" + head + std::to_string(department) + ", " + tail + ")");
    }
  }

  // An account with its accumulator row and one row per department.
  void SeedAccount(int exercise, const std::string& code, const std::vector<int>& departments) {
    InsertAccountRow(1, static_cast<int16_t>(exercise), code);
    SeedAccumulators(exercise, code, departments);
  }

  AccountRows RowsOf(int exercise, const std::string& code) {
    const std::string key = " WHERE Cod_Empresa = 1 AND Cod_Ejercicio = " +
                            std::to_string(exercise) + " AND Cuenta = '" + code + "'";
    return {Count("SELECT Cuenta FROM Cuentas" + key), Count("SELECT Cuenta FROM Acumulados" + key),
            Count("SELECT Cuenta FROM Acumulados_Dpto" + key)};
  }

};

}  // namespace vornexa::testing

#endif  // TESTS_ACCOUNTS_FIXTURE_H_
