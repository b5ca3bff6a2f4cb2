// Account code expansion (CuentaDesarrollo) and composition (ComponerCuenta)
// on any text and any company digits: they never crash, fail only with the
// runtime's invalid-argument error, and keep what they were given.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "vornexa/base/text.h"
#include "vornexa/vornexa.h"

namespace {

// Reads a fixed-size value from the front of the input (zero when short).
template <typename T>
T Take(const uint8_t*& data, size_t& size) {
  T value{};
  const size_t n = size < sizeof value ? size : sizeof value;
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

bool IsRefusal(const vornexa::Error& e) {
  return e.Number() == vornexa::error_number::kInvalidArgument;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto company = std::make_shared<vornexa::Empresa>();
  company->digitos_cuenta = static_cast<int16_t>(Take<int8_t>(data, size));
  const int32_t number = Take<int32_t>(data, size);
  const int16_t digits = static_cast<int16_t>(Take<int8_t>(data, size));
  const std::string text(reinterpret_cast<const char*>(data), size);
  vornexa::clsCuenta account;
  account.cEmpresa(company);

  try {
    const std::string expanded = account.CuentaDesarrollo(text);
    // A short form "left.right" keeps both parts around its zeros.
    const size_t point = text.find('.');
    if (point != std::string::npos && text.find(' ') == std::string::npos && !expanded.empty() &&
        vornexa::CharCount(text) - 1 <= static_cast<size_t>(company->digitos_cuenta)) {
      FUZZ_CHECK(vornexa::CharCount(expanded) == static_cast<size_t>(company->digitos_cuenta),
                 text + " -> " + expanded);
      FUZZ_CHECK(expanded.rfind(text.substr(0, point), 0) == 0, text + " -> " + expanded);
      const std::string right = text.substr(point + 1);
      FUZZ_CHECK(expanded.size() >= right.size() &&
                     expanded.compare(expanded.size() - right.size(), right.size(), right) == 0,
                 text + " -> " + expanded);
    }
  } catch (const vornexa::Error& e) {
    FUZZ_CHECK(IsRefusal(e), e.what());
  }

  try {
    const std::string composed = account.ComponerCuenta(text, number, digits);
    // The root's first characters, then the number, which reads back whole.
    const std::string_view root = vornexa::LeftChars(text, static_cast<size_t>(digits));
    FUZZ_CHECK(composed.rfind(root, 0) == 0, composed);
    std::string_view tail = std::string_view(composed).substr(root.size());
    const bool negative = !tail.empty() && tail.front() == '-';
    if (negative) tail.remove_prefix(1);
    FUZZ_CHECK(!tail.empty() && tail.find_first_not_of("0123456789") == std::string_view::npos,
               composed);
    const long long read_back = std::stoll(std::string(tail)) * (negative ? -1 : 1);
    FUZZ_CHECK(read_back == number, composed + " from " + std::to_string(number));
    FUZZ_CHECK(vornexa::CharCount(composed) - (negative ? 1 : 0) >= static_cast<size_t>(digits),
               composed);
  } catch (const vornexa::Error& e) {
    FUZZ_CHECK(IsRefusal(e) && digits < 0, e.what());
  }
  return 0;
}
