// The tool killed (SIGKILL) at random moments of its longest writes: the
// database stays sound, and the unit each command promises is there whole
// or not at all.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliCrashTest : public CliTest {
 protected:
  // Runs `args` once to time it, then `rounds` times killed at a random
  // moment of that time; after each kill, checks that the database is sound
  // and holds no account or `whole` of them, then empties it again.
  void KillAtRandom(const Args& args, int rounds, const std::string& whole) {
    const auto clear = [this] {
      Open()->Execute("DELETE FROM Acumulados");
      Open()->Execute("DELETE FROM Cuentas");
    };
    const auto start = std::chrono::steady_clock::now();
    Ok(args);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    clear();
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int64_t> moment(0, span.count());
    for (int round = 0; round < rounds; ++round) {
      const pid_t child = StartProgram(dir_, args);
      usleep(static_cast<useconds_t>(moment(random)));
      kill(child, SIGKILL);
      FinishProgram(dir_, child);
      EXPECT_EQ(Open()->Open("PRAGMA integrity_check")->Field("integrity_check").ToText(), "ok");
      const std::string accounts = Scalar("SELECT COUNT(*) AS v FROM Cuentas");
      EXPECT_TRUE(accounts == "0" || accounts == whole) << accounts;
      EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Acumulados"), accounts);
      clear();
    }
  }
};

TEST_F(CliCrashTest, InitWithChartAndImportAreWholeOrAbsent) {
  Ok({"--ejercicio", "2025", "init"});
  KillAtRandom({"init", "--pgc"}, 4, "903");  // the chart in one transaction
  // importar: every row of the file in one transaction.
  std::string csv = "Cuenta,Nombre\n4,A\n43,B\n430,C\n4300,D\n";
  for (int i = 1; i <= 600; ++i) csv += std::to_string(43000000 + i) + ",Cliente\n";
  WriteFile("cuentas.csv", csv);
  KillAtRandom({"importar", "cuentas.csv"}, 4, "604");
}

}  // namespace
}  // namespace vornexa::cli::testing
