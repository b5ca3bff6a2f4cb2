// An early-bound client of the registered component: the type library
// member by member against the account record table and the interface
// tables, the earlier interface ids, calls through the table of operations,
// error information, the version resource and unloading.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Vornexa.h"
#include "com/src/automation_values.h"
#include "vornexa/accounts/account_record.h"

namespace {

using vornexa::AccountField;
using vornexa::FieldType;
using vornexa::kAccountFields;
using vornexa::com::Variant;

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
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

VARTYPE AutomationType(FieldType type) {
  switch (type) {
    case FieldType::kText: return VT_BSTR;
    case FieldType::kInteger: return VT_I2;
    case FieldType::kLong: return VT_I4;
    case FieldType::kBoolean: return VT_BOOL;
  }
  return VT_EMPTY;
}

// One member of an interface as the type library must declare it.
struct Member {
  const wchar_t* name;
  DISPID id;
  INVOKEKIND kind;
  std::vector<VARTYPE> params;  // VT_PTR|x stands for x by reference
  VARTYPE result;               // VT_EMPTY: none
};

constexpr VARTYPE kByRef = 0x4000;  // marks a by-reference parameter below
constexpr VARTYPE kAccount = VT_USERDEFINED;  // optional _clsCuenta

// _clsCuenta's members that are not fields, in interface order.
const std::vector<Member> kCuentaOperations = {
    {L"Conexion", 0x6803000E, INVOKE_PROPERTYPUTREF, {VT_DISPATCH}, VT_EMPTY},
    {L"cEmpresa", 0x6803000D, INVOKE_PROPERTYPUTREF, {VT_DISPATCH}, VT_EMPTY},
    {L"Cargar_Anterior", 0x60030010, INVOKE_FUNC, {kAccount}, VT_BOOL},
    {L"Cargar_Primero", 0x60030011, INVOKE_FUNC, {kAccount}, VT_BOOL},
    {L"Cargar_Siguiente", 0x60030012, INVOKE_FUNC, {kAccount}, VT_BOOL},
    {L"Cargar_Ultimo", 0x60030013, INVOKE_FUNC, {kAccount}, VT_BOOL},
    {L"Cargar", 0x60030014, INVOKE_FUNC, {}, VT_BOOL},
    {L"Modificar", 0x60030015, INVOKE_FUNC, {}, VT_BOOL},
    {L"Insertar", 0x60030016, INVOKE_FUNC, {}, VT_BOOL},
    {L"Eliminar", 0x60030017, INVOKE_FUNC, {}, VT_BOOL},
    {L"Posee_Movimientos", 0x60030018, INVOKE_FUNC, {}, VT_BOOL},
    {L"Existe", 0x60030019, INVOKE_FUNC, {}, VT_BOOL},
    {L"Dev_Acumulado", 0x6003001A, INVOKE_FUNC,
     {VT_I2, VT_DATE, VT_DATE, kByRef | VT_CY, kByRef | VT_CY}, VT_EMPTY},
    {L"Dev_Apertura", 0x6003001B, INVOKE_FUNC, {VT_I2}, VT_CY},
    {L"Dev_Saldo", 0x6003001D, INVOKE_FUNC, {VT_I2}, VT_CY},
    {L"Reparar_Acumulado", 0x6003001F, INVOKE_FUNC, {}, VT_EMPTY},
    {L"Dev_Saldo_Cartera", 0x60030021, INVOKE_FUNC, {}, VT_CY},
    {L"Dev_Acumulado2", 0x60030023, INVOKE_FUNC,
     {VT_I2, VT_DATE, VT_DATE, VT_CY, VT_CY, VT_BSTR, VT_I4, VT_I2, VT_I2, kByRef | VT_CY,
      kByRef | VT_CY}, VT_EMPTY},
    {L"ComponerCuenta", 0x60030027, INVOKE_FUNC, {VT_BSTR, VT_I4, VT_I2}, VT_BSTR},
    {L"Dev_Saldo_PrevCobro", 0x60030029, INVOKE_FUNC, {VT_BSTR}, VT_CY},
    {L"Dev_Acumulado3", 0x6003002B, INVOKE_FUNC,
     {VT_I2, VT_DATE, VT_DATE, VT_CY, VT_CY, VT_BSTR, VT_BSTR, VT_I2, VT_I2, kByRef | VT_CY,
      kByRef | VT_CY}, VT_EMPTY},
    {L"CuentaDesarrollo", 0x6003002F, INVOKE_FUNC, {VT_BSTR}, VT_BSTR},
};

const std::vector<Member> kGrupoOperations = {
    {L"Conexion", 0x68030006, INVOKE_PROPERTYPUTREF, {VT_DISPATCH}, VT_EMPTY},
    {L"Insertar", 0x60030007, INVOKE_FUNC, {}, VT_BOOL},
    {L"Eliminar", 0x60030008, INVOKE_FUNC, {}, VT_BOOL},
    {L"Modificar", 0x60030009, INVOKE_FUNC, {}, VT_BOOL},
    {L"Cargar", 0x6003000A, INVOKE_FUNC, {}, VT_BOOL},
    {L"Existe", 0x6003000B, INVOKE_FUNC, {}, VT_BOOL},
};

// A field: its read accessor, then its write accessor.
void AddProperty(std::vector<Member>& members, const wchar_t* name, DISPID id, VARTYPE type) {
  members.push_back({name, id, INVOKE_PROPERTYGET, {}, type});
  members.push_back({name, id, INVOKE_PROPERTYPUT, {type}, VT_EMPTY});
}

std::vector<Member> GrupoMembers() {
  std::vector<Member> members;
  AddProperty(members, L"Empresa", 0x40030006, VT_I2);
  AddProperty(members, L"Codigo", 0x40030007, VT_I2);
  AddProperty(members, L"Nombre", 0x40030008, VT_BSTR);
  members.insert(members.end(), kGrupoOperations.begin(), kGrupoOperations.end());
  return members;
}

// _clsCuenta in full: each field's accessors at the field's place.
std::vector<Member> CuentaMembers() {
  static std::vector<std::wstring> names(std::size(kAccountFields));
  std::vector<Member> members;
  auto operation = kCuentaOperations.begin();
  for (int position = 0; position < 67; ++position) {
    auto field = std::find_if(std::begin(kAccountFields), std::end(kAccountFields),
                              [&](const AccountField& f) { return f.interface_position == position; });
    if (field == std::end(kAccountFields)) {
      members.push_back(*operation++);
      continue;
    }
    std::wstring& name = names[field - std::begin(kAccountFields)] =
        std::wstring(field->name.begin(), field->name.end());
    AddProperty(members, name.c_str(), field->dispatch_id, AutomationType(field->type));
  }
  EXPECT_EQ(operation, kCuentaOperations.end());
  return members;
}


VARTYPE ParameterType(const ELEMDESC& element) {
  const TYPEDESC& type = element.tdesc;
  if (type.vt == VT_PTR && (element.paramdesc.wParamFlags & PARAMFLAG_FOUT)) {
    return kByRef | type.lptdesc->vt;
  }
  if (type.vt == VT_PTR && type.lptdesc->vt == VT_USERDEFINED) return kAccount;
  return type.vt;
}

// The vtable half of the dual interface's type information, member by member.
void ExpectInterface(REFIID iid, const std::vector<Member>& expected) {
  Released<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(LIBID_Vornexa, 23, 16, LANG_NEUTRAL, library.out()), S_OK);
  Released<ITypeInfo> dispatch, info;
  ASSERT_EQ(library->GetTypeInfoOfGuid(iid, dispatch.out()), S_OK);
  HREFTYPE reference;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &reference), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeInfo(reference, info.out()), S_OK);
  TYPEATTR* attributes;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
  ASSERT_EQ(attributes->cFuncs, expected.size());
  info->ReleaseTypeAttr(attributes);

  for (size_t index = 0; index < expected.size(); ++index) {
    const Member& member = expected[index];
    FUNCDESC* function;
    ASSERT_EQ(info->GetFuncDesc(static_cast<UINT>(index), &function), S_OK);
    BSTR name = nullptr;
    info->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr);
    SCOPED_TRACE(testing::Message() << "member " << index);
    EXPECT_STREQ(name, member.name);
    SysFreeString(name);
    EXPECT_EQ(function->memid, member.id);
    EXPECT_EQ(function->invkind, member.kind);
    EXPECT_EQ(function->oVft, (7 + index) * sizeof(void*));
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
    std::vector<VARTYPE> params;
    VARTYPE result = VT_EMPTY;
    for (SHORT p = 0; p < function->cParams; ++p) {
      const ELEMDESC& element = function->lprgelemdescParam[p];
      if (element.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
        result = element.tdesc.lptdesc->vt;
      } else {
        params.push_back(ParameterType(element));
        EXPECT_TRUE(params.back() != kAccount || (element.paramdesc.wParamFlags & PARAMFLAG_FOPT));
      }
    }
    // A read accessor returns its value; the retval is its only parameter.
    EXPECT_EQ(params, member.params);
    EXPECT_EQ(result, member.result);
    info->ReleaseFuncDesc(function);
  }
}

