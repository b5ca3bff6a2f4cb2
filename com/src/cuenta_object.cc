// clsCuenta: the engine's account behind the dual interface _clsCuenta. The
// 90 field accessors come from the account record table; the other members
// are listed here in interface order and placed between them.
#include <array>
#include <utility>

#include "com/src/ado_connection.h"
#include "com/src/classes.h"
#include "com/src/company.h"
#include "com/src/error_info.h"
#include "com/src/module.h"
#include "com/src/property_accessors.h"
#include "Vornexa.h"
#include "vornexa/accounts/account_record.h"

namespace vornexa::com {

namespace {

const ClassDescription& Description();

class CuentaObject : public AutomationObject {
 public:
  CuentaObject() : AutomationObject(Description()) {}
  clsCuenta engine;
};

}  // namespace

const IID kEarlierCuentaIds[kEarlierCuentaIdCount] = {
    {0x90B5E147, 0xD631, 0x4B6A, {0xA4, 0x9D, 0xB8, 0xE7, 0x76, 0x9E, 0x72, 0x7B}},
    {0xC3BB9F45, 0x02DA, 0x4EEB, {0x93, 0x0E, 0xDE, 0x11, 0x38, 0xB9, 0xAA, 0xCC}},
    {0xDC1A4DFF, 0x01DB, 0x46E4, {0xA7, 0x40, 0x06, 0x18, 0xA3, 0xA6, 0xCE, 0x95}},
    {0xDE0293F3, 0xF16C, 0x4672, {0xB8, 0xC7, 0xB7, 0x84, 0x6D, 0x77, 0x6C, 0xA8}},
    {0xF1CACFBE, 0x6C32, 0x4F2B, {0x86, 0x85, 0x85, 0x3C, 0x3D, 0x10, 0xA5, 0x33}},
    {0x96F01F93, 0xBCFD, 0x4E6C, {0x9F, 0xC7, 0x81, 0x59, 0x43, 0xE7, 0x15, 0x87}},
    {0x6EDF5E13, 0x9607, 0x4C83, {0x88, 0x77, 0x52, 0x7F, 0x70, 0xC9, 0x90, 0x62}},
    {0x8DA34D4A, 0xB0A3, 0x4965, {0xA1, 0x71, 0xA4, 0xCD, 0xB9, 0xB4, 0x81, 0xFD}},
    {0x803DF3D7, 0x1612, 0x43BD, {0xA1, 0xFF, 0x6D, 0x09, 0x06, 0x6F, 0xB0, 0xFA}},
    {0x9C06D8AB, 0x8E88, 0x4E8C, {0xB6, 0x09, 0x12, 0x7B, 0xAB, 0x3E, 0x82, 0x07}},
    {0xB9F97A45, 0x8143, 0x47A9, {0xB3, 0xC3, 0xAB, 0x14, 0x29, 0x9E, 0x0A, 0x7C}},
    {0x441A92BE, 0x4199, 0x4983, {0xAB, 0x16, 0x1F, 0x51, 0xE1, 0x03, 0xF1, 0xB0}},
    {0xC8A05484, 0xF092, 0x473A, {0x8D, 0xA1, 0xE0, 0x51, 0x29, 0x49, 0x40, 0x53}},
    {0x79F780F5, 0x762A, 0x433C, {0x9F, 0xD6, 0xDF, 0x02, 0xEA, 0xBA, 0x0A, 0x1A}},
    {0x63D0F1F7, 0xD439, 0x426D, {0xBC, 0xCC, 0x9E, 0x6D, 0x07, 0x9B, 0x82, 0xC6}},
    {0x1931AA9A, 0x0D93, 0x46B8, {0xB2, 0x4E, 0x83, 0x36, 0xD1, 0x8F, 0xE4, 0x00}},
};

namespace {

// The member's engine operation under the member's error convention.
template <typename Body>
HRESULT Run(DualInterface* self, Body&& body) {
  return Guard(IID__clsCuenta, [&] { body(OwnerOf<CuentaObject>(self).engine); });
}

HRESULT STDMETHODCALLTYPE PutrefConexion(DualInterface* self, IDispatch* connection) {
  return Run(self, [&](clsCuenta& account) {
    if (connection != nullptr) PinModule();
    account.Conexion(WrapAdoConnection(connection));
  });
}

HRESULT STDMETHODCALLTYPE PutrefEmpresa(DualInterface* self, IDispatch* company) {
  return Run(self, [&](clsCuenta& account) { account.cEmpresa(WrapCompany(company)); });
}

template <bool (clsCuenta::*Operation)()>
HRESULT STDMETHODCALLTYPE Ask(DualInterface* self, VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) { *result = ToVariantBool((account.*Operation)()); });
}

