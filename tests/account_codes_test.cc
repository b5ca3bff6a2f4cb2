// Account codes: expanding the short form with a point and composing a code
// from a root and a number, counted in characters, with the runtime's errors.
#include <cstdint>
#include <limits>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

// Expects `body` to raise runtime error `number` with its standard description.
#define EXPECT_RUNTIME_ERROR(body, number) \
  EXPECT_VORNEXA_ERROR(body, number, std::string(kRuntimeSource), \
                       std::string(StandardDescription(number)))

// A company whose detail length grows at each read.
class GrowingCompany : public Empresa {
 public:
  int16_t DigitosCuenta() override { return static_cast<int16_t>(9 + reads++); }
  int reads = 0;
};

TEST(AccountCodes, ExpandedToTheCompanysDetailLengthOrComposedFromARootAndANumber) {
  auto company = std::make_shared<Empresa>();
  company->digitos_cuenta = 9;
  clsCuenta account;
  account.cEmpresa(company);
  const std::pair<const char*, const char*> expansions[] = {
      // The worked examples.
      {"43.5", "430000005"}, {"430.12", "430000012"}, {"43", "430000000"}, {"43.", "430000000"},
      {".7", "000000007"}, {".", "000000000"}, {"430000005", "430000005"},
      {"43.000005", "43.000005"}, {"4300000051", ""}, {"", ""}, {"4.3.5", "4000003.5"},
      // Blanks are counted, then trimmed.
      {" 43.5", "43000005"}, {"43.5 ", "43000005"}, {" 4300005 ", "4300005"}, {"   ", "000000"},
      // Characters, not bytes: "Ñ" is two bytes but one character.
      {"Ñ3.5", "Ñ30000005"}, {"ÑÑÑÑÑÑÑÑÑ", "ÑÑÑÑÑÑÑÑÑ"}, {"€", "€00000000"},
      {"ÑÑÑÑÑ", "ÑÑÑÑÑ0000"}, {"ÑÑÑÑÑÑÑÑÑÑ", ""},
  };
  for (const auto& [short_form, full_code] : expansions) {
    EXPECT_EQ(account.CuentaDesarrollo(short_form), full_code) << "'" << short_form << "'";
  }
  // Left and right parts longer than the code: no room for zeros.
  EXPECT_RUNTIME_ERROR(account.CuentaDesarrollo("4300.00000001"), err::kInvalidArgument);
  EXPECT_RUNTIME_ERROR(clsCuenta().CuentaDesarrollo("43.5"), err::kObjectNotSet);

  // The length is read anew at each use, the value read last sizing the zeros.
  auto growing = std::make_shared<GrowingCompany>();
  account.cEmpresa(growing);
  EXPECT_EQ(account.CuentaDesarrollo("43.5"), "4300000005");  // ten
  growing->reads = 0;
  EXPECT_EQ(account.CuentaDesarrollo("43"), "43000000000");  // eleven

  // Composing pads the number into the room left by the root; it needs no company.
  const std::tuple<const char*, int32_t, int16_t, const char*> compositions[] = {
      // The worked examples.
      {"43", 5, 9, "430000005"}, {"4300", 125, 9, "430000125"},
      {"4300000001", 5, 9, "4300000005"}, {"43", 12345678, 9, "4312345678"},
      {"43", -5, 9, "43-0000005"},
      {"430000000", 5, 9, "4300000005"},  // no room: unpadded
      {"43", 5, 0, "5"},                  // the number alone
      {"", 7, 3, "007"}, {" 43", 7, 5, " 4307"},  // blanks are not trimmed
      {"43", 0, 4, "4300"}, {"43", std::numeric_limits<int32_t>::min(), 9, "43-2147483648"},
      // The root is cut and the room counted in characters.
      {"ÑÑÑÑ", 5, 3, "ÑÑÑ5"}, {"Ñ4", 5, 5, "Ñ4005"},
  };
  for (const auto& [root, number, digits, code] : compositions) {
    EXPECT_EQ(clsCuenta().ComponerCuenta(root, number, digits), code)
        << root << ", " << number << ", " << digits;
  }
  EXPECT_RUNTIME_ERROR(clsCuenta().ComponerCuenta("43", 5, -1), err::kInvalidArgument);
}

}  // namespace
}  // namespace vornexa::testing
