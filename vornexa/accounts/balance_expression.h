// The balance of an accumulator row as the database computes it: the
// opening amount plus the twelve debits less the twelve credits.
#ifndef VORNEXA_ACCOUNTS_BALANCE_EXPRESSION_H_
#define VORNEXA_ACCOUNTS_BALANCE_EXPRESSION_H_

#include <string_view>

namespace vornexa {

inline constexpr std::string_view kBalanceExpression =
    "Apertura"
    " + D1 + D2 + D3 + D4 + D5 + D6 + D7 + D8 + D9 + D10 + D11 + D12"
    " - H1 - H2 - H3 - H4 - H5 - H6 - H7 - H8 - H9 - H10 - H11 - H12";

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_BALANCE_EXPRESSION_H_
