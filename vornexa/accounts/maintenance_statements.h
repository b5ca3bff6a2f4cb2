// The statements of account maintenance: saving, creating, deleting and
// repairing an account. Each joins the application's fixed fragments with
// values through SqlStatement; the caller reads the company values and passes
// them in, so that it decides when the company object is asked.
#ifndef VORNEXA_ACCOUNTS_MAINTENANCE_STATEMENTS_H_
#define VORNEXA_ACCOUNTS_MAINTENANCE_STATEMENTS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/accounts/cls_cuenta.h"

namespace vornexa::maintenance_sql {

// Cuentas. The UPDATE rewrites every field but the level; the INSERT writes
// them all, the level as `account.Nivel` holds it.
std::string UpdateAccount(const clsCuenta& account, int16_t company, int16_t exercise);
std::string InsertAccount(const clsCuenta& account, int16_t company, int16_t exercise);
// Finds the account one level up, `upper_code`, in the exercise.
std::string SelectUpperAccount(int16_t company, int16_t exercise, std::string_view upper_code);

// Acumulados: the level of the account's accumulator row, and the row itself.
std::string UpdateAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                   std::string_view code);
std::string InsertAccumulator(int16_t company, int16_t exercise, std::string_view code,
                              int16_t level);

// Departamentos and Acumulados_Dpto. `department` is the code as it was
// read from Departamentos, written as it came (see SqlNumeral).
std::string SelectDepartments(int16_t company);
std::string UpdateDepartmentAccumulatorLevel(int16_t level, int16_t company, int16_t exercise,
                                             std::string_view department, std::string_view code);
std::string InsertDepartmentAccumulator(int16_t company, int16_t exercise,
                                        std::string_view department, std::string_view code,
                                        int16_t level);

// Razon_Social: the UPDATE that only tells whether the row of `nif` exists,
// the INSERT that creates it, and one UPDATE per fiscal field that is set
// (a save never clears a registry column).
std::string ProbeRegistry(std::string_view nif);
std::string InsertRegistry(std::string_view nif);
std::vector<std::string> UpdateRegistryFields(const clsCuenta& account);

// Movimientos: any journal line of the account in the exercise.
std::string SelectAnyMovement(int16_t company, int16_t exercise, std::string_view code);

// The tables whose rows of one account and exercise a deletion removes, in
// the order it removes them.
inline constexpr std::string_view kDeletedTables[] = {"Cuentas", "Acumulados", "Acumulados_Dpto"};
std::string DeleteAccountRows(std::string_view table, int16_t company, int16_t exercise,
                              std::string_view code);

}  // namespace vornexa::maintenance_sql

#endif  // VORNEXA_ACCOUNTS_MAINTENANCE_STATEMENTS_H_
