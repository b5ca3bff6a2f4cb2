// What the component adds to a call: Cargar and Dev_Saldo made late-bound
// through Vornexa.dll (IDispatch by dispatch id, the ADO adapter, the ADO
// stand-in) against the same calls on the engine directly, both over the same
// database through the platform's ODBC; and, without a database, a field
// written and read and ComponerCuenta, which show the component's own cost
// per late-bound call. Prints microseconds per call.
//
//   layer_cost.exe ODBC_CONNECTION_STRING [CALLS]
#include <windows.h>
#include <oaidl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "Vornexa.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/context/empresa.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"

namespace {

double MicrosecondsPerCall(int calls, const std::function<void()>& call) {
  call();  // warm: connection, caches, first statements
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) call();
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / calls;
}

IDispatch* Create(const wchar_t* prog_id) {
  CLSID id;
  IDispatch* object = nullptr;
  if (FAILED(CLSIDFromProgID(prog_id, &id)) ||
      FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object)))) {
    std::fprintf(stderr, "cannot create %ls\n", prog_id);
    std::exit(1);
  }
  return object;
}

void Invoke(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{args, flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) ? &named : nullptr,
                    count, flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) ? 1u : 0u};
  EXCEPINFO exception{};
  if (FAILED(object->Invoke(id, IID_NULL, 0, flags, &params, result, &exception, nullptr))) {
    std::fprintf(stderr, "call %ld failed: %ls\n", id, exception.bstrDescription);
    std::exit(1);
  }
}

// The engine's company behind IDispatch, so that both paths ask the same one.
class CompanyDispatch : public IDispatch {
 public:
  explicit CompanyDispatch(vornexa::Empresa& company) : company_(company) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
    static const wchar_t* const kNames[] = {L"Codigo", L"Ejercicio", L"DigitosCuenta",
                                            L"DigitosNivel", L"Ejercicios", L"MultiEjercicio",
                                            L"UltimoEjercicio"};
    for (DISPID i = 0; i < 7; ++i) {
      if (lstrcmpiW(names[0], kNames[i]) == 0) {
        *id = i + 1;
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    const int16_t index = params->cArgs > 0 ? V_I2(&params->rgvarg[0]) : 0;
    V_VT(result) = VT_I2;
    switch (id) {
      case 1: V_I2(result) = company_.Codigo(); break;
      case 2: V_I2(result) = company_.Ejercicio(); break;
      case 3: V_I2(result) = company_.DigitosCuenta(); break;
      case 4: V_I2(result) = company_.DigitosNivel(index); break;
      case 5: V_I2(result) = company_.Ejercicios(index); break;
      case 6: V_I2(result) = company_.MultiEjercicio(); break;
      default: V_I2(result) = company_.UltimoEjercicio(); break;
    }
    return S_OK;
  }

 private:
  vornexa::Empresa& company_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const int calls = argc > 2 ? std::atoi(argv[2]) : 500;
  CoInitialize(nullptr);
  wchar_t wide[1024];
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, wide, 1024);

  // The database: one account with its accumulator row.
  auto engine_connection = vornexa::OpenOdbc(argv[1], vornexa::Dialect::PostgreSql);
  vornexa::CreateSchema(*engine_connection);
  auto company = std::make_shared<vornexa::Empresa>();
  company->codigo = 92;
  company->ejercicio = 2024;
  company->digitos_cuenta = 8;
  company->digitos_nivel = {1, 2, 3, 4, 5, 8};
  company->ejercicios = {2024};
  engine_connection->Execute("DELETE FROM Cuentas WHERE Cod_Empresa = 92");
  engine_connection->Execute("DELETE FROM Acumulados WHERE Cod_Empresa = 92");
  vornexa::clsCuenta direct;
  direct.Conexion(engine_connection);
  direct.cEmpresa(company);
  direct.Cuenta = "57000001";
  direct.NoVerificarNivelesSup = true;
  direct.Insertar();

