// clsCuenta: one ledger account of one company in one exercise, a detached
// copy of one Cuentas row. Callers hand in the connection (shared by every
// object of the thread) and the company object, fill fields, call one
// operation.
//
// Every failure is raised as vornexa::Error with the number and description
// of the first failure and the source of the public operation called
// ("Cuentas::Insertar", ...): 91 without a connection (-2146824579 when a
// query opens without one) or without a company object, the database's own
// number for a statement it refuses, 1000 for the refusals named below
// (descriptions in error.h). Text that could not be stored and read back
// exactly (invalid UTF-8, a NUL) is refused with 1000 naming the field
// before any statement runs. Each thread has its own shared connection.
//
// An object belongs to the thread that created it (a copy, to the thread that
// made the copy): its operations, Conexion and cEmpresa included, raise
// -2147417842 under their own source when called from any other thread,
// before they touch a connection or the company object. ComponerCuenta, which
// uses neither, works anywhere.
#ifndef VORNEXA_ACCOUNTS_CLS_CUENTA_H_
#define VORNEXA_ACCOUNTS_CLS_CUENTA_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vornexa/data/connection.h"
#include "vornexa/context/empresa.h"
#include "vornexa/context/thread_owner.h"
#include "vornexa/base/types.h"

namespace vornexa {

// The amounts of an account's accumulator row in one exercise.
struct AccumulatorPeriods {
  Currency opening;                   // Apertura
  std::array<Currency, 12> debit{};   // D1 to D12
  std::array<Currency, 12> credit{};  // H1 to H12

  // The running balance at the end of `period` (0 to 12): the opening amount
  // plus the debits less the credits of the periods up to it. At 12 it is
  // the balance Dev_Saldo gives.
  Currency BalanceAfter(int period) const;
};

class clsCuenta {
 public:
  // The account record, in the order of the application's interface.
  std::string Cuenta;
  std::string ContDebe;
  std::string ContHaber;
  int16_t Nivel = 0;
  std::string Nif;
  std::string Nombre;
  std::string Nombre_Comercial;
  std::string Direccion;
  int32_t Cp = 0;
  std::string Localidad;
  std::string Provincia;
  std::string Pais;
  std::string Telefono;
  std::string Fax;
  std::string eMail;
  std::string F_Nif;
  std::string F_Razon;
  std::string F_Via;
  std::string F_Direccion;
  std::string F_Numero;
  std::string F_Escalera;
  std::string F_Piso;
  std::string F_Puerta;
  int32_t F_Cp = 0;
  std::string F_Localidad;
  std::string F_Provincia;
  std::string F_Pais;
  std::string F_Telefono;
  std::string F_Fax;
  std::string F_eMail;
  int16_t Grupo = 0;
  int16_t FormaPago = 0;
  std::string CCC;
  bool NoVerificarNivelesSup = false;  // never stored; skips the upper-level check
  int16_t CartaPago = 0;
  int16_t Dpto = 0;
  std::string IBAN;
  std::string Fecha_Mandato;
  std::string IdMandato;
  int16_t Sufijo_SEPA = 0;
  int16_t Secuencia_Adeudo = 0;
  int16_t Cod_Pais = 0;
  int16_t ContraparteIDOtroTipo = 0;
  int16_t Cod_Irpf = 0;
  int16_t Tipo_Irpf = 0;

  // Replaces the calling thread's shared connection, for every account and
  // group object of the thread; an empty pointer clears it. Never fails.
  void Conexion(std::shared_ptr<Connection> conCta);
  // Replaces this object's company object, which operations ask anew at each
  // use (code, active exercise, digits, exercises). Never fails.
  void cEmpresa(std::shared_ptr<clsEmpresa> clsEmp);

  // --- Record and lookup (read only) ---
  // Loads the row of Cuenta in the company's active exercise into this
  // object. False, running nothing, when Cuenta is empty; false, changing
  // nothing, when there is no row. Fields load one by one: a value that does
  // not fit (94 NULL, 6 overflow, 13 not a number) stops the load there, and
  // earlier fields keep what they loaded.
  bool Cargar();
  // Load the account before Cuenta, the first, the one after, the last (codes
  // compared as text) of this object's company and active exercise into
  // `clsDest` when given, else this object; previous and next start from the
  // destination's Cuenta. False, leaving the destination as it was, when
  // there is none.
  bool Cargar_Anterior(clsCuenta* clsDest = nullptr);
  bool Cargar_Primero(clsCuenta* clsDest = nullptr);
  bool Cargar_Siguiente(clsCuenta* clsDest = nullptr);
  bool Cargar_Ultimo(clsCuenta* clsDest = nullptr);
  // Whether Cuenta has a row in the active exercise (an empty code too).
  bool Existe();

