// The sample company's journal over its two exercises: invoices, their
// collections, purchases and payments, rent, electricity and payroll, one
// voided invoice, and the collection forecasts of the invoices still open.
// Made by a fixed pseudo-random sequence, so every demo is the same.
#ifndef TOOLS_VORNEXA_DEMO_JOURNAL_H_
#define TOOLS_VORNEXA_DEMO_JOURNAL_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <vornexa/vornexa.h>

namespace vornexa::cli::demo {

struct JournalLine {
  std::string account;
  Currency debit;
  Currency credit;
  std::string concept_text;
  std::string document;
  int16_t department = 0;
  int16_t journal = 0;
};

struct JournalEntry {
  int16_t exercise = 0;
  int32_t number = 0;
  Date date{};
  bool voided = false;
  std::vector<JournalLine> lines;
};

struct Forecast {
  int32_t number = 0;
  std::string account;
  int16_t state = 0;  // 1 to 4 pending, 5 collected
  Currency amount;
};

struct Journal {
  std::vector<JournalEntry> entries;  // numbered by date within each exercise
  std::vector<Forecast> forecasts;
  size_t LineCount() const;
};

Journal MakeJournal();

// Writes the entries, their lines and the forecasts, and the amounts of the
// accumulator rows (already created with the accounts) of every account
// posted to and of its upper accounts: periods from the lines of entries
// not voided, and as opening balance of the second exercise the closing
// balance of the first for balance-sheet accounts (groups 1 to 5).
void WriteJournal(Connection& connection, const Journal& journal,
                  const std::array<int16_t, 6>& level_digits);

}  // namespace vornexa::cli::demo

#endif  // TOOLS_VORNEXA_DEMO_JOURNAL_H_
