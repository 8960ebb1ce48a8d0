#pragma once
// The tables that hold a ledger's splits and dividends, beside Trade and
// never touching it. A ledger without them has no events; the first event
// saved makes both.

namespace ledger {

// One split and one dividend per symbol and date: the unique indexes keep
// a second one out whoever writes the file. Dates are YYYY-MM-DD, as
// Trade's are; amounts are numbers, read back exactly as Trade's are.
extern const char* const kEventTablesSchema;

}  // namespace ledger
