#include "tools/vornexa/demo/journal.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <vornexa/vornexa.h>

#include "tools/vornexa/demo/accounts.h"

namespace vornexa::cli::demo {

namespace {

// A small fixed generator (Knuth's MMIX constants): the same demo every run.
class Sequence {
 public:
  int Between(int low, int high) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return low + static_cast<int>((state_ >> 33) % static_cast<uint64_t>(high - low + 1));
  }

 private:
  uint64_t state_ = 20240101;
};

Currency Cents(int64_t cents) { return Currency{cents * 100}; }
// 21 % VAT, rounded to the cent.
int64_t VatCents(int64_t base_cents) { return (base_cents * 21 + 50) / 100; }

constexpr const char* kMonths[] = {"enero",      "febrero", "marzo",     "abril",
                                   "mayo",       "junio",   "julio",     "agosto",
                                   "septiembre", "octubre", "noviembre", "diciembre"};

struct Posting {
  std::string_view account;
  int64_t debit_cents;
  int64_t credit_cents;
};

// An invoice not yet collected or paid.
struct OpenItem {
  std::string account;
  std::string document;
  int64_t cents;
  int period;  // months since the start of the first exercise
};

class JournalMaker {
 public:
  Journal Make() {
    for (int16_t exercise : {kFirstExercise, kSecondExercise}) {
      exercise_ = exercise;
      invoices_ = purchases_ = 0;
      if (exercise == kFirstExercise) {
        Entry(1, 2, "Aportación de los socios", "CONST-1", kGeneralJournal, 0,
              {{kBank, 6000000, 0}, {kCapital, 0, 6000000}});
      }
      for (int month = 1; month <= 12; ++month) Month(month);
    }
    Forecasts();
    Number();
    return std::move(journal_);
  }

 private:
  void Month(int month) {
    period_ = (exercise_ - kFirstExercise) * 12 + month;
    Rent(month);
    for (int i = random_.Between(3, 4); i > 0; --i) Sale(month, false);
    if (exercise_ == kSecondExercise && month == 3) Sale(month, true);
    Collections(month);
    for (int i = random_.Between(1, 2); i > 0; --i) Purchase(month);
    Payments(month);
    Electricity(month);
    Payroll(month);
  }

  std::string Document(const char* prefix, int number) const {
    std::string digits = std::to_string(number);
    digits.insert(0, 3 - std::min<size_t>(3, digits.size()), '0');
    return prefix + std::to_string(exercise_ % 100) + "-" + digits;
  }

  void Entry(int month, int day, const std::string& concept_text, const std::string& document,
             int16_t journal, int16_t department, const std::vector<Posting>& postings,
             bool voided = false) {
    JournalEntry entry;
    entry.exercise = exercise_;
    entry.date = Date{exercise_, month, day};
    entry.voided = voided;
    for (const Posting& posting : postings) {
      entry.lines.push_back({std::string(posting.account), Cents(posting.debit_cents),
                             Cents(posting.credit_cents), concept_text, document, department,
                             journal});
    }
    journal_.entries.push_back(std::move(entry));
  }

  void Sale(int month, bool voided) {
    const DemoAccount& client = kClients[random_.Between(0, static_cast<int>(std::size(kClients)) - 1)];
    const bool transport = random_.Between(1, 5) == 1;
    const int64_t base = random_.Between(400, 6000) * 100LL + random_.Between(0, 99);
    const int64_t vat = VatCents(base);
    const std::string document = Document("F", ++invoices_);
    const auto department = static_cast<int16_t>(random_.Between(1, 3));
    Entry(month, random_.Between(3, 26),
          "Factura " + document + " " + std::string(client.name) + (voided ? " (anulada)" : ""),
          document, kSalesJournal, department,
          {{client.code, base + vat, 0}, {transport ? kServices : kSales, 0, base},
           {kVatOutput, 0, vat}},
          voided);
    if (!voided) receivable_.push_back({std::string(client.code), document, base + vat, period_});
  }

  // Most invoices of earlier months are collected.
  void Collections(int month) {
    std::vector<OpenItem> open;
    for (OpenItem& invoice : receivable_) {
      if (invoice.period < period_ && random_.Between(1, 10) <= 7) {
        Entry(month, 27, "Cobro factura " + invoice.document, invoice.document, kGeneralJournal,
              0, {{kBank, invoice.cents, 0}, {invoice.account, 0, invoice.cents}});
        collected_.push_back(std::move(invoice));
      } else {
        open.push_back(std::move(invoice));
      }
    }
    receivable_ = std::move(open);
  }

