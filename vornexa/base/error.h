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
inline constexpr int32_t kInvalidArgument = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kInternal = 51;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidUseOfNull = 94;
inline constexpr int32_t kComponent = 1000;
// Data-access layer.
inline constexpr int32_t kItemNotFound = -2146825023;        // 3265
inline constexpr int32_t kNoCurrentRecord = -2146825267;     // 3021
inline constexpr int32_t kObjectClosed = -2146824584;        // 3704
inline constexpr int32_t kConnectionUnusable = -2146824579;  // 3709
inline constexpr int32_t kStatementRejected = -2147217900;
inline constexpr int32_t kConstraintViolation = -2147217873;
// The platform's refusal of a call made from a thread other than the one the
// object belongs to (RPC_E_WRONG_THREAD).
inline constexpr int32_t kWrongThread = -2147417842;
}  // namespace error_number

// Source of errors that the runtime itself raises (conversions, arguments).
inline constexpr std::string_view kRuntimeSource = "Vornexa";
// Source of errors raised by the data-access layer before any trap renames them.
inline constexpr std::string_view kDataSource = "Vornexa.Data";

// Raises one of the runtime's errors (5, 6, 9, 13, 91, 94, and the platform's
// wrong-thread refusal) with its standard
// Spanish description and the runtime source.
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
