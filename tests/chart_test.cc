// The chart as a whole: seeding it from a standard chart (what is there kept,
// codes no level has left out and counted, all or none) and reading it back
// as a tree.
#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

using Lines = std::vector<std::string>;

// "code/level balance", one per node, indented by depth.
void Flatten(const std::vector<ChartNode>& nodes, const std::string& indent, Lines& out) {
  for (const ChartNode& node : nodes) {
    out.push_back(indent + node.code + "/" + std::to_string(node.level) +
                  (node.balance ? " " + node.balance->ToString() : ""));
    Flatten(node.children, indent + " ", out);
  }
}

class Chart : public BackendTest {
 protected:
  Lines Tree(const ChartTreeOptions& options = {}) {
    Lines out;
    Flatten(ReadChartTree(company_, options), "", out);
    return out;
  }
  void InsertWithoutUpper(const std::string& code, const std::string& name = "") {
    clsCuenta account = NewAccount(code);
    account.Nombre = name;
    account.NoVerificarNivelesSup = true;
    account.Insertar();
  }
};

TEST_P(Chart, SeedKeepsWhatIsThereCountsCodesOfNoLevelAndSavesAllOrNone) {
  InsertWithoutUpper("43", "Mis clientes");
  // Out of order, so that an upper account must be saved first; two codes of 5 digits.
  const SeedResult seeded = SeedChart(
      company_,
      {{"4300", "D"}, {"43001", "F"}, {"43", "B"}, {"430", "C"}, {"43000", "E"}, {"4", "A"}});
  EXPECT_EQ(std::make_tuple(seeded.created, seeded.kept, seeded.without_level),
            std::make_tuple(size_t{3}, size_t{1}, std::map<size_t, size_t>{{5, 2}}));
  EXPECT_EQ(Column("SELECT Nombre AS v FROM Cuentas ORDER BY Cuenta"),
            (Lines{"A", "Mis clientes", "C", "D"}));
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados"), 4);
  // A refused entry undoes the whole seed, with the refusal's own error.
  EXPECT_VORNEXA_ERROR(SeedChart(company_, {{"44", "Bien"}, {"45", "Mal \xFF"}}), 1000,
                       "Cuentas::Insertar", InvalidUtf8Description("Nombre"));
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 4);
}

TEST_P(Chart, TreeHangsEachAccountUnderTheNearestUpperOne) {
  SeedChart(company_, {{"4", "A"}, {"43", "B"}, {"430", "C"}, {"4300", "D"}, {"44", "E"}});
  InsertWithoutUpper("43000001");
  InsertWithoutUpper("50000001");  // no upper account at all
  Exec("UPDATE Acumulados SET Apertura = 12.5, H2 = 2 WHERE Cuenta = '43000001'");
  EXPECT_EQ(Tree(), (Lines{"4/1", " 43/2", "  430/3", "   4300/4", "    43000001/5", " 44/2",
                           "50000001/5"}));
  EXPECT_EQ(Tree({.root = "43", .max_level = 3}), (Lines{"43/2", " 430/3"}));
  EXPECT_EQ(Tree({.root = "4300", .balance_exercise = 5}),
            (Lines{"4300/4 0.0000", " 43000001/5 10.5000"}));
  EXPECT_TRUE(Tree({.root = "45"}).empty());
}

VORNEXA_ON_ALL_BACKENDS(Chart);

}  // namespace
}  // namespace vornexa::testing
