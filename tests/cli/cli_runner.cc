#include "tests/cli/cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vornexa::cli::testing {

std::string Slurp(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void CliTest::WriteFile(const std::string& name, const std::string& text) const {
  std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << text;
}

pid_t StartProgram(const std::filesystem::path& dir, const Args& args, const std::string& input,
                   const Environment& environment) {
  std::ofstream(dir / ".stdin", std::ios::binary | std::ios::trunc) << input;
  const pid_t child = fork();
  if (child != 0) return child;
  const auto redirect = [&dir](const char* name, int flags, int target) {
    const int fd = open((dir / name).c_str(), flags, 0644);
    if (fd < 0 || dup2(fd, target) < 0) _exit(126);
    close(fd);
  };
  redirect(".stdin", O_RDONLY, STDIN_FILENO);
  redirect(".stdout", O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
  redirect(".stderr", O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
  if (chdir(dir.c_str()) != 0) _exit(126);
  for (const char* name : {"VORNEXA_DB", "VORNEXA_ODBC", "VORNEXA_DIALECTO", "VORNEXA_EMPRESA"}) {
    unsetenv(name);
  }
  for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
  std::vector<char*> argv = {const_cast<char*>(VORNEXA_CLI_PROGRAM)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(VORNEXA_CLI_PROGRAM, argv.data());
  _exit(127);
}

CliResult FinishProgram(const std::filesystem::path& dir, pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          Slurp(dir / ".stdout"), Slurp(dir / ".stderr")};
}

std::string ErrorLine(int32_t number, const std::string& source, const std::string& description) {
  return "error " + std::to_string(number) + " (" + source + "): " + description + "\n";
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

void CliTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vornexa-cli-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
}

void CliTest::Expect(const Args& args, int exit_code, const std::string& out,
                     const std::string& err, const std::string& input) {
  const CliResult result = Run(args, input);
  std::string trace;
  for (const std::string& arg : args) trace += arg + " ";
  EXPECT_EQ(result.exit_code, exit_code) << trace << "\n" << result.err;
  EXPECT_EQ(result.out, out) << trace;
  EXPECT_EQ(result.err, err) << trace;
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

}  // namespace vornexa::cli::testing