TEST(TypeLibrary, ClsCuentaMemberByMember) { ExpectInterface(IID__clsCuenta, CuentaMembers()); }

TEST(TypeLibrary, ClsGrupoMemberByMember) { ExpectInterface(IID__clsGrupo, GrupoMembers()); }

const wchar_t* const kEarlierCuentaIds[] = {
    L"{90B5E147-D631-4B6A-A49D-B8E7769E727B}", L"{C3BB9F45-02DA-4EEB-930E-DE1138B9AACC}",
    L"{DC1A4DFF-01DB-46E4-A740-0618A3A6CE95}", L"{DE0293F3-F16C-4672-B8C7-B7846D776CA8}",
    L"{F1CACFBE-6C32-4F2B-8685-853C3D10A533}", L"{96F01F93-BCFD-4E6C-9FC7-815943E71587}",
    L"{6EDF5E13-9607-4C83-8877-527F70C99062}", L"{8DA34D4A-B0A3-4965-A171-A4CDB9B481FD}",
    L"{803DF3D7-1612-43BD-A1FF-6D09066FB0FA}", L"{9C06D8AB-8E88-4E8C-B609-127BAB3E8207}",
    L"{B9F97A45-8143-47A9-B3C3-AB14299E0A7C}", L"{441A92BE-4199-4983-AB16-1F51E103F1B0}",
    L"{C8A05484-F092-473A-8DA1-E05129494053}", L"{79F780F5-762A-433C-9FD6-DF02EABA0A1A}",
    L"{63D0F1F7-D439-426D-BCCC-9E6D079B82C6}", L"{1931AA9A-0D93-46B8-B24E-8336D18FE400}",
};

