// Runs the built vornexa program in a directory of its own, without the
// VORNEXA_* variables of the caller, and captures what it prints.
#ifndef TESTS_CLI_CLI_RUNNER_H_
#define TESTS_CLI_CLI_RUNNER_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/backends.h"

namespace vornexa::cli::testing {

using JsonValue = nlohmann::ordered_json;
using Args = std::vector<std::string>;
using Environment = std::vector<std::pair<std::string, std::string>>;

struct CliResult {
  int exit_code = -1;  // 128 + the signal when one ended it
  std::string out, err;
};

// The one-line error report: "error NUMBER (SOURCE): DESCRIPTION\n".
std::string ErrorLine(int32_t number, const std::string& source, const std::string& description);
std::string Repeat(const std::string& text, int times);

// A fresh directory per test, removed afterwards.
class CliTest : public ::testing::Test {
 protected:
  // Runs `args` on `input` behind `wrapper` (a command that runs the rest of
  // its arguments) with `environment_`; output goes through files, never pipes.
  CliResult Run(const Args& args, const std::string& input = "", const std::string& wrapper = "");
  // Runs `args` on `input` and expects exactly this exit code, stdout and stderr.
  void Expect(const Args& args, int exit_code, const std::string& out, const std::string& err,
              const std::string& input = "");
  // Expects success with nothing on stderr; returns stdout.
  std::string Ok(const Args& args, const std::string& input = "");
  // Runs `args` with --json, expected to succeed; returns its parsed output.
  JsonValue Json(Args args) {
    args.push_back("--json");
    return JsonValue::parse(Ok(args));
  }
  // Expects `cuenta ver code` to show all 44 fields, with the values of JSON `expected`.
  void ExpectFields(const std::string& code, const std::string& expected);
  // Runs `args` once whole, then `rounds` times killed at a random moment of
  // that run's time: `reset` before every run, `check` after every kill.
  void KillAtRandomMoments(const Args& args, int rounds, const std::function<void()>& reset,
                           const std::function<void()>& check);

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << text;
  }
  std::string ReadFile(const std::string& name) const;
  // The library's own connection to the program's database.
  std::shared_ptr<Connection> Open() const { return OpenSqlite(Path("vornexa.db")); }
  // Column v of the first row of `sql`, as text.
  std::string Scalar(const std::string& sql) const {
    return Open()->Open(sql)->Field("v").ToText();
  }

  const vornexa::testing::ScratchFolder folder_;
  const std::filesystem::path dir_ = folder_.path();
  Environment environment_;  // variables every run of this test gets
};

// Company 1, exercise 2025, with the accounts 4, 43, 430 and 4300.
class SeededCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Ok({"--ejercicio", "2025", "init"});
    for (const char* code : {"4", "43", "430", "4300"}) Ok({"cuenta", "guardar", code});
  }
};

}  // namespace vornexa::cli::testing

#endif  // TESTS_CLI_CLI_RUNNER_H_