  // --- Maintenance ---
  // Saves the account: in the active exercise, then, when the company is
  // multi-exercise, in each later exercise of its list; then brings the
  // Razon_Social row of Nif up to date when Nif is set. In each exercise an
  // existing row is updated (every field but Nivel), a missing one created:
  // Nivel from the code's length (1000 kNoMatchingLevel when no level has
  // it), the upper account required unless NoVerificarNivelesSup (1000
  // MissingUpperAccountDescription), then its accumulator rows. Refused
  // before any statement without Cuenta (1000 kNoAccountCode) or with
  // unstorable text. Each creation is atomic; the save as a whole is not: a
  // failure leaves the exercises already saved as saved. Returns true.
  bool Modificar();
  // Modificar under the source "Cuentas::Insertar": an existing account is
  // updated, not refused.
  bool Insertar();
  // Deletes the account's Cuentas, Acumulados and Acumulados_Dpto rows of the
  // active exercise, all or none; refused (1000 AccountHasMovementsDescription)
  // while it has journal lines there. True even when there was nothing.
  bool Eliminar();
  // Whether the account has any journal line in the active exercise.
  bool Posee_Movimientos();
  // Sets Nivel from the code's length (1000 kNoAccountCode without Cuenta,
  // kNoMatchingLevel when no level has it) and, for every exercise of the
  // company's list, updates the level of the account's Acumulados row or
  // creates the row. Not atomic: a failure leaves earlier exercises repaired.
  void Reparar_Acumulado();

  // --- Account codes (no database, no error trap of their own) ---
  // "43.1" -> "43000001": the part after the point moved to the right end of
  // a detail code, zeros between; a code of the detail length comes back
  // trimmed, one shorter without a point is filled on the right, anything
  // else gives "". 5 when the parts are longer than a detail code.
  std::string CuentaDesarrollo(const std::string& strFormatoCorto);
  // The first `intDigitos` characters of `strRaiz`, then `lngCodigo` padded
  // with zeros to `intDigitos` characters in all (never cut); 5 when
  // `intDigitos` is negative.
  std::string ComponerCuenta(const std::string& strRaiz, int32_t lngCodigo, int16_t intDigitos);

  // --- Balances (read only) ---
  // Debit and credit totals of the account's posted lines (not closing, not
  // annulled) dated between the two dates, both included, over every
  // exercise of the company (`intEjercicio` is not used). The totals are
  // written only once the query has run.
  void Dev_Acumulado(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency& dblDebe,
                     Currency& dblHaber);
  // Dev_Acumulado3 with the document number as text; its failures carry
  // Dev_Acumulado3's source.
  void Dev_Acumulado2(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency curImporte,
                      Currency curVariacion, const std::string& strConcepto,
                      int32_t lngDocumento, int16_t intDpto, int16_t intDiario,
                      Currency& dblDebe, Currency& dblHaber);
  // Dev_Acumulado narrowed, where given (not 0, not empty), to lines whose
  // debit or credit lies within curImporte ± curVariacion, whose concept
  // contains strConcepto (LIKE wildcards keep their meaning), whose document,
  // department and journal are those given.
  void Dev_Acumulado3(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency curImporte,
                      Currency curVariacion, const std::string& strConcepto,
                      const std::string& strDocumento, int16_t intDpto, int16_t intDiario,
                      Currency& dblDebe, Currency& dblHaber);
  // The opening amount of the account's Acumulados row in the exercise; 0
  // without a row.
  Currency Dev_Apertura(int16_t intEjercicio);
  // Opening plus the twelve debits less the twelve credits of that row; 0
  // without a row.
  Currency Dev_Saldo(int16_t intEjercicio);
  // The opening amount and the twelve period debits and credits of that row,
  // read in one statement; all 0 without a row.
  AccumulatorPeriods Dev_Periodos(int16_t intEjercicio);
  // The total of the account's collection forecasts in states 1 to 4.
  Currency Dev_Saldo_Cartera();
  // The same for the states listed ("1, 3"); 1000 when the list is not
  // integers separated by commas, before any statement runs.
  Currency Dev_Saldo_PrevCobro(const std::string& strListaEstados);

 private:
  // The company object; raises 91 when none was handed in. Every operation
  // asks for it before it touches the connection, so it is also where a call
  // from a thread that does not own the object is refused.
  clsEmpresa& Company() const;
  // Copies the current row of `rows` into `destination`, step by step.
  void CargarInst(Recordset& rows, clsCuenta& destination);
  // Loads the first row of `sql` into `destination`; false when there is none.
  bool LoadFirstRow(const std::string& sql, clsCuenta& destination);
  // The one procedure behind Cargar_Anterior, _Primero, _Siguiente, _Ultimo,
  // each step named by its error source.
  bool Navigate(std::string_view source, clsCuenta* clsDest);
  // Saves the account in one exercise: update, else create.
  bool ModificarEjercicio(int16_t intEjercicio);
  // Creates the account, its level and its accumulator rows in one exercise.
  bool InsertarEjercicio(int16_t intEjercicio);

  std::shared_ptr<clsEmpresa> empresa_;
  ThreadOwner owner_;
};

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_CLS_CUENTA_H_