  const double direct_load = MicrosecondsPerCall(calls, [&] { direct.Cargar(); });
  const double direct_balance = MicrosecondsPerCall(calls, [&] { direct.Dev_Saldo(2024); });

  // The same through the component, late-bound, on an ADO-shaped connection.
  IDispatch* connection = Create(L"ADODB.Connection");
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = SysAllocString(wide);
  Invoke(connection, 1, DISPATCH_METHOD, &text, 1, nullptr);  // Open
  IDispatch* account = Create(L"Vornexa.clsCuenta");
  CompanyDispatch company_object(*company);
  IDispatch* script_company = &company_object;
  VARIANT object;
  V_VT(&object) = VT_DISPATCH;
  V_DISPATCH(&object) = connection;
  Invoke(account, 0x6803000E, DISPATCH_PROPERTYPUTREF, &object, 1, nullptr);  // Conexion
  V_DISPATCH(&object) = script_company;
  Invoke(account, 0x6803000D, DISPATCH_PROPERTYPUTREF, &object, 1, nullptr);  // cEmpresa
  VARIANT code;
  V_VT(&code) = VT_BSTR;
  V_BSTR(&code) = SysAllocString(L"57000001");
  Invoke(account, 0x40030021, DISPATCH_PROPERTYPUT, &code, 1, nullptr);  // Cuenta
  VARIANT result, exercise;
  V_VT(&exercise) = VT_I2;
  V_I2(&exercise) = 2024;
  const double com_load = MicrosecondsPerCall(calls, [&] {
    VariantInit(&result);
    Invoke(account, 0x60030014, DISPATCH_METHOD, nullptr, 0, &result);  // Cargar
  });
  const double com_balance = MicrosecondsPerCall(calls, [&] {
    VariantInit(&result);
    Invoke(account, 0x6003001D, DISPATCH_METHOD, &exercise, 1, &result);  // Dev_Saldo
  });

  // Without the database, many more calls: the component alone.
  VARIANT name, root, number, digits;
  V_VT(&name) = VT_BSTR;
  V_BSTR(&name) = SysAllocString(L"Bancos, c/c");
  const double field = MicrosecondsPerCall(calls * 100, [&] {
    Invoke(account, 0x40030026, DISPATCH_PROPERTYPUT, &name, 1, nullptr);  // Nombre
    VariantInit(&result);
    Invoke(account, 0x40030026, DISPATCH_PROPERTYGET, nullptr, 0, &result);
    VariantClear(&result);
  });
  V_VT(&root) = VT_BSTR;
  V_BSTR(&root) = SysAllocString(L"57");
  V_VT(&number) = VT_I4;
  V_I4(&number) = 12;
  V_VT(&digits) = VT_I2;
  V_I2(&digits) = 8;
  VARIANT compose_args[] = {digits, number, root};  // last argument first
  const double compose = MicrosecondsPerCall(calls * 100, [&] {
    VariantInit(&result);
    Invoke(account, 0x60030027, DISPATCH_METHOD, compose_args, 3, &result);  // ComponerCuenta
    VariantClear(&result);
  });

  // The same with the arguments as script engines pass variables: by reference.
  VARIANT by_reference[3];
  for (int i = 0; i < 3; ++i) {
    V_VT(&by_reference[i]) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&by_reference[i]) = &compose_args[i];
  }
  const double compose_by_reference = MicrosecondsPerCall(calls * 100, [&] {
    VariantInit(&result);
    Invoke(account, 0x60030027, DISPATCH_METHOD, by_reference, 3, &result);
    VariantClear(&result);
  });

  std::printf("Cargar     engine %8.1f us  component %8.1f us  layer %8.1f us\n", direct_load,
              com_load, com_load - direct_load);
  std::printf("Dev_Saldo  engine %8.1f us  component %8.1f us  layer %8.1f us\n", direct_balance,
              com_balance, com_balance - direct_balance);
  std::printf("Nombre written and read  component %6.2f us\n", field);
  std::printf("ComponerCuenta           component %6.2f us\n", compose);
  std::printf("  arguments by reference  component %6.2f us\n", compose_by_reference);
  return 0;
}
