// The companies the tool keeps, in a table of its own (Vornexa_Empresas) in
// the same database. The library never reads it: it asks a StoredCompany.
#ifndef TOOLS_VORNEXA_COMPANY_SETTINGS_H_
#define TOOLS_VORNEXA_COMPANY_SETTINGS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <vornexa/vornexa.h>

namespace vornexa::cli {

inline constexpr std::string_view kCompanyTable = "Vornexa_Empresas";
// Characters of a company's name, as its column holds them.
inline constexpr size_t kNameLength = 100;

// The default shape of a code matches the standard charts: groups of 1 digit,
// subgroups of 2, accounts of 3, subcuentas of 4 and detail accounts of 8.
struct CompanySettings {
  int16_t code = 1;
  std::string name;
  int16_t exercise = 0;              // the active exercise
  std::vector<int16_t> exercises;    // every exercise the company keeps
  bool multi_exercise = false;       // saves reach later exercises too
  std::array<int16_t, 6> level_digits{1, 2, 3, 4, 8, 0};
  int16_t account_digits = 8;        // length of a detail account code
};

// Raises error 1000 naming the first rule broken: a name of at most
// kNameLength characters (a server would refuse a longer one); levels of 1
// to 20 digits, each longer than the one before, unused levels 0 at the end;
// a detail account as long as the deepest level; the active exercise in the
// list; exercises not 0 and not repeated.
void CheckCompany(const CompanySettings& settings, std::string_view source);

// Creates the table when missing, in the connection's dialect.
void CreateCompanyTable(Connection& connection);

std::optional<CompanySettings> LoadCompany(Connection& connection, int16_t code);
// Every company, by code.
std::vector<CompanySettings> LoadCompanies(Connection& connection);
// Updates the company's row, or inserts it when there is none.
void SaveCompany(Connection& connection, const CompanySettings& settings);

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_COMPANY_SETTINGS_H_
