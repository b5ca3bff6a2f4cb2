#include "vornexa/data/odbc_statement.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "vornexa/data/connection.h"
#include "vornexa/data/materialized_recordset.h"
#include "vornexa/data/odbc_text.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/base/error.h"

namespace vornexa::odbc {

namespace {

// UTF-16 units read per SQLGetData call; longer texts arrive in pieces.
constexpr size_t kChunkUnits = 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exact numerics arrive as decimal text; they keep it, so that amounts
// convert to currency without passing through a double. Trailing zeros of
// the fraction go, as the platform's own text of such a value has none
// ("100.0000" reads "100", "-.5000" reads "-0.5"). Text that is not a plain
// decimal is kept as it stands.
std::string PlainDecimal(std::string text) {
  if (text.find_first_of("0123456789") == std::string::npos) return text;
  const size_t digits_begin = text[0] == '-' || text[0] == '+' ? 1 : 0;
  const size_t point = text.find('.');
  for (size_t i = digits_begin; i < text.size(); ++i) {
    if (!IsDigit(text[i]) && i != point) return text;
  }
  if (point != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (point == digits_begin) text.insert(digits_begin, 1, '0');
  if (text == "-0" || text == "+0") return "0";
  return text;
}

// Integer columns arrive as text too: a value the column type cannot hold (as
// SQLite allows) then stays text, and converting it raises what the embedded
// driver's value would raise.
Value IntegerOrText(std::string text) {
  int64_t number = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (!text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size()) {
    return Value::Integer(number);
  }
  return Value::Text(std::move(text));
}

// A statement handle on the session's connection, taking the text as it
// stands: it is the database's own dialect, with no ODBC escape clauses to
// expand. Drivers that do not scan for them refuse the option; no matter.
Handle NewStatementHandle(const Session& session) {
  Handle handle(SQL_HANDLE_STMT, session.connection.get());
  SQLSetStmtAttrW(handle.get(), SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON), 0);
  return handle;
}

// Statements with more values than this run directly: drivers fail on far
// more (PostgreSQL's lost its session at about 8,000), and a parameter's
// number must stay within the 32,767 of the ODBC calls.
constexpr size_t kMaxPreparedParameters = 1000;

// An integer literal's type, as PostgreSQL gives it to the text: integer
// while the value fits, bigint beyond.
bool FitsInteger(int64_t value) { return value <= INT32_MAX; }

// The skeleton as PostgreSQL is to prepare it. Its driver sends every value
// untyped, for the server to infer from where it stands; a quoted literal
// of the text is untyped too, but an integer literal is not, so each
// integer parameter is cast to the literal's own type: `Dpto = 4000000000`
// must compare as bigint, not fail as out of a smallint's range, and
// `SUBSTRING(Nombre, 1, 1)` must take integers.
std::string TypedSkeleton(const ParameterisedStatement& statement) {
  std::string typed;
  size_t copied = 0;
  for (const StatementParameter& parameter : statement.parameters) {
    if (!parameter.is_integer) continue;
    typed.append(statement.skeleton, copied, parameter.marker - copied);
    typed += FitsInteger(parameter.integer) ? "CAST(? AS integer)" : "CAST(? AS bigint)";
    copied = parameter.marker + 1;
  }
  return typed.append(statement.skeleton, copied);
}

// Forward-only cursor: one row at a time from the live statement.
class OdbcRecordset : public Recordset {
 public:
  explicit OdbcRecordset(std::unique_ptr<Statement> statement)
      : statement_(std::move(statement)), columns_(statement_->Columns()) {
    Advance();
  }

  bool Eof() const override {
    if (!statement_) RaiseDataError(error_number::kObjectClosed);
    return !on_row_;
  }
  void MoveNext() override {
    if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
    Advance();
  }
  Value Field(std::string_view name) override {
    if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
    return row_[columns_.Find(name)];
  }
  void Close() override {
    statement_.reset();
    row_.clear();
  }

 private:
  void Advance() {
    on_row_ = statement_->Fetch();
    row_ = on_row_ ? statement_->Row() : std::vector<Value>();
  }

