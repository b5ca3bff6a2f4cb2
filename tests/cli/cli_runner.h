// Runs the built vornexa program in a temporary directory of its own, with
// none of VORNEXA_DB, VORNEXA_ODBC, VORNEXA_DIALECTO and VORNEXA_EMPRESA set,
// and captures what it prints.
#ifndef TESTS_CLI_CLI_RUNNER_H_
#define TESTS_CLI_CLI_RUNNER_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "vornexa/data/connection.h"

namespace vornexa::cli::testing {

using JsonValue = nlohmann::ordered_json;

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs `args` with working directory `dir`; `input` is standard input and
// `environment` adds variables.
CliResult RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& args,
                     const std::string& input = "",
                     const std::vector<std::pair<std::string, std::string>>& environment = {});

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

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const;
  std::string ReadFile(const std::string& name) const;
  // The library's own connection to a database of this directory, to check
  // what the program wrote.
  std::shared_ptr<Connection> Open(const std::string& name = "vornexa.db") const;

  std::filesystem::path dir_;
  // Variables every run of this test gets.
  std::vector<std::pair<std::string, std::string>> environment_;
};

// The one-line error report: "error NUMBER (SOURCE): DESCRIPTION\n".
std::string ErrorLine(int32_t number, const std::string& source, const std::string& description);

// `text` `times` times over.
std::string Repeat(const std::string& text, int times);

}  // namespace vornexa::cli::testing

#endif  // TESTS_CLI_CLI_RUNNER_H_
