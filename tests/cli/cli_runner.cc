#include "tests/cli/cli_runner.h"

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <sstream>

namespace vornexa::cli::testing {

std::string CliTest::ReadFile(const std::string& name) const {
  std::ostringstream text;
  text << std::ifstream(dir_ / name, std::ios::binary).rdbuf();
  return text.str();
}

namespace {
// `text` as one word of the shell.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
}  // namespace

CliResult CliTest::Run(const Args& args, const std::string& input, const std::string& wrapper) {
  WriteFile(".stdin", input);
  std::string command = "cd " + Quote(dir_.string()) + " && " + wrapper + " env";
  for (const char* name : {"VORNEXA_DB", "VORNEXA_ODBC", "VORNEXA_DIALECTO", "VORNEXA_EMPRESA"}) {
    command += std::string(" -u ") + name;
  }
  for (const auto& [name, value] : environment_) command += " " + Quote(name + "=" + value);
  command += " " + Quote(VORNEXA_CLI_PROGRAM);
  for (const std::string& arg : args) command += " " + Quote(arg);
  // The shell reports a program a signal ended as 128 + the signal.
  const int status = std::system((command + " <.stdin >.stdout 2>.stderr").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(".stdout"), ReadFile(".stderr")};
}

std::string ErrorLine(int32_t number, const std::string& source, const std::string& description) {
  return "error " + std::to_string(number) + " (" + source + "): " + description + "\n";
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

void CliTest::Expect(const Args& args, int exit_code, const std::string& out,
                     const std::string& err, const std::string& input) {
  SCOPED_TRACE(::testing::PrintToString(args));
  const CliResult result = Run(args, input);
  EXPECT_EQ(result.exit_code, exit_code) << result.err;
  EXPECT_EQ(result.out, out);
  EXPECT_EQ(result.err, err);
}

std::string CliTest::Ok(const Args& args, const std::string& input) {
  const CliResult result = Run(args, input);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return result.out;
}

void CliTest::ExpectFields(const std::string& code, const std::string& expected) {
  const JsonValue account = Json({"cuenta", "ver", code}), fields = JsonValue::parse(expected);
  EXPECT_EQ(account.size(), 44u);
  for (const auto& [field, value] : fields.items()) EXPECT_EQ(account[field], value) << field;
}

void CliTest::KillAtRandomMoments(const Args& args, int rounds, const std::function<void()>& reset,
                                  const std::function<void()>& check) {
  reset();
  const auto start = std::chrono::steady_clock::now();
  Ok(args);
  const std::chrono::duration<double> span = std::chrono::steady_clock::now() - start;
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> seconds(1e-6, span.count());
  for (int round = 0; round < rounds; ++round) {
    reset();
    Run(args, "", "timeout -s KILL " + std::to_string(seconds(random)));
    EXPECT_EQ(Open()->Open("PRAGMA integrity_check")->Field("integrity_check").ToText(), "ok");
    check();
  }
}

}  // namespace vornexa::cli::testing
