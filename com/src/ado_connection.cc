#include "com/src/ado_connection.h"

#include <string>

#include "com/src/automation_values.h"
#include "com/src/dispatch_call.h"
#include "com/src/error_info.h"
#include "com/src/module.h"

namespace vornexa::com {

namespace {

// ADO's enumeration values.
constexpr int32_t kAdCmdText = 1;
constexpr int32_t kAdExecuteNoRecords = 0x80;
constexpr int32_t kAdOpenForwardOnly = 0;
constexpr int32_t kAdOpenStatic = 3;
constexpr int32_t kAdLockReadOnly = 1;

// A reference to a caller's object, released only where that is safe.
class ForeignRef {
 public:
  explicit ForeignRef(IDispatch* object) : object_(object) {}
  ~ForeignRef() { ReleaseForeignObject(object_); }
  ForeignRef(const ForeignRef&) = delete;
  ForeignRef& operator=(const ForeignRef&) = delete;
  IDispatch* get() const { return object_; }

 private:
  IDispatch* object_;
};

IDispatch* AddRefed(IDispatch* object) {
  object->AddRef();
  return object;
}

VARIANT Long(int32_t value) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

class TextArgument {
 public:
  explicit TextArgument(std::string_view text) {
    V_VT(&value_) = VT_BSTR;
    V_BSTR(&value_) = ToBstr(text);
  }
  ~TextArgument() { VariantClear(&value_); }
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

IDispatch* TakeObject(Variant& result) {
  if (V_VT(result.get()) != VT_DISPATCH || V_DISPATCH(result.get()) == nullptr) {
    RaiseRuntimeError(error_number::kObjectNotSet);
  }
  IDispatch* object = V_DISPATCH(result.get());
  V_VT(result.get()) = VT_EMPTY;  // ownership moves to the caller
  return object;
}

class AdoRecordset : public Recordset {
 public:
  explicit AdoRecordset(IDispatch* rows) : rows_(rows) {}

  bool Eof() const override {
    Variant at_end;
    CallByName(rows_.get(), L"EOF", DISPATCH_PROPERTYGET, {}, at_end.get());
    return V_VT(at_end.get()) == VT_BOOL ? V_BOOL(at_end.get()) != VARIANT_FALSE
                                          : ToFieldValue(*at_end).ToInt64() != 0;
  }

  void MoveNext() override { CallByName(rows_.get(), L"MoveNext", DISPATCH_METHOD, {}, nullptr); }

  // Fields(name).Value, through the default members as Basic reads it.
  Value Field(std::string_view name) override {
    if (!fields_) {
      Variant fields;
      CallByName(rows_.get(), L"Fields", DISPATCH_PROPERTYGET, {}, fields.get());
      fields_ = std::make_unique<ForeignRef>(TakeObject(fields));
    }
    TextArgument column(name);
    Variant item;
    CallById(fields_->get(), DISPID_VALUE, kGetOrCall, {column.get()}, item.get());
    ForeignRef field(TakeObject(item));
    Variant value;
    CallById(field.get(), DISPID_VALUE, DISPATCH_PROPERTYGET, {}, value.get());
    return ToFieldValue(*value);
  }

  void Close() override {
    fields_.reset();
    CallByName(rows_.get(), L"Close", DISPATCH_METHOD, {}, nullptr);
  }

 private:
  ForeignRef rows_;
  std::unique_ptr<ForeignRef> fields_;
};

class AdoConnection : public Connection {
 public:
  explicit AdoConnection(IDispatch* connection) : connection_(AddRefed(connection)) {}
  ~AdoConnection() override { ReleaseForeignObject(recordset_factory_); }
  AdoConnection(const AdoConnection&) = delete;
  AdoConnection& operator=(const AdoConnection&) = delete;

