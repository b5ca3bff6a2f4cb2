#include "vornexa/chart/seed.h"

#include <algorithm>
#include <set>

#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/base/text.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa {

size_t SeedResult::LeftOut() const {
  size_t count = 0;
  for (const auto& [length, entries] : without_level) count += entries;
  return count;
}

SeedResult SeedChart(const std::shared_ptr<clsEmpresa>& company, std::vector<ChartEntry> chart,
                     const SeedProgress& progress) {
  std::sort(chart.begin(), chart.end(),
            [](const ChartEntry& a, const ChartEntry& b) { return a.code < b.code; });
  std::set<size_t> level_lengths;
  for (int16_t i = 0; i <= 5; ++i) {
    const int16_t digits = company->DigitosNivel(i);
    if (digits > 0) level_lengths.insert(static_cast<size_t>(digits));
  }
  // Each account's own atomic creation nests inside this one.
  AtomicScope all(RequireSharedConnection());
  SeedResult result;
  for (size_t i = 0; i < chart.size(); ++i) {
    const size_t length = CharCount(chart[i].code);
    if (!level_lengths.contains(length)) {
      ++result.without_level[length];
    } else {
      clsCuenta account;
      account.cEmpresa(company);
      account.Cuenta = chart[i].code;
      if (account.Existe()) {
        ++result.kept;
      } else {
        account.Nombre = chart[i].name;
        account.Insertar();
        ++result.created;
      }
    }
    if (progress) progress(i + 1, chart.size());
  }
  all.Commit();
  return result;
}

}  // namespace vornexa
