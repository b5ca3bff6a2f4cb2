// clsCuenta: one ledger account of one company in one exercise, a detached
// copy of one Cuentas row. Callers hand in the connection (shared by every
// object of the thread) and the company object, fill fields, call one
// operation. Every failure is raised as vornexa::Error with the source of the
// public operation called ("Cuentas::Insertar", ...).
//
// An object belongs to the thread that created it (a copy, to the thread that
// made the copy): its operations, Conexion and cEmpresa included, raise
// -2147417842 under their own source when called from any other thread,
// before they touch a connection or the company object. ComponerCuenta, which
// uses neither, works anywhere.
#ifndef VORNEXA_ACCOUNTS_CLS_CUENTA_H_
#define VORNEXA_ACCOUNTS_CLS_CUENTA_H_

#include <cstdint>
#include <memory>
#include <string>

#include "vornexa/data/connection.h"
#include "vornexa/context/empresa.h"
#include "vornexa/context/thread_owner.h"
#include "vornexa/base/types.h"

namespace vornexa {

// One of the four navigation steps: its statement pieces and error source.
struct NavigationStep;

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

  // Always replaces the thread's shared connection; empty clears it.
  void Conexion(std::shared_ptr<Connection> conCta);
  // Replaces this object's company object.
  void cEmpresa(std::shared_ptr<clsEmpresa> clsEmp);

  // Record and lookup. Loads go into `clsDest` when given, else this object;
  // company and exercise always come from this object's company object.
  bool Cargar();
  bool Cargar_Anterior(clsCuenta* clsDest = nullptr);
  bool Cargar_Primero(clsCuenta* clsDest = nullptr);
  bool Cargar_Siguiente(clsCuenta* clsDest = nullptr);
  bool Cargar_Ultimo(clsCuenta* clsDest = nullptr);
  bool Existe();

  // Maintenance.
  bool Insertar();
  bool Modificar();
  bool Eliminar();
  bool Posee_Movimientos();
  void Reparar_Acumulado();

  // Account codes (no database, no error trap of their own).
  std::string CuentaDesarrollo(const std::string& strFormatoCorto);
  std::string ComponerCuenta(const std::string& strRaiz, int32_t lngCodigo, int16_t intDigitos);

  // Balances.
  void Dev_Acumulado(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency& dblDebe,
                     Currency& dblHaber);
  void Dev_Acumulado2(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency curImporte,
                      Currency curVariacion, const std::string& strConcepto,
                      int32_t lngDocumento, int16_t intDpto, int16_t intDiario,
                      Currency& dblDebe, Currency& dblHaber);
  void Dev_Acumulado3(int16_t intEjercicio, Date dteFechaI, Date dteFechaF, Currency curImporte,
                      Currency curVariacion, const std::string& strConcepto,
                      const std::string& strDocumento, int16_t intDpto, int16_t intDiario,
                      Currency& dblDebe, Currency& dblHaber);
  Currency Dev_Apertura(int16_t intEjercicio);
  Currency Dev_Saldo(int16_t intEjercicio);
  Currency Dev_Saldo_Cartera();
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
  // The one procedure behind Cargar_Anterior, _Primero, _Siguiente, _Ultimo.
  bool Navigate(const NavigationStep& step, clsCuenta* clsDest);
  // Saves the account in one exercise: update, else create.
  bool ModificarEjercicio(int16_t intEjercicio);
  // Creates the account, its level and its accumulator rows in one exercise.
  bool InsertarEjercicio(int16_t intEjercicio);

  std::shared_ptr<clsEmpresa> empresa_;
  ThreadOwner owner_;
};

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_CLS_CUENTA_H_
