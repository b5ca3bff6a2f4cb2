// A test-only stand-in for ADO's Connection and Recordset (the members the
// component uses), registered as ADODB.Connection and ADODB.Recordset in the
// tests' wine prefix, where real ADO is not available. It answers like a SQL
// Server behind ADO over a real database reached through ODBC: the engine's
// driver translates SQL Server's dialect, transaction statements are mapped,
// errors carry the provider's number and description, and rows are read as
// the caller moves; SET NOCOUNT ON takes the counts away as the server
// does. Beyond ADO, Connection.CreateSchema creates the library's tables.
#include <windows.h>
#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "com/src/automation_object.h"
#include "com/src/automation_values.h"
#include "com/src/class_factory.h"
#include "com/src/error_info.h"
#include "com/src/module.h"
#include "com/src/registry.h"
#include "vornexa/base/error.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"

namespace {

using vornexa::Error;
using vornexa::com::FromBstr;
using vornexa::com::ToBstr;

constexpr CLSID kConnectionClass = {
    0x3B1C0D51, 0x7E9A, 0x4C7B, {0x9E, 0x60, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x01}};
constexpr CLSID kRecordsetClass = {
    0x3B1C0D51, 0x7E9A, 0x4C7B, {0x9E, 0x60, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x02}};
// Lets a Recordset find the Connection object behind its ActiveConnection;
// answered without a reference, as the caller holds the connection for the
// whole call.
constexpr IID kIidStandinConnection = {
    0x3B1C0D51, 0x7E9A, 0x4C7B, {0x9E, 0x60, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x03}};

constexpr char kProvider[] = "Proveedor ODBC de prueba";
// ADO's own errors.
constexpr int32_t kConnectionUnusable = -2146824579;  // 3709
constexpr int32_t kObjectClosed = -2146824584;        // 3704

// A minimal IDispatch: members by name (without regard to case) and id.
class Dispatch : public IDispatch {
 public:
  struct Member {
    const wchar_t* name;
    DISPID id;
  };

  Dispatch() { vornexa::com::ObjectCreated(); }
  virtual ~Dispatch() { vornexa::com::ObjectDestroyed(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left != 0) return left;
    // Where a real server's code may already be unloaded: the tests stop.
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(CoGetApartmentType(&type, &qualifier))) Stop("released after COM was uninitialised");
    delete this;
    return 0;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    HRESULT status = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (const Member& member : Members()) {
        if (lstrcmpiW(member.name, names[i]) == 0) ids[i] = member.id;
      }
      if (ids[i] == DISPID_UNKNOWN) status = DISP_E_UNKNOWNNAME;
    }
    return status;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    std::vector<VARIANT*> arguments;  // in call order, references followed
    for (UINT i = params->cArgs; i-- > 0;) {
      VARIANT* argument = &params->rgvarg[i];
      while (V_VT(argument) == (VT_VARIANT | VT_BYREF)) argument = V_VARIANTREF(argument);
      arguments.push_back(argument);
    }
    try {
      VARIANT ignored;
      VariantInit(&ignored);
      const HRESULT status = Call(id, flags, params, arguments, result ? result : &ignored);
      VariantClear(&ignored);
      return status;
    } catch (const Error& error) {
      if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = vornexa::com::StatusOf(error.Number());
        exception->bstrSource = ToBstr(kProvider);
        exception->bstrDescription = ToBstr(error.Description());
      }
      return DISP_E_EXCEPTION;
    }
  }

 protected:
  virtual std::vector<Member> Members() const = 0;
  // `arguments` in call order, by-reference variants already followed.
  virtual HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params,
                       const std::vector<VARIANT*>& arguments, VARIANT* result) = 0;

  static void Stop(const char* why) {
    std::fprintf(stderr, "AdoStandin: an object %s on its thread\n", why);
    TerminateProcess(GetCurrentProcess(), 3);
  }

  static std::string TextArgument(const std::vector<VARIANT*>& arguments, size_t index) {
    if (index >= arguments.size()) throw Error(450, kProvider, "Falta un argumento");
    vornexa::com::Variant text;
    if (FAILED(VariantChangeType(text.get(), arguments[index], 0, VT_BSTR))) {
      throw Error(13, kProvider, "No coinciden los tipos");
    }
    return FromBstr(V_BSTR(text.get()));
  }

 private:
  LONG references_ = 1;
};

