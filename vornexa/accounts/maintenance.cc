// Account maintenance: saving an account across exercises, creating it with
// its level and accumulator rows, keeping the tax-identifier registry in
// step, deleting it, and repairing its accumulator rows.
//
// The company object is asked anew at each use and in the order the
// application asks it, so every value it gives is read into a local before
// the statement that uses it is built.
#include <string>

#include "vornexa/accounts/account_record.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/accounts/maintenance_statements.h"
#include "vornexa/base/error.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/base/text.h"
#include "vornexa/context/update_or_insert.h"

namespace vornexa {

namespace {

namespace sql = maintenance_sql;

constexpr std::string_view kSourceInsertar = "Cuentas::Insertar";
constexpr std::string_view kSourceModificar = "Cuentas::Modificar";
constexpr std::string_view kSourceEliminar = "Cuentas::Eliminar";
constexpr std::string_view kSourcePoseeMovimientos = "Cuentas::Posee_Movimientos";
constexpr std::string_view kSourceRepararAcumulado = "Cuentas::Reparar_Acumulado";

// Sets `account.Nivel` to the level whose digits equal the code's length;
// when several levels match, the highest wins. Nivel stays 0 when none does,
// and the creation is refused.
void SetLevelFromCode(clsCuenta& account, clsEmpresa& company, std::string_view source) {
  account.Nivel = 0;
  for (int16_t i = 0; i <= 5; ++i) {
    if (company.DigitosNivel(i) == static_cast<int64_t>(CharCount(account.Cuenta))) {
      account.Nivel = static_cast<int16_t>(i + 1);
    }
  }
  if (account.Nivel == 0) RaiseComponentError(source, std::string(error_description::kNoMatchingLevel));
}

// The code of the account one level up: the code's first characters, as
// many as that level has.
std::string UpperCode(const clsCuenta& account, clsEmpresa& company) {
  const int16_t digits = company.DigitosNivel(static_cast<int16_t>(account.Nivel - 2));
  if (digits < 0) RaiseRuntimeError(error_number::kInvalidArgument);
  return std::string(LeftChars(account.Cuenta, static_cast<size_t>(digits)));
}

// Refuses the creation when the account one level up is not in `exercise`.
void RequireUpperAccount(const clsCuenta& account, clsEmpresa& company, int16_t exercise) {
  const std::string upper = UpperCode(account, company);
  const int16_t code = company.Codigo();
  if (HasRowsShared(sql::SelectUpperAccount(code, exercise, upper))) return;
  RaiseComponentError(kSourceInsertar,
                      MissingUpperAccountDescription(UpperCode(account, company), exercise));
}

// Makes sure of the accumulator row of every department of the company.
void EnsureDepartmentAccumulators(const clsCuenta& account, clsEmpresa& company, int16_t exercise) {
  // A static cursor holds every row, so the writes below can run while it is read.
  const std::unique_ptr<Recordset> departments =
      OpenShared(sql::SelectDepartments(company.Codigo()), Cursor::Static);
  for (; !departments->Eof(); departments->MoveNext()) {
    // Written on as it was read: a conversion could change a code.
    const std::string department = departments->Field("Codigo").ToText();
    UpdateOrInsert(sql::UpdateDepartmentAccumulatorLevel(account.Nivel, company.Codigo(), exercise,
                                                         department, account.Cuenta),
                   [&] {
                     ExecuteShared(sql::InsertDepartmentAccumulator(
                         company.Codigo(), exercise, department, account.Cuenta, account.Nivel));
                   });
  }
  departments->Close();
}

// Brings the Razon_Social row of the account's Nif in line with its fiscal
// fields, creating the row when it is missing.
void SaveRegistry(const clsCuenta& account) {
  UpdateOrInsert(sql::ProbeRegistry(account.Nif),
                 [&] { ExecuteShared(sql::InsertRegistry(account.Nif)); });
  for (const std::string& statement : sql::UpdateRegistryFields(account)) {
    ExecuteShared(statement);
  }
}

}  // namespace

bool clsCuenta::Insertar() {
  return Trap(kSourceInsertar, [&] {
    Modificar();
    return true;
  });
}

bool clsCuenta::Modificar() {
  return Trap(kSourceModificar, [&] {
    if (Cuenta.empty()) {
      RaiseComponentError(kSourceModificar, std::string(error_description::kNoAccountCode));
    }
    // Every value is checked before the first statement of the save runs.
    RequireStorableRecord(*this, kSourceModificar);
    ModificarEjercicio(Company().Ejercicio());
    if (Company().MultiEjercicio() != 0) {
      // Later exercises of the list, in its order; earlier ones are left alone.
      const int16_t last = Company().UltimoEjercicio();
      for (int j = 0; j <= last; ++j) {
        const int16_t exercise = Company().Ejercicios(static_cast<int16_t>(j));
        const int16_t active = Company().Ejercicio();
        if (exercise != 0 && exercise > active) ModificarEjercicio(exercise);
      }
    }
    if (!Nif.empty()) SaveRegistry(*this);
    return true;
  });
}

bool clsCuenta::ModificarEjercicio(int16_t intEjercicio) {
  return Trap(kSourceModificar, [&] {
    // An account without a row in the exercise is created there instead.
    UpdateOrInsert(sql::UpdateAccount(*this, Company().Codigo(), intEjercicio),
                   [&] { InsertarEjercicio(intEjercicio); });
    return true;
  });
}

bool clsCuenta::InsertarEjercicio(int16_t intEjercicio) {
  return Trap(kSourceInsertar, [&] {
    if (Cuenta.empty()) {
      RaiseComponentError(kSourceInsertar, std::string(error_description::kNoAccountCodeAccented));
    }
    clsEmpresa& company = Company();
    SetLevelFromCode(*this, company, kSourceInsertar);
    if (!NoVerificarNivelesSup && Nivel > 1) RequireUpperAccount(*this, company, intEjercicio);

    // The account row and its accumulator rows appear together or not at all:
    // a Cuentas row left without them would never get them, since a later
    // save finds the row and only updates it.
    AtomicScope scope(RequireSharedConnection());
    ExecuteShared(sql::InsertAccount(*this, company.Codigo(), intEjercicio));
    UpdateOrInsert(sql::UpdateAccumulatorLevel(Nivel, company.Codigo(), intEjercicio, Cuenta), [&] {
      ExecuteShared(sql::InsertAccumulator(company.Codigo(), intEjercicio, Cuenta, Nivel));
    });
    EnsureDepartmentAccumulators(*this, company, intEjercicio);
    scope.Commit();
    return true;
  });
}

bool clsCuenta::Posee_Movimientos() {
  return Trap(kSourcePoseeMovimientos, [&] {
    const int16_t code = Company().Codigo();
    const int16_t exercise = Company().Ejercicio();
    return HasRowsShared(sql::SelectAnyMovement(code, exercise, Cuenta));
  });
}

bool clsCuenta::Eliminar() {
  return Trap(kSourceEliminar, [&] {
    if (Posee_Movimientos()) {
      RaiseComponentError(kSourceEliminar, AccountHasMovementsDescription(Cuenta));
    }
    // All three or none: an accumulator row left behind would hand its old
    // amounts to a new account later created with the same code.
    AtomicScope scope(RequireSharedConnection());
    for (std::string_view table : sql::kDeletedTables) {
      const int16_t code = Company().Codigo();
      const int16_t exercise = Company().Ejercicio();
      ExecuteShared(sql::DeleteAccountRows(table, code, exercise, Cuenta));
    }
    scope.Commit();
    return true;
  });
}

void clsCuenta::Reparar_Acumulado() {
  Trap(kSourceRepararAcumulado, [&] {
    if (Cuenta.empty()) {
      RaiseComponentError(kSourceRepararAcumulado, std::string(error_description::kNoAccountCode));
    }
    SetLevelFromCode(*this, Company(), kSourceRepararAcumulado);
    // Every entry of the list, earlier exercises and entries of 0 included.
    const int16_t last = Company().UltimoEjercicio();
    for (int j = 0; j <= last; ++j) {
      const int16_t index = static_cast<int16_t>(j);
      const int16_t code = Company().Codigo();
      const int16_t exercise = Company().Ejercicios(index);
      UpdateOrInsert(sql::UpdateAccumulatorLevel(Nivel, code, exercise, Cuenta), [&] {
        const int16_t insert_code = Company().Codigo();
        const int16_t insert_exercise = Company().Ejercicios(index);
        ExecuteShared(sql::InsertAccumulator(insert_code, insert_exercise, Cuenta, Nivel));
      });
    }
  });
}

}  // namespace vornexa