class Account : public testing::Test {
 protected:
  Released<_clsCuenta> account{New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta)};
};

TEST_F(Account, EarlierInterfaceIdsGiveThePresentInterface) {
  ASSERT_NE(account.p, nullptr);
  for (const wchar_t* text : kEarlierCuentaIds) {
    IID iid;
    ASSERT_EQ(IIDFromString(text, &iid), S_OK);
    Released<IUnknown> earlier;
    ASSERT_EQ(account->QueryInterface(iid, earlier.as_void()), S_OK);
    EXPECT_EQ(static_cast<void*>(earlier.p), static_cast<void*>(account.p));
  }
  Released<IUnknown> group;
  EXPECT_EQ(account->QueryInterface(IID__clsGrupo, group.as_void()), E_NOINTERFACE);
}

// Calls entry `index` of the table of operations with one argument.
HRESULT CallEntry(IUnknown* object, size_t index, VARTYPE type, VARIANT* argument) {
  VARIANT status;
  VARTYPE types[] = {type};
  const HRESULT call = DispCallFunc(object, (7 + index) * sizeof(void*), CC_STDCALL, VT_ERROR, 1,
                                    types, &argument, &status);
  return FAILED(call) ? call : V_ERROR(&status);
}

// Every field written, then all read back, through the table of operations
// at the places the type library declares, each with its own value, so that
// no two accessors reach the same member.
TEST_F(Account, EveryFieldThroughTheTableOfOperations) {
  const std::vector<Member> members = CuentaMembers();
  for (bool reading : {false, true}) {
    for (size_t index = 1; index < members.size(); ++index) {
      if (members[index].kind != INVOKE_PROPERTYPUT) continue;
      SCOPED_TRACE(testing::Message() << "field at " << index << (reading ? ", read" : ", written"));
      const VARTYPE type = members[index].params[0];
      Variant value, read;
      V_VT(value.get()) = VT_I4;
      V_I4(value.get()) = static_cast<LONG>(index);  // a Boolean field becomes True
      ASSERT_EQ(VariantChangeType(value.get(), value.get(), 0, type), S_OK);
      if (!reading) {
        EXPECT_EQ(CallEntry(account.p, index, type, value.get()), S_OK);
      } else {
        VARIANT target;
        V_VT(&target) = type | VT_BYREF;
        V_BYREF(&target) = &V_I4(read.get());
        ASSERT_EQ(CallEntry(account.p, index - 1, type | VT_BYREF, &target), S_OK);
        V_VT(read.get()) = type;
        EXPECT_EQ(VarCmp(read.get(), value.get(), LOCALE_INVARIANT, 0), static_cast<HRESULT>(VARCMP_EQ));
      }
    }
  }
}

