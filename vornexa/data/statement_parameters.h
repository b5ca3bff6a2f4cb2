// Splits a statement into a skeleton, with a `?` for each literal that is a
// value, and those values, so that a driver can compile the skeleton once and
// run it again with other values.
#ifndef VORNEXA_DATA_STATEMENT_PARAMETERS_H_
#define VORNEXA_DATA_STATEMENT_PARAMETERS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vornexa {

// A value taken out of the text: an integer literal or a quoted text.
struct StatementParameter {
  bool is_integer;
  int64_t integer;
  std::string text;  // quotes removed, doubled quotes undoubled
  size_t marker = 0;  // where its `?` stands in the skeleton
};

struct ParameterisedStatement {
  std::string skeleton;
  std::vector<StatementParameter> parameters;
};

// The parameterised form of `sql` (SQL Server dialect), or nothing when the
// text is not a single SELECT, INSERT, UPDATE or DELETE that can safely run
// that way. Literals stay in the skeleton wherever binding could change what
// the statement means or returns: in a result column list (column names
// come from its text), in ORDER BY, GROUP BY and LIMIT (an integer there is
// an ordinal or changes the plan), after anything but an operator or an
// expression keyword (a quoted text after AS or FROM is a name, the one
// after ESCAPE lets SQLite seek an index for its LIKE), and for
// numbers that are not plain integers (reals keep the database's own
// conversion of their text). Texts holding parameter markers, several
// statements or a NUL byte are not parameterised at all.
std::optional<ParameterisedStatement> ParameteriseStatement(std::string_view sql);
// The same into `*out`, whose storage is reused so that a caller running
// one statement after another allocates nothing once warm; false (and `*out`
// unspecified) when the text runs as it stands.
bool ParameteriseStatement(std::string_view sql, ParameterisedStatement* out);

// ParameteriseStatement for a driver that runs statement after statement.
// It remembers the shapes of the last few texts it split: a text that
// differs from one of them only inside its parameters' literals (same
// kinds, integers still plain integers, texts still closed) splits alike,
// so it is matched against that shape instead of being parsed again.
class StatementParameteriser {
 public:
  bool Parameterise(std::string_view sql, ParameterisedStatement* out);

 private:
  struct Shape {
    std::string skeleton;
    // Each parameter's kind and marker, in order: a `?` can also stand in
    // a literal of the skeleton.
    std::vector<std::pair<bool, size_t>> parameters;
  };
  static bool Matches(const Shape& shape, std::string_view sql, ParameterisedStatement* out);
  void Remember(const ParameterisedStatement& statement);

  static constexpr size_t kShapes = 16;
  Shape shapes_[kShapes];  // most recently used first
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_STATEMENT_PARAMETERS_H_
