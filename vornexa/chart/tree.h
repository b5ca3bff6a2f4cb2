// The chart of accounts of the active exercise as a tree: each account under
// the nearest account whose code begins its own (43000001 under 4300, 4300
// under 430), read with the library's own navigation and balance.
#ifndef VORNEXA_CHART_TREE_H_
#define VORNEXA_CHART_TREE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vornexa/base/types.h"
#include "vornexa/context/empresa.h"

namespace vornexa {

struct ChartNode {
  std::string code;
  std::string name;
  int16_t level = 0;                // as stored with the account
  std::optional<Currency> balance;  // Dev_Saldo, when asked for
  std::vector<ChartNode> children;  // in code order
};

struct ChartTreeOptions {
  // Only the accounts whose code begins with it; empty: the whole chart.
  std::string root;
  // Only accounts of this level or above; 0: every level.
  int16_t max_level = 0;
  // The balance of each account in this exercise (clsCuenta::Dev_Saldo).
  std::optional<int16_t> balance_exercise;
};

// The accounts of the company's active exercise, on the thread's shared
// connection, walked in code order with Cargar_Primero and Cargar_Siguiente.
// An account whose upper accounts are missing hangs from the nearest one
// there is, or stands at the top. Failures are those of the operations used,
// with their own sources.
std::vector<ChartNode> ReadChartTree(const std::shared_ptr<clsEmpresa>& company,
                                     const ChartTreeOptions& options = {});

}  // namespace vornexa

#endif  // VORNEXA_CHART_TREE_H_
