// Errors. Every failure of a public operation reaches the caller as one
// vornexa::Error carrying a number, a source and a Spanish description, the
// three parts that the application's callers already read.
#ifndef VORNEXA_BASE_ERROR_H_
#define VORNEXA_BASE_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vornexa {

// what() is the report of the error on one line: "error NUMBER (SOURCE):
// DESCRIPTION", each line break inside the description made a blank.
class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string source, std::string description);
  // A database's failure: its description as the database gave it, with the
  // SQLSTATE and the database's own code kept beside it for whoever needs them.
  Error(int32_t number, std::string source, std::string description, std::string sql_state,
        int32_t native_error);

  int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }
  // The SQLSTATE of a database failure; empty for any other error.
  const std::string& SqlState() const { return sql_state_; }
  // The database's own error code; 0 when it gave none.
  int32_t NativeError() const { return native_error_; }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
  std::string sql_state_;
  int32_t native_error_ = 0;
};

// Numbers callers compare against. The runtime numbers and the data-access
// numbers are those the application's platform reports, so that code ported
// from it keeps working.
namespace error_number {
inline constexpr int32_t kInvalidArgument = 5;       // invalid procedure call or argument
inline constexpr int32_t kOverflow = 6;              // a number too large for its type
inline constexpr int32_t kOutOfMemory = 7;           // memory ran out
inline constexpr int32_t kSubscriptOutOfRange = 9;   // an index outside a list
inline constexpr int32_t kTypeMismatch = 13;         // a value not of the type asked for
inline constexpr int32_t kInternal = 51;             // a failure inside the library itself
inline constexpr int32_t kObjectNotSet = 91;         // no connection or company object handed in
inline constexpr int32_t kInvalidUseOfNull = 94;     // a database NULL read into a field
inline constexpr int32_t kMemberNotFound = 438;      // a caller's object lacks the member asked for
inline constexpr int32_t kWrongArgumentCount = 450;  // ... or takes other arguments
inline constexpr int32_t kComponent = 1000;          // the library's own refusals (below)
// Data-access layer.
inline constexpr int32_t kItemNotFound = -2146825023;        // 3265: no column of that name
inline constexpr int32_t kNoCurrentRecord = -2146825267;     // 3021: read past the last row
inline constexpr int32_t kObjectClosed = -2146824584;        // 3704: result set already closed
inline constexpr int32_t kConnectionUnusable = -2146824579;  // 3709: no usable connection
inline constexpr int32_t kStatementRejected = -2147217900;   // the database refused a statement
inline constexpr int32_t kConstraintViolation = -2147217873; // a key or constraint was violated
// The platform's refusal of a call made from a thread other than the one the
// object belongs to (RPC_E_WRONG_THREAD).
inline constexpr int32_t kWrongThread = -2147417842;
}  // namespace error_number

// Descriptions of the library's own refusals (number kComponent), exactly as
// callers match them.
namespace error_description {
inline constexpr std::string_view kGroupHasAccounts =
    "No se puede eliminar el grupo por tener cuentas asociadas";
// A save or repair without an account code (spelled without the accent).
inline constexpr std::string_view kNoAccountCode = "No se ha especificado el numero de cuenta";
// A creation without an account code (spelled with the accent).
inline constexpr std::string_view kNoAccountCodeAccented =
    "No se ha especificado el número de cuenta";
// A code whose length is that of no level of the company.
inline constexpr std::string_view kNoMatchingLevel =
    "No se puede insertar una cuenta no correspondiente a los digitos parametrizados";
// How the description of a creation whose upper account is missing begins.
inline constexpr std::string_view kMissingUpperAccount =
    "No se ha creado la cuenta de nivel superior.";
}  // namespace error_description

// kMissingUpperAccount, then "\r\nDebe crear : <code> en ejercicio:
// <exercise>": a creation whose upper account is missing.
std::string MissingUpperAccountDescription(std::string_view upper_code, int64_t exercise);
// "No se puede eliminar la cuenta <code> por tener movimientos asociados".
std::string AccountHasMovementsDescription(std::string_view code);
// "El campo <field> contiene texto que no es UTF-8 válido".
std::string InvalidUtf8Description(std::string_view field);
// "El campo <field> contiene un carácter nulo".
std::string NulCharacterDescription(std::string_view field);

// Raises the library's own refusal: number kComponent, `source`, `description`.
[[noreturn]] void RaiseComponentError(std::string_view source, std::string description);

// Source of errors that the runtime itself raises (conversions, arguments).
inline constexpr std::string_view kRuntimeSource = "Vornexa";
// Source of errors raised by the data-access layer before any trap renames them.
inline constexpr std::string_view kDataSource = "Vornexa.Data";

// Raises one of the runtime's errors (5, 6, 9, 13, 91, 94, 438, 450, and the
// platform's wrong-thread refusal) with its standard Spanish description and
// the runtime source.
[[noreturn]] void RaiseRuntimeError(int32_t number);

// The standard description of a runtime or data-access error number.
std::string_view StandardDescription(int32_t number);

// Raises a data-access error with its standard description.
[[noreturn]] void RaiseDataError(int32_t number);

// The error trap of every operation: re-raises the pending exception as an
// Error with the operation's `source`, keeping number, description, SQLSTATE
// and native code. An
// exception that is not an Error becomes a described one, so nothing else
// ever escapes a public operation. Call only from inside a catch block.
[[noreturn]] void RethrowWithSource(std::string_view source);

// Runs `body` under the error trap of the operation named by `source`.
template <typename Body>
decltype(auto) Trap(std::string_view source, Body&& body) {
  try {
    return body();
  } catch (...) {
    RethrowWithSource(source);
  }
}

}  // namespace vornexa

#endif  // VORNEXA_BASE_ERROR_H_
