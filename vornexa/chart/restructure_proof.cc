#include "vornexa/chart/restructure_proof.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "vornexa/accounts/balance_expression.h"
#include "vornexa/chart/restructure_columns.h"
#include "vornexa/chart/restructure_statements.h"
#include "vornexa/schema/tables.h"

namespace vornexa {

namespace {

// Journal lines and forecasts are read grouped; progress counts them one by one.
constexpr int64_t kAdvanceEvery = 4096;

const CodeColumn& LibraryColumn(CodeTable kind) {
  for (const CodeColumn& column : LibraryCodeColumns()) {
    if (column.table_kind == kind) return column;
  }
  return LibraryCodeColumns().front();
}

// Where a row's key ends and the next part begins; no code or number holds it.
constexpr char kKeySeparator = '\x1f';

std::string RowKey(const ProofRow& row) {
  std::string key;
  for (const std::string& part : row.group) key += part + kKeySeparator;
  return key + row.code;
}

bool SameKey(const ProofRow& a, const ProofRow& b) { return a.code == b.code && a.group == b.group; }

// A 64-bit mix of the row's key and values, word by word (each step of
// splitmix64's finaliser), so that close inputs land far apart.
uint64_t Fingerprint(const ProofRow& row) {
  uint64_t hash = 0x9e3779b97f4a7c15ull;
  const auto mix = [&hash](uint64_t word) {
    hash = (hash ^ word) * 0xbf58476d1ce4e5b9ull;
    hash ^= hash >> 31;
  };
  const auto mix_text = [&](std::string_view text) {
    mix(std::hash<std::string_view>{}(text));
    mix(text.size());
  };
  for (const std::string& part : row.group) mix_text(part);
  mix_text(row.code);
  for (int64_t value : row.values) mix(static_cast<uint64_t>(value));
  hash *= 0x94d049bb133111ebull;
  return hash ^ (hash >> 31);
}

void AddValues(std::vector<int64_t>& into, const std::vector<int64_t>& values) {
  if (into.empty()) into.assign(values.size(), 0);
  for (size_t i = 0; i < values.size(); ++i) into[i] += values[i];
}

// Accumulator rows in code order, each added to the nearest upper account
// read before it whose code begins its own; an upper account is told, once
// the rows under it are past, whether its own row holds their sum. Every row
// passes through the stack, so its slots are kept and reused.
class UpperSums {
 public:
  using Closed = std::function<void(const ProofRow&, const std::vector<int64_t>&, bool)>;
  explicit UpperSums(Closed closed) : closed_(std::move(closed)) {}

  void Add(const ProofRow& row) {
    if (depth_ > 0 && slots_.front().row.group != row.group) Finish();
    while (depth_ > 0 && !IsUnder(row.code, slots_[depth_ - 1].row.code)) Close();
    if (depth_ > 0) AddValues(slots_[depth_ - 1].under, row.values);
    if (depth_ == slots_.size()) slots_.emplace_back();
    Entry& entry = slots_[depth_++];
    entry.row = row;
    entry.under.clear();
  }
  void Finish() {
    while (depth_ > 0) Close();
  }

 private:
  struct Entry {
    ProofRow row;
    std::vector<int64_t> under;  // empty while nothing is under it
  };
  static bool IsUnder(std::string_view code, std::string_view upper) {
    return code.size() > upper.size() && code.starts_with(upper);
  }
  void Close() {
    const Entry& entry = slots_[--depth_];
    if (!entry.under.empty()) closed_(entry.row, entry.under, entry.row.values == entry.under);
  }

  Closed closed_;
  std::vector<Entry> slots_;
  size_t depth_ = 0;
};

// The totals of each level of one exercise (and department) while its rows
// are read, handed to the ledger's totals when the next group begins.
class GroupLevelTotals {
 public:
  explicit GroupLevelTotals(std::map<std::vector<std::string>, std::vector<int64_t>>* totals)
      : totals_(totals) {}
  ~GroupLevelTotals() { Flush(); }

  void Add(const ProofRow& row) {
    if (row.group != group_) {
      Flush();
      group_ = row.group;
    }
    const size_t level = static_cast<size_t>(std::clamp<int16_t>(row.level, 0, 6));
    AddValues(levels_[level], row.values);
  }

