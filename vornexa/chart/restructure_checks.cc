#include "vornexa/chart/restructure_checks.h"

#include <algorithm>
#include <memory>

#include "vornexa/base/error.h"
#include "vornexa/base/text.h"
#include "vornexa/chart/restructure_columns.h"
#include "vornexa/chart/restructure_statements.h"

namespace vornexa {

namespace {

void RequireDigits(std::string_view code, std::string_view source) {
  if (code.empty() || code.find_first_not_of("0123456789") != std::string_view::npos) {
    RaiseComponentError(source, "'" + std::string(code) +
                                    "' no es un código de cuenta: solo lleva dígitos");
  }
}

// Acumulados and Acumulados_Dpto.
std::vector<const CodeColumn*> AccumulatorTables() {
  std::vector<const CodeColumn*> tables;
  for (const CodeColumn& column : LibraryCodeColumns()) {
    if (column.table_kind == CodeTable::kAcumulados ||
        column.table_kind == CodeTable::kAcumuladosDpto) {
      tables.push_back(&column);
    }
  }
  return tables;
}

}  // namespace

std::array<int16_t, 6> LevelDigits(clsEmpresa& company) {
  std::array<int16_t, 6> digits{};
  for (int16_t i = 0; i < 6; ++i) digits[i] = company.DigitosNivel(i);
  return digits;
}

int16_t RequireLevelCode(std::string_view code, const std::array<int16_t, 6>& digits,
                         std::string_view source) {
  RequireDigits(code, source);
  int16_t level = 0;
  for (int16_t i = 0; i < 6; ++i) {
    if (digits[i] == static_cast<int64_t>(code.size())) level = static_cast<int16_t>(i + 1);
  }
  if (level == 0) {
    RaiseComponentError(source, "El código " + std::string(code) + " tiene " +
                                    std::to_string(code.size()) +
                                    " dígitos, que no son los de ningún nivel de la empresa");
  }
  return level;
}

int16_t RequireLevelPair(std::string_view from, std::string_view to,
                         const std::array<int16_t, 6>& digits, std::string_view when_same,
                         std::string_view source) {
  const int16_t level = RequireLevelCode(from, digits, source);
  RequireDigits(to, source);
  if (to.size() != from.size()) {
    RaiseComponentError(source, "El código " + std::string(to) + " no es del nivel " +
                                    std::to_string(level) + " de " + std::string(from) + " (" +
                                    std::to_string(from.size()) + " dígitos)");
  }
  if (to == from) RaiseComponentError(source, std::string(when_same));
  return level;
}

std::vector<std::pair<std::string, int16_t>> UpperCodes(std::string_view code, int16_t level,
                                                        const std::array<int16_t, 6>& digits) {
  std::vector<std::pair<std::string, int16_t>> uppers;
  for (int16_t upper = 1; upper < level; ++upper) {
    const int16_t length = digits[upper - 1];
    if (length > 0 && static_cast<size_t>(length) < code.size()) {
      uppers.emplace_back(std::string(code.substr(0, static_cast<size_t>(length))), upper);
    }
  }
  return uppers;
}

std::vector<std::pair<std::string, int16_t>> Without(
    const std::vector<std::pair<std::string, int16_t>>& codes,
    const std::vector<std::pair<std::string, int16_t>>& others) {
  std::vector<std::pair<std::string, int16_t>> kept;
  for (const auto& code : codes) {
    if (std::find(others.begin(), others.end(), code) == others.end()) kept.push_back(code);
  }
  return kept;
}

std::vector<int16_t> ExercisesHolding(Connection& connection, int16_t company,
                                      std::optional<int16_t> from, const CodeScope& scope) {
  std::vector<int16_t> exercises;
  const std::unique_ptr<Recordset> rows =
      connection.Open(restructure_sql::ExercisesHolding(company, from, scope), Cursor::Static);
  for (; !rows->Eof(); rows->MoveNext()) exercises.push_back(rows->Field("Cod_Ejercicio").ToInt16());
  return exercises;
}

std::vector<std::string> MoveAmountsStatements(
    int16_t company, std::optional<int16_t> from, std::string_view source,
    const std::vector<std::pair<std::string, int16_t>>& gaining,
    const std::vector<std::pair<std::string, int16_t>>& losing) {
  const auto codes = [](const std::vector<std::pair<std::string, int16_t>>& accounts) {
    std::vector<std::string> codes;
    for (const auto& account : accounts) codes.push_back(account.first);
    return codes;
  };
  std::vector<std::string> statements;
  for (const CodeColumn* table : AccumulatorTables()) {
    for (const auto& [code, level] : gaining) {
      statements.push_back(
          restructure_sql::EnsureAccumulatorRows(*table, company, from, source, code, level));
    }
    if (!gaining.empty()) {
      statements.push_back(restructure_sql::MoveAccumulatorAmounts(*table, company, from, source,
                                                                   codes(gaining), '+'));
    }
    if (!losing.empty()) {
      statements.push_back(restructure_sql::MoveAccumulatorAmounts(*table, company, from, source,
                                                                   codes(losing), '-'));
    }
  }
  return statements;
}

}  // namespace vornexa
