// Runs the built vornexa program in a temporary directory of its own, with
// none of VORNEXA_DB, VORNEXA_ODBC, VORNEXA_DIALECTO and VORNEXA_EMPRESA set,
// and captures what it prints.
#ifndef TESTS_CLI_CLI_RUNNER_H_
#define TESTS_CLI_CLI_RUNNER_H_

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "vornexa/data/connection.h"

namespace vornexa::cli::testing {

using JsonValue = nlohmann::ordered_json;
using Environment = std::vector<std::pair<std::string, std::string>>;

struct CliResult {
  int exit_code = -1;  // 128 + the signal when one ended it
  std::string out;
  std::string err;
};

// Starts `args` with working directory `dir`, standard input `input`, and
// `environment` added; standard output and error go to files of `dir`.
pid_t StartProgram(const std::filesystem::path& dir, const std::vector<std::string>& args,
                   const std::string& input = "", const Environment& environment = {});
// Waits for a program StartProgram started and collects what it printed.
CliResult FinishProgram(const std::filesystem::path& dir, pid_t child);

inline CliResult RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& args,
                            const std::string& input = "", const Environment& environment = {}) {
  return FinishProgram(dir, StartProgram(dir, args, input, environment));
}

// A fresh directory per test, removed afterwards.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  CliResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    return RunProgram(dir_, args, input, environment_);
  }
  // Runs a command expected to succeed silently on stderr; returns stdout.
  std::string Ok(const std::vector<std::string>& args);
  // Runs a command with --json, expected to succeed; returns its parsed output.
  JsonValue Json(std::vector<std::string> args);
  // Runs a command expected to fail with exit code 1, nothing on stdout and
  // exactly ErrorLine(number, source, description) on stderr.
  void ExpectError(const std::vector<std::string>& args, int32_t number, const std::string& source,
                   const std::string& description);
  // Runs a command expected to be refused while parsing its options: CLI11's
  // exit status, nothing on stdout, `message` and the hint on stderr.
  void ExpectUsageError(const std::vector<std::string>& args, const std::string& message,
                        int exit_code = 105);

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const;
  std::string ReadFile(const std::string& name) const;
  // The library's own connection to a database of this directory, to check
  // what the program wrote.
  std::shared_ptr<Connection> Open(const std::string& name = "vornexa.db") const;
  // Column v of the first row of `sql` on `name`, as text.
  std::string Scalar(const std::string& sql, const std::string& name = "vornexa.db") const;

  std::filesystem::path dir_;
  Environment environment_;  // variables every run of this test gets
};

// The one-line error report: "error NUMBER (SOURCE): DESCRIPTION\n".
std::string ErrorLine(int32_t number, const std::string& source, const std::string& description);

// A connection string for a SQLite file through its ODBC driver.
inline std::string SqliteOdbc(const std::string& path) {
  return "Driver=SQLite3;Database=" + path + ";";
}

// `text` `times` times over.
std::string Repeat(const std::string& text, int times);

}  // namespace vornexa::cli::testing

#endif  // TESTS_CLI_CLI_RUNNER_H_