  std::unique_ptr<Statement> statement_;
  ColumnIndex columns_;
  std::vector<Value> row_;
  bool on_row_ = false;
};

}  // namespace

Statement::Statement(std::shared_ptr<const Session> session, std::string_view sql)
    : session_(std::move(session)) {
  try {
    ParameterisedStatement parameterised;
    if (session_->prepared == nullptr ||
        !session_->parameteriser.Parameterise(sql, &parameterised) ||
        !RunPrepared(parameterised)) {
      owned_.emplace(NewStatementHandle(*session_));
      Check(ExecDirect(*owned_, TranslateSql(sql, session_->dialect), Encoding()));
    }
    DescribeColumns();
  } catch (...) {
    GiveBack();
    throw;
  }
}

Statement::~Statement() { GiveBack(); }

void Statement::GiveBack() {
  if (entry_ == nullptr) return;
  // Ready for its next user, with no buffer of this one still bound.
  SQLFreeStmt(get(), SQL_CLOSE);
  SQLFreeStmt(get(), SQL_RESET_PARAMS);
  session_->prepared->Release(std::exchange(entry_, nullptr));
}

bool Statement::RunPrepared(ParameterisedStatement& statement) {
  if (statement.parameters.size() > kMaxPreparedParameters) return false;
  if (session_->dialect == Dialect::PostgreSql) statement.skeleton = TypedSkeleton(statement);
  parameters_.swap(statement.parameters);
  PreparedStatementCache& cache = *session_->prepared;
  entry_ = cache.Take(statement.skeleton);
  if (entry_ == nullptr) {
    PreparedStatement prepared{NewStatementHandle(*session_)};
    const std::string translated = TranslateSql(statement.skeleton, session_->dialect);
    SQLSMALLINT markers = 0;
    if (!SQL_SUCCEEDED(Prepare(prepared.handle, translated, Encoding())) ||
        !SQL_SUCCEEDED(SQLNumParams(prepared.handle.get(), &markers)) ||
        static_cast<size_t>(markers) != parameters_.size()) {
      return false;
    }
    // Kept unless a result set still open holds this skeleton's statement:
    // this one is then freed after use.
    entry_ = cache.Keep(std::move(statement.skeleton), std::move(prepared));
    if (entry_ == nullptr) owned_.emplace(std::move(prepared.handle));
  }
  if (!BindParameters()) {
    GiveBack();
    owned_.reset();
    return false;
  }
  const SQLRETURN rc = SQLExecute(get());
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) RaiseExecuteFailure();
  return true;
}

void Statement::RaiseExecuteFailure() const {
  const std::vector<Diagnostic> records = ReadDiagnostics(handle(), Encoding());
  // A driver may report a session lost while it sends the values in words
  // of its own; the connection's state tells, as the text's failure would.
  SQLUINTEGER dead = SQL_CD_FALSE;
  const bool lost = SQL_SUCCEEDED(SQLGetConnectAttr(session_->connection.get(),
                                                    SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
                    dead == SQL_CD_TRUE;
  Raise(records, session_->dialect, lost ? error_number::kConnectionUnusable : 0);
}

bool Statement::BindParameters() {
  lengths_.assign(parameters_.size(), 0);
  wide_texts_.clear();
  for (size_t i = 0; i < parameters_.size(); ++i) {
    const auto number = static_cast<SQLUSMALLINT>(i + 1);
    StatementParameter& parameter = parameters_[i];
    SQLRETURN rc;
    if (parameter.is_integer) {
      // A literal is an integer while it fits one, a bigint beyond: typed
      // alike, the parameter resolves operators and overflows as it would.
      rc = SQLBindParameter(get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                            FitsInteger(parameter.integer) ? SQL_INTEGER : SQL_BIGINT, 0, 0,
                            &parameter.integer, 0, nullptr);
    } else if (Encoding() == Encoding::kUtf16) {
      // Text the wide calls cannot encode runs as text, whose error names
      // the offset in the statement.
      try {
        wide_texts_.push_back(ToWide(parameter.text));
      } catch (const Error&) {
        return false;
      }
      WideText& text = wide_texts_.back();
      const size_t units = text.size() - 1;
      lengths_[i] = static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
      rc = SQLBindParameter(get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                            std::max<size_t>(units, 1), 0, text.data(),
                            static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR)), &lengths_[i]);
    } else {
      lengths_[i] = static_cast<SQLLEN>(parameter.text.size());
      rc = SQLBindParameter(get(), number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                            std::max<size_t>(parameter.text.size(), 1), 0, parameter.text.data(),
                            lengths_[i] + 1, &lengths_[i]);
    }
    if (!SQL_SUCCEEDED(rc)) return false;
  }
  return true;
}

void Statement::DescribeColumns() {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(get(), &count));
  for (SQLUSMALLINT column = 1; column <= count; ++column) {
    SQLSMALLINT data_type = 0;
    names_.push_back(Describe(column, &data_type));
    switch (data_type) {
      case SQL_BIT:
      case SQL_TINYINT:
      case SQL_SMALLINT:
      case SQL_INTEGER:
      case SQL_BIGINT:
        kinds_.push_back(Kind::kInteger);
        break;
      case SQL_REAL:
      case SQL_FLOAT:
      case SQL_DOUBLE:
        kinds_.push_back(Kind::kReal);
        break;
      case SQL_NUMERIC:
      case SQL_DECIMAL:
        kinds_.push_back(Kind::kDecimal);
        break;
      default:
        kinds_.push_back(Kind::kText);
    }
  }
}

