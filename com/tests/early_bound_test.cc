// An early-bound client of the registered component: calls through the
// table of operations and through IDispatch with their error information,
// calls from other apartments under every interface id, the shared
// connection's life on a thread, the version resource and unloading. (The
// table of operations itself is checked when the component is compiled.)
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Vornexa.h"
#include "com/src/automation_values.h"

namespace {

using vornexa::com::Variant;

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() { Reset(); }
  void Reset() {
    if (p) p->Release();
    p = nullptr;
  }
  T** out() { return &p; }
  void** as_void() { return reinterpret_cast<void**>(&p); }
  T* operator->() { return p; }
};

template <typename T>
T* New(REFCLSID class_id, REFIID iid) {
  T* object = nullptr;
  EXPECT_EQ(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, iid,
                             reinterpret_cast<void**>(&object)), S_OK);
  return object;
}

// A BSTR freed at the end of the statement that makes it, or of its scope.
struct Text {
  BSTR text;
  ~Text() { SysFreeString(text); }
};

// The thread's error object as "source | description"; "" when there is none.
std::wstring ErrorText() {
  Released<IErrorInfo> error;
  if (GetErrorInfo(0, error.out()) != S_OK) return L"";
  Text source{nullptr}, description{nullptr};
  error->GetSource(&source.text);
  error->GetDescription(&description.text);
  return std::wstring(source.text ? source.text : L"") + L" | " +
         (description.text ? description.text : L"");
}

// Every interface id of _clsCuenta: the present one, then the sixteen earlier.
const IID* const kCuentaIds[] = {
    &IID__clsCuenta,    &IID__clsCuenta_1,  &IID__clsCuenta_2,  &IID__clsCuenta_3,
    &IID__clsCuenta_4,  &IID__clsCuenta_5,  &IID__clsCuenta_6,  &IID__clsCuenta_7,
    &IID__clsCuenta_8,  &IID__clsCuenta_9,  &IID__clsCuenta_10, &IID__clsCuenta_11,
    &IID__clsCuenta_12, &IID__clsCuenta_13, &IID__clsCuenta_14, &IID__clsCuenta_15,
    &IID__clsCuenta_16,
};

constexpr HRESULT kError1000 = static_cast<HRESULT>(0x800A03E8);  // as Basic reads 1000
constexpr HRESULT kError91 = static_cast<HRESULT>(0x800A005B);

// Invokes `object`'s member `name` late-bound with `args` (last argument
// first), `named` naming the first of them; the status, or the one raised
// with "source | description" in `error`.
HRESULT Invoke(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args,
               std::vector<const wchar_t*> named, std::wstring* error) {
  std::vector<LPOLESTR> names = {const_cast<LPOLESTR>(name)};
  for (const wchar_t* n : named) names.push_back(const_cast<LPOLESTR>(n));
  std::vector<DISPID> ids(names.size());
  object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), 0, ids.data());
  DISPPARAMS params{args.data(), ids.data() + 1, static_cast<UINT>(args.size()),
                    static_cast<UINT>(named.size())};
  EXCEPINFO exception{};
  Variant result;
  HRESULT status = object->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, result.get(),
                                   &exception, nullptr);
  if (status != DISP_E_EXCEPTION) return status;
  *error = std::wstring(exception.bstrSource) + L" | " + exception.bstrDescription;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  return exception.scode;
}

