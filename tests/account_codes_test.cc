// Account codes: expanding the short form with a point and composing a code
// from a root and a number, counted in characters, with the runtime's errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "support/caught_error.h"
#include "vornexa/vornexa.h"

namespace vornexa::testing {
namespace {

// An account object whose company has detail accounts of 9 digits.
clsCuenta NineDigitAccount() {
  auto company = std::make_shared<Empresa>();
  company->codigo = 1;
  company->ejercicio = 5;
  company->digitos_cuenta = 9;
  clsCuenta account;
  account.cEmpresa(company);
  return account;
}

struct Expansion {
  std::string short_form;
  std::string full_code;
};

TEST(CuentaDesarrollo, ExpandsEveryWorkedExample) {
  clsCuenta account = NineDigitAccount();
  const Expansion examples[] = {
      {"43.5", "430000005"},      {"430.12", "430000012"},
      {"43", "430000000"},        {"43.", "430000000"},
      {".7", "000000007"},        {".", "000000000"},
      {"430000005", "430000005"}, {"43.000005", "43.000005"},
      {"4300000051", ""},         {"", ""},
      {"4.3.5", "4000003.5"},
  };
  for (const Expansion& example : examples) {
    EXPECT_EQ(account.CuentaDesarrollo(example.short_form), example.full_code)
        << "short form '" << example.short_form << "'";
  }
}

TEST(CuentaDesarrollo, CountsBlanksThenTrimsThem) {
  clsCuenta account = NineDigitAccount();
  EXPECT_EQ(account.CuentaDesarrollo(" 43.5"), "43000005");  // eight digits
  EXPECT_EQ(account.CuentaDesarrollo("43.5 "), "43000005");
  EXPECT_EQ(account.CuentaDesarrollo(" 4300005 "), "4300005");  // nine characters as they are
  EXPECT_EQ(account.CuentaDesarrollo("   "), "000000");         // a root of blanks, zero-filled
}

TEST(CuentaDesarrollo, CountsCharactersNotBytes) {
  clsCuenta account = NineDigitAccount();
  // "Ñ" is two bytes but one character.
  EXPECT_EQ(account.CuentaDesarrollo("Ñ3.5"), "Ñ30000005");
  EXPECT_EQ(account.CuentaDesarrollo("ÑÑÑÑÑÑÑÑÑ"), "ÑÑÑÑÑÑÑÑÑ");
  EXPECT_EQ(account.CuentaDesarrollo("€"), "€00000000");
  EXPECT_EQ(account.CuentaDesarrollo("ÑÑÑÑÑ"), "ÑÑÑÑÑ0000");  // ten bytes, five characters
  EXPECT_EQ(account.CuentaDesarrollo("ÑÑÑÑÑÑÑÑÑÑ"), "");      // ten characters, no point
}

TEST(CuentaDesarrollo, RaisesTheRuntimesErrorsUnderItsSource) {
  clsCuenta account = NineDigitAccount();
  const std::string invalid(StandardDescription(error_number::kInvalidArgument));
  // Left and right parts longer than the code: no room for zeros.
  EXPECT_VORNEXA_ERROR(account.CuentaDesarrollo("4300.00000001"), error_number::kInvalidArgument,
                       std::string(kRuntimeSource), invalid);
  clsCuenta orphan;
  EXPECT_VORNEXA_ERROR(orphan.CuentaDesarrollo("43.5"), error_number::kObjectNotSet,
                       std::string(kRuntimeSource),
                       std::string(StandardDescription(error_number::kObjectNotSet)));
}

TEST(CuentaDesarrollo, AsksTheCompanyAtEachUse) {
  // A company whose detail length changes under the expansion: the last
  // value read sizes the run of zeros.
  class GrowingCompany : public Empresa {
   public:
    int16_t DigitosCuenta() override { return static_cast<int16_t>(9 + reads_++); }
    int reads_ = 0;
  };
  auto company = std::make_shared<GrowingCompany>();
  clsCuenta account;
  account.cEmpresa(company);
  EXPECT_EQ(account.CuentaDesarrollo("43.5"), "4300000005");  // ten: the second read
  EXPECT_EQ(company->reads_, 2);
  company->reads_ = 0;
  EXPECT_EQ(account.CuentaDesarrollo("43"), "43000000000");  // eleven: the third read
  EXPECT_EQ(company->reads_, 3);
}

struct Composition {
  std::string root;
  int32_t number;
  int16_t digits;
  std::string code;
};

TEST(ComponerCuenta, ComposesEveryWorkedExample) {
  clsCuenta account;  // needs no company
  const Composition examples[] = {
      {"43", 5, 9, "430000005"},          {"4300", 125, 9, "430000125"},
      {"4300000001", 5, 9, "4300000005"}, {"43", 12345678, 9, "4312345678"},
      {"43", -5, 9, "43-0000005"},
  };
  for (const Composition& example : examples) {
    EXPECT_EQ(account.ComponerCuenta(example.root, example.number, example.digits), example.code)
        << example.root << ", " << example.number << ", " << example.digits;
  }
}

TEST(ComponerCuenta, PadsOnlyTheRoomLeftByTheRoot) {
  clsCuenta account;
  EXPECT_EQ(account.ComponerCuenta("430000000", 5, 9), "4300000005");  // no room: unpadded
  EXPECT_EQ(account.ComponerCuenta("43", 5, 0), "5");                  // the number alone
  EXPECT_EQ(account.ComponerCuenta("", 7, 3), "007");
  EXPECT_EQ(account.ComponerCuenta(" 43", 7, 5), " 4307");  // blanks are not trimmed
  EXPECT_EQ(account.ComponerCuenta("43", 0, 4), "4300");
  EXPECT_EQ(account.ComponerCuenta("43", std::numeric_limits<int32_t>::min(), 9), "43-2147483648");
  // The root is cut and the room counted in characters.
  EXPECT_EQ(account.ComponerCuenta("ÑÑÑÑ", 5, 3), "ÑÑÑ5");
  EXPECT_EQ(account.ComponerCuenta("Ñ4", 5, 5), "Ñ4005");
}

TEST(ComponerCuenta, RaisesTheRuntimesInvalidArgumentForNegativeDigits) {
  clsCuenta account;
  EXPECT_VORNEXA_ERROR(account.ComponerCuenta("43", 5, -1), error_number::kInvalidArgument,
                       std::string(kRuntimeSource),
                       std::string(StandardDescription(error_number::kInvalidArgument)));
}

}  // namespace
}  // namespace vornexa::testing