int64_t Statement::AffectedRows() const {
  if (!names_.empty()) return 0;
  SQLLEN rows = 0;
  Check(SQLRowCount(get(), &rows));
  return rows < 0 ? kUnknownRowCount : rows;
}

void Statement::FinishResults() {
  for (;;) {
    const SQLRETURN rc = SQLMoreResults(get());
    if (rc == SQL_NO_DATA) return;
    Check(rc);
  }
}

ColumnIndex Statement::Columns() const { return ColumnIndex(names_); }

bool Statement::Fetch() {
  if (names_.empty()) return false;
  const SQLRETURN rc = SQLFetch(get());
  if (rc == SQL_NO_DATA) return false;
  Check(rc);
  return true;
}

std::vector<Value> Statement::Row() {
  std::vector<Value> row;
  row.reserve(kinds_.size());
  for (size_t i = 0; i < kinds_.size(); ++i) {
    row.push_back(Read(static_cast<SQLUSMALLINT>(i + 1), kinds_[i]));
  }
  return row;
}

Value Statement::Read(SQLUSMALLINT column, Kind kind) {
  if (kind == Kind::kReal) {
    double number = 0;
    SQLLEN indicator = 0;
    Check(SQLGetData(get(), column, SQL_C_DOUBLE, &number, sizeof number, &indicator));
    return indicator == SQL_NULL_DATA ? Value() : Value::Real(number);
  }
  std::optional<std::string> text = ReadText(column, kind != Kind::kText);
  if (!text) return Value();
  switch (kind) {
    case Kind::kInteger:
      return IntegerOrText(std::move(*text));
    case Kind::kDecimal:
      return Value::Text(PlainDecimal(std::move(*text)));
    default:
      return Value::Text(std::move(*text));
  }
}

std::string Statement::Describe(SQLUSMALLINT column, SQLSMALLINT* data_type) {
  constexpr SQLSMALLINT kNameUnits = 256;
  SQLSMALLINT length = 0, scale = 0, nullable = 0;
  SQLULEN size = 0;
  if (Encoding() == Encoding::kUtf16) {
    SQLWCHAR name[kNameUnits];
    Check(SQLDescribeColW(get(), column, name, kNameUnits, &length, data_type, &size,
                          &scale, &nullable));
    return FromWide(name, std::clamp<SQLSMALLINT>(length, 0, kNameUnits - 1));
  }
  SQLCHAR name[kNameUnits];
  Check(SQLDescribeCol(get(), column, name, kNameUnits, &length, data_type, &size, &scale,
                       &nullable));
  return std::string(reinterpret_cast<const char*>(name),
                     std::clamp<SQLSMALLINT>(length, 0, kNameUnits - 1));
}

template <typename Unit>
std::optional<std::vector<Unit>> Statement::ReadPieces(SQLUSMALLINT column, SQLSMALLINT c_type) {
  std::vector<Unit> text;
  Unit chunk[kChunkUnits];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(get(), column, c_type, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    Check(rc);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    // A piece that filled the buffer ends in a terminator; more may follow.
    const bool filled = rc == SQL_SUCCESS_WITH_INFO &&
                        (indicator == SQL_NO_TOTAL ||
                         static_cast<size_t>(indicator) >= sizeof chunk);
    const size_t units = filled ? kChunkUnits - 1 : static_cast<size_t>(indicator) / sizeof(Unit);
    text.insert(text.end(), chunk, chunk + units);
    if (!filled) break;
  }
  return text;
}

std::optional<std::string> Statement::ReadText(SQLUSMALLINT column, bool number) {
  // A number's text is ASCII in every encoding: read narrow, sparing the
  // wide round trip on every amount of a long result.
  if (Encoding() == Encoding::kUtf16 && !number) {
    const auto wide = ReadPieces<SQLWCHAR>(column, SQL_C_WCHAR);
    if (!wide) return std::nullopt;
    return FromWide(wide->data(), wide->size());
  }
  const auto bytes = ReadPieces<SQLCHAR>(column, SQL_C_CHAR);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::unique_ptr<Recordset> OpenRecordset(std::shared_ptr<const Session> session,
                                         std::string_view sql, Cursor cursor) {
  auto statement = std::make_unique<Statement>(std::move(session), sql);
  if (cursor == Cursor::ForwardOnly) return std::make_unique<OdbcRecordset>(std::move(statement));
  ColumnIndex columns = statement->Columns();
  std::vector<std::vector<Value>> rows;
  while (statement->Fetch()) rows.push_back(statement->Row());
  return std::make_unique<MaterializedRecordset>(std::move(columns), std::move(rows));
}

}  // namespace vornexa::odbc