clsCuenta* EngineOf(DualInterface* destination);

template <bool (clsCuenta::*Operation)(clsCuenta*)>
HRESULT STDMETHODCALLTYPE Navigate(DualInterface* self, DualInterface* destination,
                                   VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    *result = ToVariantBool((account.*Operation)(EngineOf(destination)));
  });
}

HRESULT STDMETHODCALLTYPE Reparar(DualInterface* self) {
  return Run(self, [](clsCuenta& account) { account.Reparar_Acumulado(); });
}

HRESULT STDMETHODCALLTYPE DevAcumulado(DualInterface* self, SHORT exercise, DATE from, DATE to,
                                       CURRENCY* debit, CURRENCY* credit) {
  if (debit == nullptr || credit == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    Currency debe = FromAutomationCurrency(*debit), haber = FromAutomationCurrency(*credit);
    account.Dev_Acumulado(exercise, FromAutomationDate(from), FromAutomationDate(to), debe, haber);
    *debit = ToAutomationCurrency(debe);
    *credit = ToAutomationCurrency(haber);
  });
}

// Dev_Acumulado2 (document number) and Dev_Acumulado3 (document text).
template <typename Document, typename Engine,
          void (clsCuenta::*Operation)(int16_t, Date, Date, Currency, Currency, const std::string&,
                                       Engine, int16_t, int16_t, Currency&, Currency&)>
HRESULT STDMETHODCALLTYPE DevAcumuladoFiltered(DualInterface* self, SHORT exercise, DATE from,
                                               DATE to, CURRENCY amount, CURRENCY variation,
                                               BSTR concept_text, Document document, SHORT department,
                                               SHORT journal, CURRENCY* debit, CURRENCY* credit) {
  if (debit == nullptr || credit == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    Currency debe = FromAutomationCurrency(*debit), haber = FromAutomationCurrency(*credit);
    (account.*Operation)(exercise, FromAutomationDate(from), FromAutomationDate(to),
                         FromAutomationCurrency(amount), FromAutomationCurrency(variation),
                         FromBstr(concept_text), AutomationForm<std::decay_t<Engine>>::In(document),
                         department, journal, debe, haber);
    *debit = ToAutomationCurrency(debe);
    *credit = ToAutomationCurrency(haber);
  });
}

template <Currency (clsCuenta::*Operation)(int16_t)>
HRESULT STDMETHODCALLTYPE BalanceOfExercise(DualInterface* self, SHORT exercise, CURRENCY* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    *result = ToAutomationCurrency((account.*Operation)(exercise));
  });
}

HRESULT STDMETHODCALLTYPE DevSaldoCartera(DualInterface* self, CURRENCY* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self,
             [&](clsCuenta& account) { *result = ToAutomationCurrency(account.Dev_Saldo_Cartera()); });
}

HRESULT STDMETHODCALLTYPE DevSaldoPrevCobro(DualInterface* self, BSTR states, CURRENCY* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    *result = ToAutomationCurrency(account.Dev_Saldo_PrevCobro(FromBstr(states)));
  });
}

HRESULT STDMETHODCALLTYPE ComponerCuenta(DualInterface* self, BSTR root, LONG number, SHORT digits,
                                         BSTR* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    *result = ToBstr(account.ComponerCuenta(FromBstr(root), number, digits));
  });
}

HRESULT STDMETHODCALLTYPE CuentaDesarrollo(DualInterface* self, BSTR short_form, BSTR* result) {
  if (result == nullptr) return E_POINTER;
  return Run(self, [&](clsCuenta& account) {
    *result = ToBstr(account.CuentaDesarrollo(FromBstr(short_form)));
  });
}