// A BSTR freed at the end of the statement that makes it, or of its scope.
struct Text {
  BSTR text;
  ~Text() { SysFreeString(text); }
};

TEST_F(Account, NamedCallsAndErrorInformation) {
  ASSERT_EQ(account->put_Nombre(Text{SysAllocString(L"Bancos, c/c")}.text), S_OK);
  Text read{nullptr};
  ASSERT_EQ(account->get_Nombre(&read.text), S_OK);
  EXPECT_STREQ(read.text, L"Bancos, c/c");

  VARIANT_BOOL result = 1;
  EXPECT_EQ(account->Modificar(&result), static_cast<HRESULT>(0x800A03E8));  // 1000, as Basic reads it
  Released<ISupportErrorInfo> support;
  ASSERT_EQ(account->QueryInterface(IID_ISupportErrorInfo, support.as_void()), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__clsCuenta), S_OK);
  Released<IErrorInfo> error;
  ASSERT_EQ(GetErrorInfo(0, error.out()), S_OK);
  Text source{nullptr}, description{nullptr};
  error->GetSource(&source.text);
  error->GetDescription(&description.text);
  EXPECT_STREQ(source.text, L"Cuentas::Modificar");
  EXPECT_STREQ(description.text, L"No se ha especificado el numero de cuenta");

  // No company object: 91.
  account->put_Cuenta(Text{SysAllocString(L"4300")}.text);
  EXPECT_EQ(account->Existe(&result), static_cast<HRESULT>(0x800A005B));
}

DWORD WINAPI RunBody(void* body) {
  (*static_cast<std::function<void()>*>(body))();
  return 0;
}

void OnItsOwnThread(std::function<void()> body) {
  HANDLE thread = CreateThread(nullptr, 0, &RunBody, &body, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

// The shared connection is per thread: a group on a second thread does not
// see the first thread's connection, and a thread that stored its own ends
// cleanly whether or not it uninitialised COM first.
TEST(SharedConnection, OnePerThreadAndReleasedWhenTheThreadEnds) {
  auto insert_status = [] {
    Released<_clsGrupo> group{New<_clsGrupo>(CLSID_clsGrupo, IID__clsGrupo)};
    VARIANT_BOOL done;
    return group.p ? group->Insertar(&done) : E_FAIL;
  };
  auto store_connection = [] {
    CLSID id;
    ASSERT_EQ(CLSIDFromProgID(L"ADODB.Connection", &id), S_OK);
    Released<IDispatch> connection{New<IDispatch>(id, IID_IDispatch)};
    Released<_clsCuenta> account{New<_clsCuenta>(CLSID_clsCuenta, IID__clsCuenta)};
    ASSERT_EQ(account->putref_Conexion(connection.p), S_OK);
  };

  store_connection();
  // The stored connection is not open: the stand-in refuses, as ADO does (3709).
  EXPECT_EQ(insert_status(), static_cast<HRESULT>(0x800A0E7D));
  HRESULT second_thread = S_OK;
  OnItsOwnThread([&] {
    CoInitialize(nullptr);
    second_thread = insert_status();  // no connection on this thread: 91
    store_connection();
    CoUninitialize();
  });
  EXPECT_EQ(second_thread, static_cast<HRESULT>(0x800A005B));
  OnItsOwnThread([&] {
    CoInitialize(nullptr);
    store_connection();  // the thread ends with COM still initialised
  });
  EXPECT_EQ(insert_status(), static_cast<HRESULT>(0x800A0E7D));
}

// The version resource, and unloading only when no object is alive.
TEST(Module, VersionAndUnloading) {
  Released<IUnknown> group{New<IUnknown>(CLSID_clsGrupo, IID_IUnknown)};
  const HMODULE module = GetModuleHandleW(L"Vornexa.dll");
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(module, path, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* info;
  UINT size;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size));
  EXPECT_EQ(info->dwFileVersionMS, (1u << 16) | 2u);
  EXPECT_EQ(info->dwFileVersionLS, (0u << 16) | 26u);

  auto can_unload =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllCanUnloadNow"));
  ASSERT_NE(can_unload, nullptr);
  EXPECT_EQ(can_unload(), S_FALSE);
  group->Release();
  group.p = nullptr;
  EXPECT_EQ(can_unload(), S_OK);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (CoInitialize(nullptr) != S_OK) return 1;
  const int status = RUN_ALL_TESTS();
  CoUninitialize();
  return status;
}