  void Purchase(int month) {
    const DemoAccount& supplier = kSuppliers[random_.Between(0, static_cast<int>(std::size(kSuppliers)) - 1)];
    const int64_t base = random_.Between(300, 3000) * 100LL + random_.Between(0, 99);
    const int64_t vat = VatCents(base);
    const std::string document = Document("P", ++purchases_);
    Entry(month, random_.Between(2, 20), "Factura proveedor " + std::string(supplier.name),
          document, kPurchasesJournal, 1,
          {{kPurchases, base, 0}, {kVatInput, vat, 0}, {supplier.code, 0, base + vat}});
    payable_.push_back({std::string(supplier.code), document, base + vat, period_});
  }

  // Bills of earlier months are paid on the 10th.
  void Payments(int month) {
    std::vector<OpenItem> open;
    for (OpenItem& bill : payable_) {
      if (bill.period < period_) {
        Entry(month, 10, "Pago factura proveedor " + bill.document, bill.document,
              kGeneralJournal, 0, {{bill.account, bill.cents, 0}, {kBank, 0, bill.cents}});
      } else {
        open.push_back(std::move(bill));
      }
    }
    payable_ = std::move(open);
  }

  void Rent(int month) {
    const int64_t rent = exercise_ == kFirstExercise ? 120000 : 123600;
    Entry(month, 1, std::string("Alquiler almacén ") + kMonths[month - 1],
          Document("ALQ", month), kGeneralJournal, 1, {{kRent, rent, 0}, {kBank, 0, rent}});
  }

  void Electricity(int month) {
    const int64_t amount = random_.Between(18000, 42000);
    const auto department = static_cast<int16_t>(random_.Between(1, 3));
    Entry(month, 15, std::string("Suministro eléctrico ") + kMonths[month - 1],
          Document("LUZ", month), kGeneralJournal, department,
          {{kElectricity, amount, 0}, {kBank, 0, amount}});
  }

  void Payroll(int month) {
    const int64_t amount = exercise_ == kFirstExercise ? 450000 : 465000;
    Entry(month, 28, std::string("Nóminas ") + kMonths[month - 1], Document("NOM", month),
          kGeneralJournal, 0, {{kSalaries, amount, 0}, {kBank, 0, amount}});
  }

  // Open invoices are pending forecasts in states 1 to 4; the last collected
  // ones stay as forecasts in state 5.
  void Forecasts() {
    int32_t number = 0;
    for (const OpenItem& invoice : receivable_) {
      journal_.forecasts.push_back({++number, invoice.account,
                                    static_cast<int16_t>(1 + number % 4), Cents(invoice.cents)});
    }
    const size_t kept = std::min<size_t>(collected_.size(), 8);
    for (size_t i = collected_.size() - kept; i < collected_.size(); ++i) {
      journal_.forecasts.push_back({++number, collected_[i].account, 5, Cents(collected_[i].cents)});
    }
  }

  // Entries are numbered by date within each exercise.
  void Number() {
    auto& entries = journal_.entries;
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return std::tie(a.date.year, a.date.month, a.date.day) <
             std::tie(b.date.year, b.date.month, b.date.day);
    });
    int32_t number = 0;
    int16_t exercise = 0;
    for (JournalEntry& entry : entries) {
      if (entry.exercise != exercise) number = 0;
      exercise = entry.exercise;
      entry.number = ++number;
    }
  }

  Journal journal_;
  Sequence random_;
  int16_t exercise_ = 0;
  int period_ = 0;
  int invoices_ = 0;
  int purchases_ = 0;
  std::vector<OpenItem> receivable_;
  std::vector<OpenItem> payable_;
  std::vector<OpenItem> collected_;
};

// The amounts of one accumulator row.
struct Accumulator {
  Currency opening;
  std::array<Currency, 12> debit{};
  std::array<Currency, 12> credit{};
  Currency Balance() const {
    Currency balance = opening;
    for (int i = 0; i < 12; ++i) balance = balance + debit[i] - credit[i];
    return balance;
  }
};

using AccumulatorKey = std::pair<int16_t, std::string>;  // exercise, account

// The account itself and each upper account: the first digits of each
// shorter level.
std::vector<std::string> AccountAndUppers(const std::string& code,
                                          const std::array<int16_t, 6>& levels) {
  std::vector<std::string> codes = {code};
  for (int16_t digits : levels) {
    if (digits > 0 && static_cast<size_t>(digits) < code.size()) {
      codes.push_back(code.substr(0, digits));
    }
  }
  return codes;
}

