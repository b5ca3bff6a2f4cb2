// The chart as a whole: seeding it from a standard chart (what is there kept,
// codes no level has left out and counted, all or none) and reading it back
// as a tree.
#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Chart : public BackendTest {
 protected:
  // "code/level balance", one per node, indented by depth.
  static void Flatten(const std::vector<ChartNode>& nodes, const std::string& indent,
                      std::vector<std::string>& out) {
    for (const ChartNode& node : nodes) {
      out.push_back(indent + node.code + "/" + std::to_string(node.level) +
                    (node.balance ? " " + node.balance->ToString() : ""));
      Flatten(node.children, indent + " ", out);
    }
  }
  std::vector<std::string> Tree(const ChartTreeOptions& options = {}) {
    std::vector<std::string> out;
    Flatten(ReadChartTree(company_, options), "", out);
    return out;
  }
};

TEST_P(Chart, SeedKeepsWhatIsThereCountsCodesOfNoLevelAndSavesAllOrNone) {
  clsCuenta mine = NewAccount("43");
  mine.Nombre = "Mis clientes";
  mine.NoVerificarNivelesSup = true;
  mine.Insertar();
  // Out of order, so that an upper account must be saved first; two codes of 5 digits.
  const std::vector<ChartEntry> chart = {{"4300", "Clientes (euros)"}, {"43001", "B"},
                                         {"43", "Clientes"}, {"430", "Clientes"},
                                         {"43000", "A"}, {"4", "Acreedores y deudores"}};
  std::vector<size_t> progress;
  const SeedResult seeded = SeedChart(company_, chart, [&](size_t done, size_t total) {
    progress.push_back(done * 10 + total);
  });
  EXPECT_EQ(std::make_tuple(seeded.created, seeded.kept, seeded.LeftOut()),
            std::make_tuple(size_t{3}, size_t{1}, size_t{2}));
  EXPECT_EQ(seeded.without_level, (std::map<size_t, size_t>{{5, 2}}));
  EXPECT_EQ(progress, (std::vector<size_t>{16, 26, 36, 46, 56, 66}));
  EXPECT_EQ(Column("SELECT Nombre AS v FROM Cuentas ORDER BY Cuenta"),
            (std::vector<std::string>{"Acreedores y deudores", "Mis clientes", "Clientes",
                                      "Clientes (euros)"}));
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados"), 4);

  // A refused entry undoes the whole seed, with the refusal's own error.
  EXPECT_VORNEXA_ERROR(SeedChart(company_, {{"44", "Bien"}, {"45", "Mal \xFF"}}), 1000,
                       "Cuentas::Insertar", InvalidUtf8Description("Nombre"));
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 4);
}

TEST_P(Chart, TreeHangsEachAccountUnderTheNearestUpperOne) {
  SeedChart(company_, {{"4", "A"}, {"43", "B"}, {"430", "C"}, {"4300", "D"}, {"44", "E"}});
  for (const char* code : {"43000001", "50000001"}) {  // the second without upper accounts
    clsCuenta account = NewAccount(code);
    account.NoVerificarNivelesSup = true;
    account.Insertar();
  }
  Exec("UPDATE Acumulados SET Apertura = 12.5, H2 = 2 WHERE Cuenta = '43000001'");
  EXPECT_EQ(Tree(), (std::vector<std::string>{"4/1", " 43/2", "  430/3", "   4300/4",
                                              "    43000001/5", " 44/2", "50000001/5"}));
  EXPECT_EQ(Tree({.root = "43", .max_level = 3}), (std::vector<std::string>{"43/2", " 430/3"}));
  EXPECT_EQ(Tree({.root = "4300", .balance_exercise = 5}),
            (std::vector<std::string>{"4300/4 0.0000", " 43000001/5 10.5000"}));
  EXPECT_TRUE(Tree({.root = "45"}).empty());
}

VORNEXA_ON_ALL_BACKENDS(Chart);

}  // namespace
}  // namespace vornexa::testing
