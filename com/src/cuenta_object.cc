// clsCuenta: the engine's account behind the dual interface _clsCuenta, its
// table of operations filled member by member in the type library's order.
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "com/src/classes.h"
#include "com/src/company.h"
#include "com/src/interfaces.h"
#include "com/src/member_calls.h"
#include "com/src/property_accessors.h"
#include "vornexa/accounts/account_record.h"

namespace vornexa::com {

namespace {

const ClassDescription& Description();

class CuentaObject : public AutomationObject {
 public:
  using Interface = _clsCuenta;
  CuentaObject() : AutomationObject(Description()) {}
  clsCuenta engine;
  std::shared_ptr<clsEmpresa> company;  // the engine's, kept while a call may use it
};

// The earlier ids of _clsCuenta, answered with the present interface so that
// callers built against them keep working.
const IID kEarlierCuentaIds[] = {
    IID__clsCuenta_1,  IID__clsCuenta_2,  IID__clsCuenta_3,  IID__clsCuenta_4,
    IID__clsCuenta_5,  IID__clsCuenta_6,  IID__clsCuenta_7,  IID__clsCuenta_8,
    IID__clsCuenta_9,  IID__clsCuenta_10, IID__clsCuenta_11, IID__clsCuenta_12,
    IID__clsCuenta_13, IID__clsCuenta_14, IID__clsCuenta_15, IID__clsCuenta_16,
};

template <typename Body>
HRESULT Run(_clsCuenta* self, Body&& body) {
  return CallMember<CuentaObject>(self, body);
}

template <typename Result, typename Body>
HRESULT Answer(_clsCuenta* self, Result* result, Body&& body) {
  return AnswerMember<CuentaObject>(self, result, body);
}

HRESULT STDMETHODCALLTYPE PutrefEmpresa(_clsCuenta* self, IDispatch* company) {
  return Run(self, [&](CuentaObject& object) {
    std::shared_ptr<clsEmpresa> wrapped = WrapCompany(company);
    object.engine.cEmpresa(wrapped);
    KeepUntilCallsReturn(std::exchange(object.company, std::move(wrapped)));
  });
}

template <bool (clsCuenta::*Operation)()>
constexpr auto Ask = &AskMember<CuentaObject, Operation>;

clsCuenta* EngineOf(_clsCuenta* destination);

template <bool (clsCuenta::*Operation)(clsCuenta*)>
HRESULT STDMETHODCALLTYPE Navigate(_clsCuenta* self, _clsCuenta* destination,
                                   VARIANT_BOOL* result) {
  return Answer(self, result, [&](clsCuenta& account) {
    return ToVariantBool((account.*Operation)(EngineOf(destination)));
  });
}

HRESULT STDMETHODCALLTYPE Reparar(_clsCuenta* self) {
  return Run(self, [](CuentaObject& object) { object.engine.Reparar_Acumulado(); });
}

// The totals reach the caller's amounts whatever follows: once the query has
// run they are 0 even when reading its row fails, and before that they are
// as passed.
class Totals {
 public:
  Totals(CURRENCY* debit, CURRENCY* credit)
      : debit_(debit), credit_(credit), debe_(FromAutomationCurrency(*debit)),
        haber_(FromAutomationCurrency(*credit)) {}
  ~Totals() {
    *debit_ = ToAutomationCurrency(debe_);
    *credit_ = ToAutomationCurrency(haber_);
  }
  Currency& debe() { return debe_; }
  Currency& haber() { return haber_; }

