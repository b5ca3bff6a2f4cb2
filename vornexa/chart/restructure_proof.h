// The proof that a restructuring changed no balance. It reads the chart
// before the change, maps what it read through the change, reads the chart
// after it and compares:
//   - every row of the accounts the change touches, one by one: each
//     accumulator row (Acumulados, Acumulados_Dpto: opening amount, twelve
//     debits, twelve credits and the balance as Dev_Saldo computes it), the
//     debit, credit and count of the journal lines of each exercise, and the
//     amount and count of the collection forecasts of each state; rows that
//     a merge brings together are added up first;
//   - the total of each level of the accumulator rows of each exercise (and
//     department);
//   - every upper account whose accumulator row held the sum of those of the
//     accounts right under it still holding it.
// Rows are read in code order and compared in that order, which a change of
// codes keeps, so that only a 64-bit fingerprint of each compared row is
// kept from before: memory grows with the accounts compared, not with the
// journal lines, and an exact account of the first difference is read again
// once the change has been undone.
#ifndef VORNEXA_CHART_RESTRUCTURE_PROOF_H_
#define VORNEXA_CHART_RESTRUCTURE_PROOF_H_

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "vornexa/chart/restructure_rewrite.h"
#include "vornexa/data/connection.h"

namespace vornexa {

// One row the proof compares: its group (exercise, department or state),
// the code, the amounts and counts.
struct ProofRow {
  std::vector<std::string> group;
  std::optional<int16_t> exercise;
  std::string code;
  int16_t level = 0;
  std::vector<int64_t> values;
};

// A difference found after the change. Rows compared one by one need the
// state before, read again once the change is undone, to be described.
struct ProofDifference {
  size_t ledger = 0;
  size_t index = 0;                // position among the ledger's compared rows
  std::optional<ProofRow> after;   // the row after the change; none when it is missing
  std::string description;         // already complete for totals and upper accounts
};

class BalanceProof {
 public:
  // `advance` is told of every `n` rows read (journal lines and forecasts
  // counted one by one).
  BalanceProof(Connection& connection, int16_t company, const CodeRewrite& rewrite,
               std::function<void(int64_t n)> advance);
  ~BalanceProof();

  // How many accumulator rows each reading goes through (the company's all).
  int64_t CountAccumulatorRows();

  void ReadBefore();
  // The first difference between the chart now and the one read before.
  std::optional<ProofDifference> CompareAfter();
  // The words of `difference`, reading the chart as it was before; call
  // once the change has been undone.
  std::string Describe(const ProofDifference& difference);

  int64_t rows_compared() const { return rows_compared_; }
  int64_t uppers_kept() const { return uppers_kept_; }

 private:
  struct Ledger;
  // Per exercise (and department) and level.
  using LevelTotals = std::map<std::vector<std::string>, std::vector<int64_t>>;

  // Reads `ledger`, calling `compared` for each compared row (rows of one
  // key added up; stops when it returns false) and `upper` for each upper
  // account with whether its row held the sum of those under it.
  void Read(const Ledger& ledger, bool before, LevelTotals* totals,
            const std::function<bool(const ProofRow&)>& compared,
            const std::function<void(const ProofRow&, const std::vector<int64_t>& under,
                                     bool held)>& upper);

  // "Acumulados, ejercicio 2024, departamento 2, cuenta 4300"
  static std::string Where(const Ledger& ledger, const ProofRow& row);
  // An amount with four decimals, a count as it is.
  static std::string ValueText(const Ledger& ledger, size_t index, int64_t value);
  static std::string UpperDescription(const Ledger& ledger, const ProofRow& row,
                                      const std::vector<int64_t>& under);
  static std::optional<std::string> LevelDifference(const Ledger& ledger,
                                                    const LevelTotals& before,
                                                    const LevelTotals& after);

  Connection& connection_;
  int16_t company_;
  const CodeRewrite& rewrite_;
  std::function<void(int64_t)> advance_;
  std::vector<Ledger> ledgers_;
  std::vector<std::vector<uint64_t>> fingerprints_;  // per ledger, in order
  std::vector<LevelTotals> totals_;                  // per ledger, before
  std::set<std::string> held_before_;                // upper accounts, mapped
  int64_t rows_compared_ = 0;
  int64_t uppers_kept_ = 0;
};

}  // namespace vornexa

#endif  // VORNEXA_CHART_RESTRUCTURE_PROOF_H_