// One call each: its status and the error object it leaves (an earlier one
// must not survive a failure).
TEST(Account, CallsAndTheirErrorInformation) {
  Released<_clsCuenta> account{New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta)};
  const wchar_t unpaired[] = {L'a', 0xD800, L'b', 0};
  VARIANT_BOOL done;
  CURRENCY debe{}, haber{};
  const std::wstring no_object = L"Variable de objeto o bloque With no establecido";
  struct Case {
    const char* what;
    std::function<HRESULT()> call;
    HRESULT status;
    std::wstring error;
  };
  const Case cases[] = {
      {"a read into a null pointer", [&] { return account->get_Nombre(nullptr); }, E_POINTER, L""},
      {"Invoke without DISPPARAMS", [&] {
         Variant name;
         return account->Invoke(0x40030026, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, name.get(),
                                nullptr, nullptr);
       }, S_OK, L""},
      {"a date out of range", [&] { return account->Dev_Acumulado(0, 1e10, 0, &debe, &haber); },
       kError91, L"Cuentas::Dev_Acumulado | " + no_object},
      {"named by-reference arguments", [&] {
         Variant debit, credit, date, exercise;  // the amounts as a script's Integer 5
         for (VARIANT* v : {debit.get(), credit.get(), exercise.get()}) {
           V_VT(v) = VT_I2;
           V_I2(v) = 5;
         }
         V_VT(date.get()) = VT_DATE;
         V_DATE(date.get()) = 45000;
         VARIANT by_reference[2];
         V_VT(&by_reference[0]) = V_VT(&by_reference[1]) = VT_VARIANT | VT_BYREF;
         V_VARIANTREF(&by_reference[0]) = credit.get();
         V_VARIANTREF(&by_reference[1]) = debit.get();
         std::wstring error;
         const HRESULT status =
             Invoke(account.p, L"Dev_Acumulado",
                    {by_reference[0], by_reference[1], *date, *date, *exercise},
                    {L"dblHaber", L"dblDebe", L"dteFechaF", L"dteFechaI", L"intEjercicio"}, &error);
         EXPECT_EQ(error, L"Cuentas::Dev_Acumulado | " + no_object);
         EXPECT_EQ(V_VT(debit.get()), VT_I2);  // failed before its query: left as passed
         return status;
       }, kError91, L""},  // the error object went into the exception information
      {"a returned text on failure", [&] {
         BSTR result = SysAllocString(L"stale");
         const HRESULT status =
             account->CuentaDesarrollo(Text{SysAllocString(L"43.1")}.text, &result);
         EXPECT_EQ(result, nullptr);
         return status;
       }, kError91, L"Vornexa | " + no_object},
      {"an unpaired surrogate", [&] {
         account->put_Cuenta(Text{SysAllocString(L"4300")}.text);
         account->put_Nombre(Text{SysAllocString(unpaired)}.text);
         Text read{nullptr};
         account->get_Nombre(&read.text);
         EXPECT_STREQ(read.text, unpaired);  // kept as written
         return account->Modificar(&done);
       }, kError1000,
       L"Cuentas::Modificar | El campo Nombre contiene texto que no es UTF-8 válido"},
  };
  Released<_clsGrupo> group{New<_clsGrupo>(CLSID_clsGrupo, IID__clsGrupo)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    group->Insertar(&done);  // no connection: its error object is left behind
    EXPECT_EQ(c.call(), c.status);
    if (FAILED(c.status)) EXPECT_EQ(ErrorText(), c.error);
  }
}

DWORD WINAPI RunBody(void* body) {
  (*static_cast<std::function<void()>*>(body))();
  return 0;
}

// Runs `body` on a thread of its own while this thread, a single-threaded
// apartment, keeps serving calls to its objects.
void OnItsOwnThread(std::function<void()> body) {
  HANDLE thread = CreateThread(nullptr, 0, &RunBody, &body, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  DWORD index;
  CoWaitForMultipleHandles(0, INFINITE, 1, &thread, &index);
  CloseHandle(thread);
}

// The object stays in this apartment; its pointer, under each interface id,
// goes to a thread of the multithreaded apartment and to another
// single-threaded one, which call a method, a property and a failing
// operation through the proxy.
TEST(Account, CalledFromOtherApartments) {
  Released<_clsCuenta> account{New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta)};
  for (const DWORD apartment : {COINIT_MULTITHREADED, COINIT_APARTMENTTHREADED}) {
    for (const IID* id : kCuentaIds) {
      const IID& iid = *id;
      SCOPED_TRACE(testing::Message() << "apartment " << apartment << ", id " << iid.Data1);
      IStream* stream = nullptr;
      ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(iid, account.p, &stream), S_OK);
      OnItsOwnThread([&] {
        CoInitializeEx(nullptr, apartment);
        Released<_clsCuenta> proxy;
        ASSERT_EQ(CoGetInterfaceAndReleaseStream(stream, iid, proxy.as_void()), S_OK);
        Text composed{nullptr}, name{nullptr};
        EXPECT_EQ(proxy->ComponerCuenta(Text{SysAllocString(L"57")}.text, 12, 8, &composed.text),
                  S_OK);
        EXPECT_STREQ(composed.text, L"57000012");
        EXPECT_EQ(proxy->put_Nombre(Text{SysAllocString(L"Caja")}.text), S_OK);
        EXPECT_EQ(proxy->get_Nombre(&name.text), S_OK);
        EXPECT_STREQ(name.text, L"Caja");
        Released<ISupportErrorInfo> support;
        ASSERT_EQ(proxy->QueryInterface(IID_ISupportErrorInfo, support.as_void()), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(iid), S_OK);
        // A late-bound call, whose exception information carries the error
        // object (wine's COM does not carry that of an early-bound one).
        proxy->put_Cuenta(nullptr);
        std::wstring error;
        EXPECT_EQ(Invoke(proxy.p, L"Modificar", {}, {}, &error), kError1000);
        EXPECT_EQ(error, L"Cuentas::Modificar | No se ha especificado el numero de cuenta");
        proxy.Reset();
        CoUninitialize();
      });
    }
  }
  Released<ISupportErrorInfo> support;
  ASSERT_EQ(account->QueryInterface(IID_ISupportErrorInfo, support.as_void()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
  Released<IUnknown> group;
  EXPECT_EQ(account->QueryInterface(IID__clsGrupo, group.as_void()), E_NOINTERFACE);
}

HRESULT (STDAPICALLTYPE* CanUnload(const wchar_t* dll))() {
  return reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      GetProcAddress(GetModuleHandleW(dll), "DllCanUnloadNow"));
}

