// Seeding a company's chart of accounts from a standard chart: every code the
// active exercise lacks is saved through clsCuenta::Insertar, so each gets its
// level and accumulator rows exactly as an account saved by hand would.
#ifndef VORNEXA_CHART_SEED_H_
#define VORNEXA_CHART_SEED_H_

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vornexa/context/empresa.h"

namespace vornexa {

struct ChartEntry {
  std::string code;
  std::string name;
};

struct SeedResult {
  size_t created = 0;  // saved now
  size_t kept = 0;     // already in the active exercise: left exactly as they were
  // Code length -> how many entries of that length were left out because no
  // level of the company has that many digits.
  std::map<size_t, size_t> without_level;

  size_t LeftOut() const;
};

// Called after each entry with the entries done and the total.
using SeedProgress = std::function<void(size_t done, size_t total)>;

// Saves, on the thread's shared connection, every entry of `chart` that the
// company's active exercise lacks, in code order so that an upper account is
// there before the accounts under it. An entry whose code length is no level
// of the company is left out and counted; an existing account keeps its data.
// All or none: the entries are saved in one atomic scope, so a failure (the
// first error of Insertar or Existe, with its own number and source) leaves
// the exercise as it was.
SeedResult SeedChart(const std::shared_ptr<clsEmpresa>& company, std::vector<ChartEntry> chart,
                     const SeedProgress& progress = {});

}  // namespace vornexa

#endif  // VORNEXA_CHART_SEED_H_