std::map<AccumulatorKey, Accumulator> Accumulate(const Journal& journal,
                                                 const std::array<int16_t, 6>& levels) {
  std::map<AccumulatorKey, Accumulator> rows;
  for (const JournalEntry& entry : journal.entries) {
    if (entry.voided) continue;
    for (const JournalLine& line : entry.lines) {
      for (const std::string& code : AccountAndUppers(line.account, levels)) {
        Accumulator& row = rows[{entry.exercise, code}];
        row.debit[entry.date.month - 1] = row.debit[entry.date.month - 1] + line.debit;
        row.credit[entry.date.month - 1] = row.credit[entry.date.month - 1] + line.credit;
      }
    }
  }
  // Balance-sheet accounts carry their closing balance into the next year.
  std::vector<std::pair<std::string, Currency>> carried;
  for (const auto& [key, row] : rows) {
    if (key.first == kFirstExercise && key.second[0] >= '1' && key.second[0] <= '5') {
      carried.emplace_back(key.second, row.Balance());
    }
  }
  for (const auto& [code, balance] : carried) rows[{kSecondExercise, code}].opening = balance;
  return rows;
}

}  // namespace

size_t Journal::LineCount() const {
  size_t count = 0;
  for (const JournalEntry& entry : entries) count += entry.lines.size();
  return count;
}

Journal MakeJournal() { return JournalMaker().Make(); }

void WriteJournal(Connection& connection, const Journal& journal,
                  const std::array<int16_t, 6>& level_digits) {
  for (const JournalEntry& entry : journal.entries) {
    // Company, exercise and entry number head both rows.
    const auto entry_values = [&](std::string_view head) {
      ValueList values(head);
      values.Next().Number(kCompany);
      values.Next().Number(entry.exercise);
      values.Next().Number(entry.number);
      return values;
    };
    ValueList head = entry_values(
        "INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, Cierre, Nulo) VALUES (");
    head.Next().Date(entry.date, connection.SqlDialect());
    head.Next().Number(0);
    head.Next().Number(entry.voided ? 1 : 0);
    connection.Execute(head.Close());
    int32_t line_number = 0;
    for (const JournalLine& line : entry.lines) {
      ValueList values = entry_values(
          "INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, Cuenta, "
          "Debe, Haber, Concepto, Documento, Dpto, Diario) VALUES (");
      values.Next().Number(++line_number);
      values.Next().Text(line.account, "Cuenta");
      values.Next().Amount(line.debit);
      values.Next().Amount(line.credit);
      values.Next().Text(line.concept_text, "Concepto");
      values.Next().Text(line.document, "Documento");
      values.Next().Number(line.department);
      values.Next().Number(line.journal);
      connection.Execute(values.Close());
    }
  }
  for (const Forecast& forecast : journal.forecasts) {
    ValueList values(
        "INSERT INTO Previsiones_Cobro (Cod_Empresa, Codigo, CuentaOriginal, Estado, Importe) "
        "VALUES (");
    values.Next().Number(kCompany);
    values.Next().Number(forecast.number);
    values.Next().Text(forecast.account, "CuentaOriginal");
    values.Next().Number(forecast.state);
    values.Next().Amount(forecast.amount);
    connection.Execute(values.Close());
  }
  for (const auto& [key, row] : Accumulate(journal, level_digits)) {
    SqlStatement sql("UPDATE Acumulados SET Apertura = ");
    sql.Amount(row.opening);
    for (int i = 0; i < 12; ++i) {
      sql.Raw(", D").Number(i + 1).Raw(" = ").Amount(row.debit[i]);
      sql.Raw(", H").Number(i + 1).Raw(" = ").Amount(row.credit[i]);
    }
    sql.Raw(" WHERE Cod_Empresa = ")
        .Number(kCompany)
        .Raw(" AND Cod_Ejercicio = ")
        .Number(key.first)
        .Raw(" AND Cuenta = ")
        .Text(key.second, "Cuenta");
    // Every account posted to was created, with its rows, before the journal.
    if (connection.Execute(sql.text()) != 1) {
      throw Error(error_number::kInternal, "vornexa demo",
                  "Falta la fila de acumulados de la cuenta " + key.second + " en el ejercicio " +
                      std::to_string(key.first));
    }
  }
}

}  // namespace vornexa::cli::demo