// The members that are not fields, in interface order.
constexpr size_t kOperationCount = 22;

const void* const* Operations() {
  static const void* const operations[kOperationCount] = {
    Slot(&PutrefConexion),
    Slot(&PutrefEmpresa),
    Slot(&Navigate<&clsCuenta::Cargar_Anterior>),
    Slot(&Navigate<&clsCuenta::Cargar_Primero>),
    Slot(&Navigate<&clsCuenta::Cargar_Siguiente>),
    Slot(&Navigate<&clsCuenta::Cargar_Ultimo>),
    Slot(&Ask<&clsCuenta::Cargar>),
    Slot(&Ask<&clsCuenta::Modificar>),
    Slot(&Ask<&clsCuenta::Insertar>),
    Slot(&Ask<&clsCuenta::Eliminar>),
    Slot(&Ask<&clsCuenta::Posee_Movimientos>),
    Slot(&Ask<&clsCuenta::Existe>),
    Slot(&DevAcumulado),
    Slot(&BalanceOfExercise<&clsCuenta::Dev_Apertura>),
    Slot(&BalanceOfExercise<&clsCuenta::Dev_Saldo>),
    Slot(&Reparar),
    Slot(&DevSaldoCartera),
    Slot(&DevAcumuladoFiltered<LONG, int32_t, &clsCuenta::Dev_Acumulado2>),
    Slot(&ComponerCuenta),
    Slot(&DevSaldoPrevCobro),
    Slot(&DevAcumuladoFiltered<BSTR, const std::string&, &clsCuenta::Dev_Acumulado3>),
    Slot(&CuentaDesarrollo),
  };
  return operations;
}

constexpr size_t kMemberCount = kAccountFields.size() + kOperationCount;
constexpr size_t kSlotCount = kDispatchSlotCount + 2 * kAccountFields.size() + kOperationCount;
static_assert(kMemberCount == 67, "_clsCuenta has 67 members");

// A field's accessors occupy two entries; every other member one.
constexpr size_t SlotOfPosition(int position) {
  size_t slot = kDispatchSlotCount + static_cast<size_t>(position);
  for (const AccountField& field : kAccountFields) {
    if (field.interface_position < position) ++slot;
  }
  return slot;
}

template <size_t I>
using FieldAccessors =
    PropertyAccessors<CuentaObject, std::get<kAccountFields[I].member.index()>(kAccountFields[I].member)>;

template <size_t... I>
void PlaceFields(std::array<const void*, kSlotCount>& table, std::index_sequence<I...>) {
  ((table[SlotOfPosition(kAccountFields[I].interface_position)] = Slot(&FieldAccessors<I>::Get),
    table[SlotOfPosition(kAccountFields[I].interface_position) + 1] = Slot(&FieldAccessors<I>::Put)),
   ...);
}

std::array<const void*, kSlotCount> BuildTable() {
  std::array<const void*, kSlotCount> table{};
  std::copy(DispatchSlots(), DispatchSlots() + kDispatchSlotCount, table.begin());
  PlaceFields(table, std::make_index_sequence<kAccountFields.size()>());
  const void* const* operation = Operations();
  for (const void*& entry : table) {
    if (entry == nullptr) entry = *operation++;
  }
  return table;
}

const ClassDescription& Description() {
  static const std::array<const void*, kSlotCount> table = BuildTable();
  static const ClassDescription description{&IID__clsCuenta, kEarlierCuentaIds,
                                            kEarlierCuentaIdCount, table.data()};
  return description;
}


// clsDest must be an account of this component: the engine loads into it.
clsCuenta* EngineOf(DualInterface* destination) {
  if (destination == nullptr) return nullptr;
  if (destination->vtable != Description().vtable) RaiseRuntimeError(error_number::kTypeMismatch);
  return &OwnerOf<CuentaObject>(destination).engine;
}

}  // namespace

HRESULT CreateCuenta(REFIID iid, void** out) { return CreateObject<CuentaObject>(iid, out); }

}  // namespace vornexa::com