  int64_t Execute(std::string_view sql) override {
    TextArgument command(sql);
    VARIANT affected;
    V_VT(&affected) = VT_EMPTY;
    VARIANT affected_ref;
    V_VT(&affected_ref) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&affected_ref) = &affected;
    VARIANT options = Long(kAdCmdText | kAdExecuteNoRecords);
    CallByName(connection_.get(), L"Execute", DISPATCH_METHOD,
               {command.get(), &affected_ref, &options}, nullptr);
    const Value count = ToFieldValue(affected);
    VariantClear(&affected);
    // ADO gives -1 when the server does not say (SET NOCOUNT ON).
    return count.IsNull() || count.ToInt64() < 0 ? kUnknownRowCount : count.ToInt64();
  }

  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    IDispatch* rows = nullptr;
    const HRESULT status = RecordsetFactory().CreateInstance(nullptr, IID_IDispatch,
                                                             reinterpret_cast<void**>(&rows));
    if (FAILED(status)) RaiseCallFailure(status, EXCEPINFO{});
    auto recordset = std::make_unique<AdoRecordset>(rows);
    TextArgument source(sql);
    VARIANT active;
    V_VT(&active) = VT_DISPATCH;
    V_DISPATCH(&active) = connection_.get();
    VARIANT cursor_type = Long(cursor == Cursor::Static ? kAdOpenStatic : kAdOpenForwardOnly);
    VARIANT lock_type = Long(kAdLockReadOnly);
    VARIANT options = Long(kAdCmdText);
    CallByName(rows, L"Open", DISPATCH_METHOD,
               {source.get(), &active, &cursor_type, &lock_type, &options}, nullptr);
    return recordset;
  }

  Dialect SqlDialect() const override { return Dialect::SqlServer; }

  void BeginAtomic() override {
    if (depth_ == 0) {
      own_transaction_ = !CallerTransactionOpen();
      Execute(own_transaction_ ? "BEGIN TRANSACTION" : SavepointStatement("SAVE", 1));
    } else {
      Execute(SavepointStatement("SAVE", depth_ + 1));
    }
    ++depth_;
  }

  // A failed commit leaves the scope open, for the rollback that follows.
  // SQL Server has no savepoint release: the enclosing commit keeps them.
  void CommitAtomic() override {
    if (depth_ == 1 && own_transaction_) Execute("COMMIT TRANSACTION");
    --depth_;
  }

  void RollbackAtomic() override {
    const int level = depth_--;
    Execute(level == 1 && own_transaction_ ? std::string("ROLLBACK TRANSACTION")
                                           : SavepointStatement("ROLLBACK", level));
  }

 private:
  static std::string SavepointStatement(const char* verb, int level) {
    return std::string(verb) + " TRANSACTION vornexa_" + std::to_string(level);
  }

  // ADODB.Recordset's class factory, looked up once: every read makes a
  // result set, and a registry lookup each time would cost more than the read.
  IClassFactory& RecordsetFactory() {
    if (recordset_factory_ == nullptr) {
      CLSID recordset_class;
      HRESULT status = CLSIDFromProgID(L"ADODB.Recordset", &recordset_class);
      if (SUCCEEDED(status)) {
        status = CoGetClassObject(recordset_class, CLSCTX_INPROC_SERVER, nullptr,
                                  IID_IClassFactory, reinterpret_cast<void**>(&recordset_factory_));
      }
      if (FAILED(status)) RaiseCallFailure(status, EXCEPINFO{});
    }
    return *recordset_factory_;
  }

  bool CallerTransactionOpen() {
    const std::unique_ptr<Recordset> count = Open("SELECT @@TRANCOUNT AS n", Cursor::Static);
    const bool open = count->Field("n").ToInt64() > 0;
    count->Close();
    return open;
  }

  ForeignRef connection_;
  IClassFactory* recordset_factory_ = nullptr;
  int depth_ = 0;
  bool own_transaction_ = false;
};

}  // namespace

std::shared_ptr<Connection> WrapAdoConnection(IDispatch* connection) {
  if (connection == nullptr) return nullptr;
  return std::make_shared<AdoConnection>(connection);
}

}  // namespace vornexa::com