 private:
  void Flush() {
    for (size_t level = 0; level < levels_.size(); ++level) {
      if (levels_[level].empty()) continue;
      std::vector<std::string> key = group_;
      key.push_back(std::to_string(level));
      AddValues((*totals_)[key], levels_[level]);
      levels_[level].clear();
    }
  }

  std::map<std::vector<std::string>, std::vector<int64_t>>* totals_;
  std::vector<std::string> group_;
  std::array<std::vector<int64_t>, 7> levels_;
};

}  // namespace

struct BalanceProof::Ledger {
  std::string_view name;
  std::vector<std::string_view> group_columns;  // the first, when an exercise, is Cod_Ejercicio
  std::vector<std::string_view> group_labels;
  std::vector<std::string> values;
  size_t counts_from;                 // the values from here on are counts, not amounts
  bool accumulators;                  // the whole company, with levels and upper accounts
  std::optional<size_t> weight;       // the count that tells progress how many rows a row stands for
  std::string count_query;            // how many rows an accumulator ledger holds
  std::string before_query, after_query;
};

BalanceProof::BalanceProof(Connection& connection, int16_t company, const CodeRewrite& rewrite,
                           std::function<void(int64_t)> advance)
    : connection_(connection), company_(company), rewrite_(rewrite), advance_(std::move(advance)) {
  std::vector<std::string> amounts(std::begin(table::kAccumulatorAmounts),
                                   std::end(table::kAccumulatorAmounts));
  amounts.push_back("Saldo");
  const auto accumulators = [&](CodeTable kind, std::vector<std::string_view> group,
                                std::vector<std::string_view> labels) {
    const CodeColumn& column = LibraryColumn(kind);
    SqlStatement select("SELECT ");
    for (std::string_view part : group) select.Raw(part).Raw(", ");
    select.Raw("Cuenta, Nivel");
    for (std::string_view amount : table::kAccumulatorAmounts) select.Raw(", ").Raw(amount);
    select.Raw(", ").Raw(kBalanceExpression).Raw(" AS Saldo FROM ").Raw(column.sql_table);
    restructure_sql::CompanyRows(select, column, company, std::nullopt).Raw(" ORDER BY ");
    for (std::string_view part : group) select.Raw(part).Raw(", ");
    const std::string query = select.Raw("Cuenta").Take();
    const std::string count = restructure_sql::CountCompanyRows(column, company);
    ledgers_.push_back({column.table, std::move(group), std::move(labels), amounts,
                        amounts.size(), true, std::nullopt, count, query, query});
  };
  accumulators(CodeTable::kAcumulados, {"Cod_Ejercicio"}, {"ejercicio"});
  accumulators(CodeTable::kAcumuladosDpto, {"Cod_Ejercicio", "Dpto"},
               {"ejercicio", "departamento"});

  // Journal lines and forecasts are read only for the codes compared, added
  // up per exercise or state.
  const auto grouped = [&](CodeTable kind, std::string_view group, std::string_view label,
                           std::vector<std::string> values, std::string_view sums) {
    const CodeColumn& column = LibraryColumn(kind);
    const auto query = [&](const std::vector<CodeScope>& scopes) {
      SqlStatement sql("SELECT ");
      sql.Raw(group).Raw(", ").Raw(column.sql_column).Raw(" AS Cuenta, ").Raw(sums);
      restructure_sql::CompanyRows(sql.Raw(" FROM ").Raw(column.sql_table), column, company,
                                   rewrite.from_exercise);
      AppendAnyScope(sql, column.sql_column, scopes);
      return sql.Raw(" GROUP BY ")
          .Raw(group)
          .Raw(", ")
          .Raw(column.sql_column)
          .Raw(" ORDER BY ")
          .Raw(group)
          .Raw(", ")
          .Raw(column.sql_column)
          .Take();
    };
    const size_t counts_from = values.size() - 1;
    ledgers_.push_back({column.table, {group}, {label}, std::move(values), counts_from, false,
                        counts_from, "", query(rewrite.ComparedBefore()),
                        query(rewrite.ComparedAfter())});
  };
  grouped(CodeTable::kMovimientos, "Cod_Ejercicio", "ejercicio", {"Debe", "Haber", "Apuntes"},
          "SUM(Debe) AS Debe, SUM(Haber) AS Haber, COUNT(*) AS Apuntes");
  grouped(CodeTable::kPrevisiones, "Estado", "estado", {"Importe", "Previsiones"},
          "SUM(Importe) AS Importe, COUNT(*) AS Previsiones");
  fingerprints_.resize(ledgers_.size());
  totals_.resize(ledgers_.size());
}

BalanceProof::~BalanceProof() = default;

int64_t BalanceProof::CountAccumulatorRows() {
  int64_t rows = 0;
  for (const Ledger& ledger : ledgers_) {
    if (!ledger.accumulators) continue;
    rows += connection_.Open(ledger.count_query, Cursor::Static)->Field("n").ToInt64();
  }
  return rows;
}

void BalanceProof::Read(const Ledger& ledger, bool before, LevelTotals* totals,
                        const std::function<bool(const ProofRow&)>& compared,
                        const std::function<void(const ProofRow&, const std::vector<int64_t>&,
                                                 bool)>& upper) {
  const std::vector<CodeScope> scopes =
      before ? rewrite_.ComparedBefore() : rewrite_.ComparedAfter();
  const bool by_exercise = ledger.group_columns.front() == "Cod_Ejercicio";
  UpperSums uppers(upper);
  GroupLevelTotals levels(totals);
  // The row being read, and the compared row before it, kept until the
  // next one has another key; both reused from row to row.
  ProofRow row, pending;
  bool has_pending = false;
  int64_t unreported = 0;
  bool stopped = false;

  const std::unique_ptr<Recordset> rows =
      connection_.Open(before ? ledger.before_query : ledger.after_query);
  for (; !rows->Eof() && !stopped; rows->MoveNext()) {
    row.group.resize(ledger.group_columns.size());
    for (size_t i = 0; i < ledger.group_columns.size(); ++i) {
      row.group[i] = rows->Field(ledger.group_columns[i]).ToText();
    }
    if (by_exercise) row.exercise = rows->Field("Cod_Ejercicio").ToInt16();
    row.code = rows->Field("Cuenta").ToText();
    if (ledger.accumulators) row.level = rows->Field("Nivel").ToInt16();
    row.values.resize(ledger.values.size());
    for (size_t i = 0; i < ledger.values.size(); ++i) {
      const Value value = rows->Field(ledger.values[i]);
      row.values[i] = i < ledger.counts_from ? value.ToCurrency().ten_thousandths : value.ToInt64();
    }
    unreported += ledger.weight ? row.values[*ledger.weight] : 1;
    if (unreported >= kAdvanceEvery) advance_(std::exchange(unreported, 0));
    if (ledger.accumulators) {
      levels.Add(row);
      uppers.Add(row);
    }

    const bool in_time = !row.exercise || !rewrite_.from_exercise ||
                         *row.exercise >= *rewrite_.from_exercise;
    const bool in_scope = std::any_of(scopes.begin(), scopes.end(), [&](const CodeScope& scope) {
      return scope.Contains(row.code);
    });
    if (!in_time || !in_scope) continue;
    if (before) row.code = rewrite_.Map(row.code, row.exercise);
    if (has_pending && SameKey(row, pending)) {
      AddValues(pending.values, row.values);
      continue;
    }
    if (has_pending) stopped = !compared(pending);
    std::swap(row, pending);
    has_pending = true;
  }
  rows->Close();
  advance_(unreported);
  if (stopped) return;
  if (has_pending) compared(pending);
  uppers.Finish();
}

void BalanceProof::ReadBefore() {
  for (size_t i = 0; i < ledgers_.size(); ++i) {
    Read(ledgers_[i], true, &totals_[i],
         [&](const ProofRow& row) {
           fingerprints_[i].push_back(Fingerprint(row));
           ++rows_compared_;
           return true;
         },
         [&](const ProofRow& row, const std::vector<int64_t>&, bool held) {
           if (!held) return;
           ProofRow mapped = row;
           mapped.code = rewrite_.Map(row.code, row.exercise);
           held_before_.insert(RowKey(mapped));
         });
  }
}

std::optional<ProofDifference> BalanceProof::CompareAfter() {
  std::optional<ProofDifference> found;
  for (size_t i = 0; i < ledgers_.size() && !found; ++i) {
    const Ledger& ledger = ledgers_[i];
    const std::vector<uint64_t>& expected = fingerprints_[i];
    size_t index = 0;
    LevelTotals totals;
    Read(ledger, false, &totals,
         [&](const ProofRow& row) {
           if (found) return false;
           if (index >= expected.size() || Fingerprint(row) != expected[index]) {
             found = ProofDifference{i, index, row, ""};
             return false;
           }
           ++index;
           return true;
         },
         [&](const ProofRow& row, const std::vector<int64_t>& under, bool held) {
           if (found || !held_before_.contains(RowKey(row))) return;
           if (held) {
             ++uppers_kept_;
           } else {
             found = ProofDifference{i, 0, std::nullopt, UpperDescription(ledger, row, under)};
           }
         });
    if (found) break;
    if (index < expected.size()) {
      found = ProofDifference{i, index, std::nullopt, ""};
    } else if (std::optional<std::string> level = LevelDifference(ledger, totals_[i], totals)) {
      found = ProofDifference{i, 0, std::nullopt, *level};
    }
  }
  return found;
}

std::string BalanceProof::Describe(const ProofDifference& difference) {
  if (!difference.description.empty()) return difference.description;
  const Ledger& ledger = ledgers_[difference.ledger];
  std::optional<ProofRow> before;
  size_t index = 0;
  LevelTotals ignored;
  Read(ledger, true, &ignored,
       [&](const ProofRow& row) {
         if (index++ < difference.index) return true;
         before = row;
         return false;
       },
       [](const ProofRow&, const std::vector<int64_t>&, bool) {});
  const std::optional<ProofRow>& after = difference.after;
  if (!before && !after) return std::string(ledger.name) + ": las filas cambiaron durante el cambio";
  if (!before || (after && RowKey(*after) < RowKey(*before))) {
    return Where(ledger, *after) + ": no estaba antes del cambio";
  }
  if (!after || RowKey(*before) < RowKey(*after)) {
    return Where(ledger, *before) + ": falta después del cambio";
  }
  for (size_t i = 0; i < before->values.size(); ++i) {
    if (before->values[i] == after->values[i]) continue;
    return Where(ledger, *after) + ": " + ledger.values[i] + " antes " +
           ValueText(ledger, i, before->values[i]) + ", después " +
           ValueText(ledger, i, after->values[i]);
  }
  return Where(ledger, *after) + ": cambió durante el cambio";
}

std::string BalanceProof::Where(const Ledger& ledger, const ProofRow& row) {
  std::string where(ledger.name);
  for (size_t i = 0; i < row.group.size(); ++i) {
    where += ", " + std::string(ledger.group_labels[i]) + " " + row.group[i];
  }
  return where + ", cuenta " + row.code;
}

std::string BalanceProof::ValueText(const Ledger& ledger, size_t index, int64_t value) {
  return index < ledger.counts_from ? Currency{value}.ToString() : std::to_string(value);
}

std::string BalanceProof::UpperDescription(const Ledger& ledger, const ProofRow& row,
                                           const std::vector<int64_t>& under) {
  size_t i = 0;
  while (i + 1 < under.size() && row.values[i] == under[i]) ++i;
  return Where(ledger, row) + ": su fila sumaba lo de las cuentas que tiene debajo y ya no (" +
         ledger.values[i] + " " + ValueText(ledger, i, row.values[i]) + ", de las de debajo " +
         ValueText(ledger, i, under[i]) + ")";
}

std::optional<std::string> BalanceProof::LevelDifference(const Ledger& ledger,
                                                         const LevelTotals& before,
                                                         const LevelTotals& after) {
  LevelTotals keys = before;
  keys.insert(after.begin(), after.end());
  for (const auto& [key, unused] : keys) {
    const auto was = before.find(key);
    const auto is = after.find(key);
    const std::vector<int64_t> zeros(ledger.values.size(), 0);
    const std::vector<int64_t>& old_totals = was == before.end() ? zeros : was->second;
    const std::vector<int64_t>& new_totals = is == after.end() ? zeros : is->second;
    for (size_t i = 0; i < zeros.size(); ++i) {
      if (old_totals[i] == new_totals[i]) continue;
      std::string where(ledger.name);
      for (size_t g = 0; g + 1 < key.size(); ++g) {
        where += ", " + std::string(ledger.group_labels[g]) + " " + key[g];
      }
      return where + ", nivel " + key.back() + ": el total de " + ledger.values[i] + " era " +
             ValueText(ledger, i, old_totals[i]) + " y es " + ValueText(ledger, i, new_totals[i]);
    }
  }
  return std::nullopt;
}

}  // namespace vornexa
