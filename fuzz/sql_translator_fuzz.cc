// The dialect translator on any text: it never crashes, never changes what
// stands inside literals, quoted names and comments, and never drops a TOP.
// A clear refusal (vornexa::Error) is an acceptable answer.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "vornexa/base/error.h"
#include "vornexa/data/sql_translator.h"

namespace {

using vornexa::SqlToken;

bool IsWord(const SqlToken& token, std::string_view word) {
  if (token.kind != SqlToken::Kind::kWord || token.text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if ((token.text[i] & ~0x20) != word[i]) return false;
  }
  return true;
}

// The texts of literals, quoted names and comments, in order.
std::vector<std::string_view> Untouchable(const std::vector<SqlToken>& tokens) {
  std::vector<std::string_view> texts;
  for (const SqlToken& token : tokens) {
    if (token.kind == SqlToken::Kind::kString || token.kind == SqlToken::Kind::kQuotedName ||
        token.kind == SqlToken::Kind::kComment) {
      texts.push_back(token.text);
    }
  }
  return texts;
}

size_t CountWord(const std::vector<SqlToken>& tokens, std::string_view word) {
  size_t count = 0;
  for (const SqlToken& token : tokens) count += IsWord(token, word) ? 1 : 0;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  const std::vector<SqlToken> in = vornexa::TokenizeSql(sql);
  std::string joined;
  for (const SqlToken& token : in) joined += token.text;
  FUZZ_CHECK(joined == sql, "tokens do not give the text back");
  FUZZ_CHECK(vornexa::TranslateSql(sql, vornexa::Dialect::SqlServer) == sql, sql);

  for (vornexa::Dialect dialect : {vornexa::Dialect::Sqlite, vornexa::Dialect::PostgreSql}) {
    std::string translated;
    try {
      translated = vornexa::TranslateSql(sql, dialect);
    } catch (const vornexa::Error&) {
      continue;  // refused, clearly
    }
    const std::vector<SqlToken> out = vornexa::TokenizeSql(translated);
    FUZZ_CHECK(Untouchable(out) == Untouchable(in), sql + "\n  became: " + translated);
    FUZZ_CHECK(CountWord(out, "TOP") + CountWord(out, "LIMIT") >=
                   CountWord(in, "TOP") + CountWord(in, "LIMIT"),
               sql + "\n  lost a TOP: " + translated);
  }
  return 0;
}