 private:
  CURRENCY* debit_;
  CURRENCY* credit_;
  Currency debe_, haber_;
};

HRESULT STDMETHODCALLTYPE DevAcumulado(_clsCuenta* self, SHORT exercise, DATE from, DATE to,
                                       CURRENCY* debit, CURRENCY* credit) {
  if (debit == nullptr || credit == nullptr) return FailWithoutError(E_POINTER);
  return Run(self, [&](CuentaObject& object) {
    Totals totals(debit, credit);
    object.engine.Dev_Acumulado(exercise, FromAutomationDate(from), FromAutomationDate(to),
                                totals.debe(), totals.haber());
  });
}

// Dev_Acumulado2 (document number) and Dev_Acumulado3 (document text).
template <typename Document, typename Engine,
          void (clsCuenta::*Operation)(int16_t, Date, Date, Currency, Currency, const std::string&,
                                       Engine, int16_t, int16_t, Currency&, Currency&)>
HRESULT STDMETHODCALLTYPE DevAcumuladoFiltered(_clsCuenta* self, SHORT exercise, DATE from,
                                               DATE to, CURRENCY amount, CURRENCY variation,
                                               BSTR concept_text, Document document, SHORT department,
                                               SHORT journal, CURRENCY* debit, CURRENCY* credit) {
  if (debit == nullptr || credit == nullptr) return FailWithoutError(E_POINTER);
  return Run(self, [&](CuentaObject& object) {
    Totals totals(debit, credit);
    (object.engine.*Operation)(exercise, FromAutomationDate(from), FromAutomationDate(to),
                               FromAutomationCurrency(amount), FromAutomationCurrency(variation),
                               FromBstr(concept_text),
                               AutomationForm<std::decay_t<Engine>>::In(document), department,
                               journal, totals.debe(), totals.haber());
  });
}

template <Currency (clsCuenta::*Operation)(int16_t)>
HRESULT STDMETHODCALLTYPE BalanceOfExercise(_clsCuenta* self, SHORT exercise, CURRENCY* result) {
  return Answer(self, result, [&](clsCuenta& account) {
    return ToAutomationCurrency((account.*Operation)(exercise));
  });
}

HRESULT STDMETHODCALLTYPE DevSaldoCartera(_clsCuenta* self, CURRENCY* result) {
  return Answer(self, result,
                [](clsCuenta& account) { return ToAutomationCurrency(account.Dev_Saldo_Cartera()); });
}

HRESULT STDMETHODCALLTYPE DevSaldoPrevCobro(_clsCuenta* self, BSTR states, CURRENCY* result) {
  return Answer(self, result, [&](clsCuenta& account) {
    return ToAutomationCurrency(account.Dev_Saldo_PrevCobro(FromBstr(states)));
  });
}

HRESULT STDMETHODCALLTYPE ComponerCuenta(_clsCuenta* self, BSTR root, LONG number, SHORT digits,
                                         BSTR* result) {
  return Answer(self, result, [&](clsCuenta& account) {
    return ToBstr(account.ComponerCuenta(FromBstr(root), number, digits));
  });
}

HRESULT STDMETHODCALLTYPE CuentaDesarrollo(_clsCuenta* self, BSTR short_form, BSTR* result) {
  return Answer(self, result, [&](clsCuenta& account) {
    return ToBstr(account.CuentaDesarrollo(FromBstr(short_form)));
  });
}

#define FIELD(name) VORNEXA_PROPERTY(CuentaObject, name)

constexpr _clsCuentaVtbl kOperations = {
    VORNEXA_DISPATCH_ENTRIES(_clsCuenta),
    FIELD(Cuenta),
    FIELD(ContDebe),
    FIELD(ContHaber),
    FIELD(Nivel),
    FIELD(Nif),
    FIELD(Nombre),
    FIELD(Nombre_Comercial),
    FIELD(Direccion),
    FIELD(Cp),
    FIELD(Localidad),
    FIELD(Provincia),
    FIELD(Pais),
    FIELD(Telefono),
    FIELD(Fax),
    FIELD(eMail),
    FIELD(F_Nif),
    FIELD(F_Razon),
    FIELD(F_Via),
    FIELD(F_Direccion),
    FIELD(F_Numero),
    FIELD(F_Escalera),
    FIELD(F_Piso),
    FIELD(F_Puerta),
    FIELD(F_Cp),
    FIELD(F_Localidad),
    FIELD(F_Provincia),
    FIELD(F_Pais),
    FIELD(F_Telefono),
    FIELD(F_Fax),
    FIELD(F_eMail),
    FIELD(Grupo),
    FIELD(FormaPago),
    FIELD(CCC),
    .putref_Conexion = &PutrefConexion<CuentaObject>,
    .putref_cEmpresa = &PutrefEmpresa,
    .Cargar_Anterior = &Navigate<&clsCuenta::Cargar_Anterior>,
    .Cargar_Primero = &Navigate<&clsCuenta::Cargar_Primero>,
    .Cargar_Siguiente = &Navigate<&clsCuenta::Cargar_Siguiente>,
    .Cargar_Ultimo = &Navigate<&clsCuenta::Cargar_Ultimo>,
    .Cargar = Ask<&clsCuenta::Cargar>,
    .Modificar = Ask<&clsCuenta::Modificar>,
    .Insertar = Ask<&clsCuenta::Insertar>,
    .Eliminar = Ask<&clsCuenta::Eliminar>,
    .Posee_Movimientos = Ask<&clsCuenta::Posee_Movimientos>,
    .Existe = Ask<&clsCuenta::Existe>,
    .Dev_Acumulado = &DevAcumulado,
    .Dev_Apertura = &BalanceOfExercise<&clsCuenta::Dev_Apertura>,
    .Dev_Saldo = &BalanceOfExercise<&clsCuenta::Dev_Saldo>,
    .Reparar_Acumulado = &Reparar,
    FIELD(NoVerificarNivelesSup),
    .Dev_Saldo_Cartera = &DevSaldoCartera,
    .Dev_Acumulado2 = &DevAcumuladoFiltered<LONG, int32_t, &clsCuenta::Dev_Acumulado2>,
    FIELD(CartaPago),
    FIELD(Dpto),
    .ComponerCuenta = &ComponerCuenta,
    FIELD(IBAN),
    FIELD(Fecha_Mandato),
    .Dev_Saldo_PrevCobro = &DevSaldoPrevCobro,
    FIELD(IdMandato),
    FIELD(Sufijo_SEPA),
    FIELD(Secuencia_Adeudo),
    .Dev_Acumulado3 = &DevAcumuladoFiltered<BSTR, const std::string&, &clsCuenta::Dev_Acumulado3>,
    .CuentaDesarrollo = &CuentaDesarrollo,
    FIELD(Cod_Pais),
    FIELD(ContraparteIDOtroTipo),
    FIELD(Cod_Irpf),
    FIELD(Tipo_Irpf),
};

#undef FIELD

// Every field of the account record has its two accessors in the table
// (the compiler has checked that every entry there is filled).
static_assert(sizeof(kOperations) == (7 + 2 * kAccountFields.size() + 22) * sizeof(void*));

const ClassDescription& Description() {
  static const ClassDescription description{&IID__clsCuenta, kEarlierCuentaIds,
                                            std::size(kEarlierCuentaIds), &kOperations,
                                            LoadInterfaceInfo(IID__clsCuenta)};
  return description;
}

// clsDest must be an account of this component: the engine loads into it.
clsCuenta* EngineOf(_clsCuenta* destination) {
  if (destination == nullptr) return nullptr;
  if (destination->lpVtbl != &kOperations) RaiseRuntimeError(error_number::kTypeMismatch);
  return &OwnerOf<CuentaObject>(destination).engine;
}

}  // namespace

HRESULT CreateCuenta(REFIID iid, void** out) { return CreateObject<CuentaObject>(iid, out); }

}  // namespace vornexa::com
