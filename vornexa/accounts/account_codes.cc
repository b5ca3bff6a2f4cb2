// Account codes: the short form with a point, and a code composed from a root
// and a number. Pure text work, counted in characters. Neither function has an
// error trap: a failure reaches the caller with the runtime's own source.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/base/error.h"
#include "vornexa/base/text.h"

namespace vornexa {

namespace {

// A run of `count` zeros; a negative count is the runtime's invalid argument.
std::string Zeros(int64_t count) {
  if (count < 0) RaiseRuntimeError(error_number::kInvalidArgument);
  return std::string(static_cast<size_t>(count), '0');
}

int64_t Length(std::string_view text) { return static_cast<int64_t>(CharCount(text)); }

}  // namespace

std::string clsCuenta::CuentaDesarrollo(const std::string& strFormatoCorto) {
  // The company's detail length is asked anew at each use.
  std::string text = strFormatoCorto;
  if (Length(text) == Company().DigitosCuenta()) return std::string(TrimBlanks(text));
  // A plain root short of the full length is filled with zeros on the right.
  if (!text.empty() && text.find('.') == std::string::npos &&
      Length(text) < Company().DigitosCuenta()) {
    text += '.';
  }
  const size_t point = text.find('.');
  if (point == std::string::npos) return {};
  const std::string_view left = std::string_view(text).substr(0, point);
  const std::string_view right = std::string_view(text).substr(point + 1);
  // Blanks count as characters here and are trimmed only from the result.
  const std::string code = std::string(left) +
                           Zeros(Company().DigitosCuenta() - Length(left) - Length(right)) +
                           std::string(right);
  return std::string(TrimBlanks(code));
}

std::string clsCuenta::ComponerCuenta(const std::string& strRaiz, int32_t lngCodigo,
                                      int16_t intDigitos) {
  if (intDigitos < 0) RaiseRuntimeError(error_number::kInvalidArgument);
  const std::string_view root = LeftChars(strRaiz, static_cast<size_t>(intDigitos));
  // The number is padded to the room left, never cut; a minus sign stands
  // before the zeros and takes no room of its own.
  std::string digits = std::to_string(std::llabs(static_cast<long long>(lngCodigo)));
  const int64_t room = intDigitos - Length(root);
  if (Length(digits) < room) digits.insert(0, Zeros(room - Length(digits)));
  return std::string(root) + (lngCodigo < 0 ? "-" : "") + digits;
}

}  // namespace vornexa