// The shared connection is per thread: a group on a second thread does not
// see the first thread's connection. A thread's connection is released when
// the thread uninitialises COM, and never after COM is gone or where the
// thread's end runs (the test ADO stand-in stops the tests if it is); nor is
// a company object.
TEST(SharedConnection, OnePerThreadAndReleasedWhileCOMIsUsable) {
  auto insert_status = [] {
    Released<_clsGrupo> group{New<_clsGrupo>(CLSID_clsGrupo, IID__clsGrupo)};
    VARIANT_BOOL done;
    return group.p ? group->Insertar(&done) : E_FAIL;
  };
  CLSID ado;
  ASSERT_EQ(CLSIDFromProgID(L"ADODB.Connection", &ado), S_OK);
  auto connection = [&] { return Released<IDispatch>{New<IDispatch>(ado, IID_IDispatch)}; };
  auto store = [](IDispatch* connection) {
    Released<_clsCuenta> account{New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta)};
    ASSERT_EQ(account->putref_Conexion(connection), S_OK);
  };

  store(connection().p);
  // The stored connection is not open: the stand-in refuses, as ADO does (3709).
  EXPECT_EQ(insert_status(), static_cast<HRESULT>(0x800A0E7D));
  store(nullptr);
  ASSERT_EQ(CanUnload(L"AdoStandin.dll")(), S_OK);
  HRESULT second_thread = S_OK;
  OnItsOwnThread([&] {
    CoInitialize(nullptr);
    second_thread = insert_status();  // no connection on this thread: 91
    store(connection().p);
    CoUninitialize();
  });
  EXPECT_EQ(second_thread, kError91);
  EXPECT_EQ(CanUnload(L"AdoStandin.dll")(), S_OK);
  OnItsOwnThread([&] {
    Released<_clsCuenta> outliving;  // released once COM is gone on its thread
    CoInitialize(nullptr);
    outliving.p = New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta);
    outliving->putref_cEmpresa(connection().p);
    CoUninitialize();
  });
  OnItsOwnThread([&] {
    CoInitialize(nullptr);
    store(connection().p);  // the thread ends with COM still initialised
  });
  EXPECT_EQ(insert_status(), kError91);
}

// The version resource of the DLL at `path`.
void ExpectVersion(const wchar_t* path) {
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* info;
  UINT size;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size));
  EXPECT_EQ(info->dwFileVersionMS, (1u << 16) | 2u);
  EXPECT_EQ(info->dwFileVersionLS, (0u << 16) | 26u);
}

// The version resource, and unloading only when no object is alive.
TEST(Module, VersionAndUnloading) {
  Released<IUnknown> group{New<IUnknown>(CLSID_clsGrupo, IID_IUnknown)};
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(GetModuleHandleW(L"Vornexa.dll"), path, MAX_PATH);
  ExpectVersion(path);

  const auto can_unload = CanUnload(L"Vornexa.dll");
  ASSERT_NE(can_unload, nullptr);
  EXPECT_EQ(can_unload(), S_FALSE);
  group.Reset();
  EXPECT_EQ(can_unload(), S_OK);
}

// A type library's version, and each of its types' id and number of members.
std::wstring Describe(const wchar_t* path) {
  Released<ITypeLib> library;
  if (LoadTypeLibEx(path, REGKIND_NONE, library.out()) != S_OK) return L"unreadable";
  TLIBATTR* attributes;
  library->GetLibAttr(&attributes);
  std::wstring text = std::to_wstring(attributes->wMajorVerNum) + L"." +
                      std::to_wstring(attributes->wMinorVerNum);
  library->ReleaseTLibAttr(attributes);
  for (UINT t = 0; t < library->GetTypeInfoCount(); ++t) {
    Released<ITypeInfo> info;
    TYPEATTR* type;
    library->GetTypeInfo(t, info.out());
    info->GetTypeAttr(&type);
    wchar_t id[40];
    StringFromGUID2(type->guid, id, 40);
    text += std::wstring(L" ") + id + L":" + std::to_wstring(type->cFuncs);
    info->ReleaseTypeAttr(type);
  }
  return text;
}

// The 32-bit DLL, read without running it where 32-bit programs cannot run
// (VORNEXA_DLL32 names it): its type library is the 64-bit one's, so both
// register the same ids, and its version is the same.
TEST(Dll32, SameTypeLibraryAndVersion) {
  const char* dll32 = getenv("VORNEXA_DLL32");
  if (dll32 == nullptr) GTEST_SKIP() << "VORNEXA_DLL32 names no 32-bit DLL";
  const std::wstring path32(dll32, dll32 + strlen(dll32));
  Text path64{nullptr};
  ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_Vornexa, 23, 16, LANG_NEUTRAL, &path64.text), S_OK);
  EXPECT_EQ(Describe(path32.c_str()), Describe(path64.text));
  EXPECT_NE(Describe(path64.text), L"unreadable");
  ExpectVersion(path32.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (CoInitialize(nullptr) != S_OK) return 1;
  const int status = RUN_ALL_TESTS();
  CoUninitialize();
  return status;
}