DWORD WINAPI DoNothing(void*) { return 0; }

class Connection : public Dispatch {
 public:
  enum : DISPID { kOpen = 1, kExecute, kClose, kBeginTrans, kRollbackTrans, kCreateSchema };

  // ADO's teardown may wait for a thread of its own, which cannot start while
  // the loader lock is held, as it is where a thread's end runs: a release
  // from there would hang. So does this one, for a while, then stops.
  ~Connection() override {
    HANDLE thread = CreateThread(nullptr, 0, &DoNothing, nullptr, 0, nullptr);
    if (WaitForSingleObject(thread, 5000) == WAIT_TIMEOUT) Stop("released under the loader lock");
    CloseHandle(thread);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == kIidStandinConnection) {
      *out = this;
      return S_OK;
    }
    return Dispatch::QueryInterface(iid, out);
  }

  // The database, or ADO's error for a closed connection.
  vornexa::Connection& Open() {
    if (!database_) throw Error(kConnectionUnusable, kProvider, kUnusableText);
    return *database_;
  }

  // Statements run in SQL Server's dialect; the database behind may be
  // another. Transaction statements are the server's own and are mapped:
  // this is the statement to run instead of `sql`.
  std::string Map(const std::string& sql) {
    if (sql == "SET NOCOUNT ON" || sql == "SET NOCOUNT OFF") {
      nocount_ = sql.back() == 'N';
      return "SELECT 1";
    }
    if (sql == "SELECT @@TRANCOUNT AS n") return "SELECT " + std::to_string(depth_) + " AS n";
    if (sql == "BEGIN TRANSACTION") return Begin();
    if (sql == "COMMIT TRANSACTION") return End("COMMIT");
    if (sql == "ROLLBACK TRANSACTION") return End("ROLLBACK");
    if (sql.rfind("SAVE TRANSACTION ", 0) == 0) return "SAVEPOINT " + sql.substr(17);
    if (sql.rfind("ROLLBACK TRANSACTION ", 0) == 0) return "ROLLBACK TO SAVEPOINT " + sql.substr(21);
    return sql;
  }

  static constexpr char kUnusableText[] =
      "No se puede usar la conexión para realizar esta operación. Está cerrada o no es válida en "
      "este contexto.";

 protected:
  std::vector<Member> Members() const override {
    return {{L"Open", kOpen}, {L"Execute", kExecute}, {L"Close", kClose},
            {L"BeginTrans", kBeginTrans}, {L"RollbackTrans", kRollbackTrans},
            {L"CreateSchema", kCreateSchema}};
  }

  HRESULT Call(DISPID id, WORD, DISPPARAMS* params, const std::vector<VARIANT*>& arguments,
               VARIANT* result) override {
    switch (id) {
      case kOpen: {
        const std::string text = TextArgument(arguments, 0);
        const vornexa::Dialect dialect = text.find("PostgreSQL") != std::string::npos
                                             ? vornexa::Dialect::PostgreSql
                                             : vornexa::Dialect::SqlServer;
        database_ = vornexa::OpenOdbc(text, dialect);
        depth_ = 0;
        return S_OK;
      }
      case kExecute: {
        const int64_t affected = Open().Execute(Map(TextArgument(arguments, 0)));
        // RecordsAffected is written through the caller's reference.
        if (params->cArgs >= 2 && V_VT(&params->rgvarg[params->cArgs - 2]) == (VT_VARIANT | VT_BYREF)) {
          VariantClear(arguments[1]);
          V_VT(arguments[1]) = VT_I4;
          V_I4(arguments[1]) = nocount_ ? -1 : static_cast<LONG>(affected);
        }
        return S_OK;
      }
      case kClose:
        database_.reset();
        return S_OK;
      case kBeginTrans:
      case kRollbackTrans:
        Open().Execute(id == kBeginTrans ? Begin() : End("ROLLBACK"));
        return S_OK;
      case kCreateSchema:
        vornexa::CreateSchema(Open());
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::string Begin() { return depth_++ == 0 ? "BEGIN" : "SELECT 1"; }
  std::string End(const char* verb) {
    depth_ = 0;
    return verb;
  }

  std::shared_ptr<vornexa::Connection> database_;
  int depth_ = 0;  // @@TRANCOUNT
  bool nocount_ = false;  // the server reports no counts, and ADO gives -1
};

class Field : public Dispatch {
 public:
  explicit Field(vornexa::Value value) : value_(std::move(value)) {}

 protected:
  std::vector<Member> Members() const override { return {{L"Value", DISPID_VALUE}}; }

  HRESULT Call(DISPID, WORD, DISPPARAMS*, const std::vector<VARIANT*>&, VARIANT* result) override {
    if (value_.IsNull()) {
      V_VT(result) = VT_NULL;
    } else if (value_.IsInteger()) {
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(value_.ToInt64());
    } else if (value_.IsReal()) {
      V_VT(result) = VT_R8;
      V_R8(result) = value_.ToDouble();
    } else {
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = ToBstr(value_.ToText());
    }
    return S_OK;
  }

 private:
  vornexa::Value value_;
};

// The recordset serves as its own Fields collection: Fields(name) and
// Fields.Item(name) alike give the field of the current row.
class Recordset : public Dispatch {
 public:
  enum : DISPID { kOpen = 1, kEof, kMoveNext, kClose, kFields };

  vornexa::Recordset& Rows() {
    if (!rows_) throw Error(kObjectClosed, kProvider,
                            "No se permite la operación cuando el objeto está cerrado.");
    return *rows_;
  }

 protected:
  std::vector<Member> Members() const override {
    return {{L"Open", kOpen}, {L"EOF", kEof}, {L"MoveNext", kMoveNext}, {L"Close", kClose},
            {L"Fields", kFields}, {L"Item", DISPID_VALUE}};
  }

  HRESULT Call(DISPID id, WORD, DISPPARAMS*, const std::vector<VARIANT*>& arguments,
               VARIANT* result) override {
    switch (id) {
      case kOpen: {
        const std::string sql = TextArgument(arguments, 0);
        Connection* connection = nullptr;
        if (arguments.size() < 2 || V_VT(arguments[1]) != VT_DISPATCH ||
            V_DISPATCH(arguments[1]) == nullptr ||
            FAILED(V_DISPATCH(arguments[1])->QueryInterface(
                kIidStandinConnection, reinterpret_cast<void**>(&connection)))) {
          throw Error(kConnectionUnusable, kProvider, Connection::kUnusableText);
        }
        vornexa::com::Variant cursor;  // adOpenStatic is 3
        const bool is_static = arguments.size() > 2 && V_VT(arguments[2]) != VT_ERROR &&
                               SUCCEEDED(VariantChangeType(cursor.get(), arguments[2], 0, VT_I4)) &&
                               V_I4(cursor.get()) == 3;
        rows_ = connection->Open().Open(connection->Map(sql), is_static ? vornexa::Cursor::Static
                                                                        : vornexa::Cursor::ForwardOnly);
        return S_OK;
      }
      case kEof:
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = Rows().Eof() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
      case kMoveNext:
        Rows().MoveNext();
        return S_OK;
      case kClose:
        Rows();
        rows_.reset();
        return S_OK;
      case kFields:
      case DISPID_VALUE: {
        IDispatch* object = this;
        if (id == kFields && arguments.empty()) {
          AddRef();
        } else {
          object = new Field(Rows().Field(TextArgument(arguments, 0)));
        }
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = object;
        return S_OK;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  std::unique_ptr<vornexa::Recordset> rows_;
};

vornexa::com::ClassFactory connection_factory(&vornexa::com::CreateObject<Connection>);
vornexa::com::ClassFactory recordset_factory(&vornexa::com::CreateObject<Recordset>);

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) vornexa::com::ModuleAttached(instance);
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
  if (id == kConnectionClass) return connection_factory.QueryInterface(iid, out);
  if (id == kRecordsetClass) return recordset_factory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return vornexa::com::ModuleInUse() ? S_FALSE : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  using vornexa::com::RegisterInprocServer;
  const HRESULT status = RegisterInprocServer(kConnectionClass, L"ADODB.Connection", L"Both");
  return FAILED(status) ? status : RegisterInprocServer(kRecordsetClass, L"ADODB.Recordset", L"Both");
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return S_OK; }
