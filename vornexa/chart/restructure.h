// Restructuring the chart of a company: detail codes made longer or shorter,
// an account renumbered, one account merged into another.
//
// Every table that holds an account code moves together: Cuentas, Acumulados,
// Acumulados_Dpto, Movimientos and Previsiones_Cobro, with a few set-based
// statements, whatever the size of the chart. Other modules of the
// application may keep codes in tables of their own: before anything
// changes, the database's catalogue is searched for text columns whose name
// begins or ends with "Cuenta", and a run is refused until the caller has
// said of each one whether it is rewritten too or left alone.
//
// A run is one atomic scope (a savepoint inside a transaction the caller has
// open). Before committing, it proves that no balance changed: for every
// account the change touches, the opening amount, the twelve periods' debits
// and credits and the balance of each exercise and department (as Dev_Saldo
// computes it), and the debit, credit and number of its journal lines and
// collection forecasts, read before and after and compared through the
// change (a merged account's amounts add up in the one it merged into); the
// total of every level; and every upper account whose row held the sum of
// the accounts under it still holding it. Any difference rolls the whole run
// back and is reported, the first one named. So the database holds the old
// chart or the new one, never a mix, even when the process dies half-way.
//
// Failures are vornexa::Error with the operation's source
// ("Plan::AmpliarDigitos", "Plan::RenumerarCuenta", "Plan::FusionarCuentas"):
// 1000 with a Spanish description for the refusals and for a proof that
// failed, the database's own error for a statement it refuses.
#ifndef VORNEXA_CHART_RESTRUCTURE_H_
#define VORNEXA_CHART_RESTRUCTURE_H_

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/context/empresa.h"
#include "vornexa/data/connection.h"

namespace vornexa {

// What a run does with a column of another module that holds account codes.
enum class TratamientoColumna { Reescribir, Dejar };

// How far a run has gone: `hecho` of `total` rows read or written, the step
// under way named in Spanish ("Reescribiendo Movimientos").
struct AvanceReestructuracion {
  std::string_view paso;
  int64_t hecho = 0;
  int64_t total = 0;
};

struct OpcionesReestructuracion {
  // Reports what a run would do and changes nothing. Columns of other modules
  // need no decision here: they are listed for the caller to decide.
  bool simular = false;
  // What to do with each column of another module, named "Tabla.Columna"
  // (letter case ignored). A rewritten column's table needs a Cod_Empresa
  // column; when it has Cod_Ejercicio, a renumbering from an exercise on
  // rewrites only the rows of those exercises.
  std::map<std::string, TratamientoColumna> columnas;
  // Called now and then during the run, on the caller's thread.
  std::function<void(const AvanceReestructuracion&)> avance;
};

struct CambioCodigo {
  std::string antes;
  std::string despues;
};

// Rows of one column holding the codes that change, before the change.
struct FilasColumna {
  std::string tabla;
  std::string columna;
  int64_t filas = 0;
};

// A column outside the library's tables that looks like it holds account
// codes, and what the caller said of it (none when the caller did not).
struct ColumnaCodigos {
  std::string tabla;
  std::string columna;
  std::optional<TratamientoColumna> tratamiento;
};

struct InformeReestructuracion {
  bool simulado = false;
  // The codes of Cuentas that change, in code order (each once, whatever
  // the exercises it is in).
  std::vector<CambioCodigo> codigos;
  // Every column with codes that change: the library's five, then those of
  // other modules to be rewritten.
  std::vector<FilasColumna> filas;
  // Every column of other modules found in the catalogue.
  std::vector<ColumnaCodigos> columnas;
  // The company's digits per level and of a detail account once the change
  // is made; only AmpliarDigitos changes them, and the caller stores them
  // where it keeps its company, inside its own atomic scope around the run
  // so that they change with the codes.
  std::array<int16_t, 6> digitos_nivel{};
  int16_t digitos_cuenta = 0;
  // Of a real run: the rows whose amounts were compared one by one (an
  // account's accumulator row of an exercise or department, its journal
  // lines of an exercise, its forecasts of a state), and the upper accounts
  // that held the sum of those under them before and still do.
  int64_t filas_comprobadas = 0;
  int64_t superiores_cuadrados = 0;
};

// Makes every detail code (as long as DigitosCuenta) `intDigitos` long, in
// every exercise, by inserting zeros right after the code of the account one
// level up (43320017 -> 4332000017) or removing them there. Refused when
// the length leaves no room between the levels around it or passes 20, when
// it is the current one, when a shortening would drop a digit other than 0
// or when codes of the new length are already there (the first such code
// named).
InformeReestructuracion AmpliarDigitos(Connection& conexion, clsEmpresa& empresa,
                                       int16_t intDigitos,
                                       const OpcionesReestructuracion& opciones = {});

// Gives account `strVieja` the code `strNueva` of the same level, and every
// account under it the code with its beginning replaced, in every exercise
// from `intDesde` on (all when none); collection forecasts, which have no
// exercise, follow in any case. Amounts move from the old upper accounts'
// accumulator rows to the new ones'. Refused when a code is not one of that
// level, when the old account is not there, when any new code already
// exists or when an upper account of the new code is missing in an exercise
// the old one is in.
InformeReestructuracion RenumerarCuenta(Connection& conexion, clsEmpresa& empresa,
                                        const std::string& strVieja, const std::string& strNueva,
                                        std::optional<int16_t> intDesde,
                                        const OpcionesReestructuracion& opciones = {});

// Merges account `strOrigen` into `strDestino`, of the same level and without
// accounts under either, in every exercise: the destination takes the
// origin's journal lines and collection forecasts, adds the origin's
// accumulators (opening amount and each period's debit and credit, per
// exercise and per department) to its own, and the origin goes. The
// tax-identifier registry is left as it is. Refused when the destination is
// missing in an exercise the origin is in.
InformeReestructuracion FusionarCuentas(Connection& conexion, clsEmpresa& empresa,
                                        const std::string& strOrigen,
                                        const std::string& strDestino,
                                        const OpcionesReestructuracion& opciones = {});

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_H_
