#pragma once
// The table that holds a ledger's closing prices, beside Trade and never
// touching it. A ledger without it has no prices; the first price saved
// makes it.

namespace ledger {

// One price per symbol and date, above zero: the unique index and the
// check keep a second one, or a zero, out whoever writes the file. Dates
// are YYYY-MM-DD as Trade's are; the close is a number, read back exactly
// as Trade's are.
extern const char* const kPriceTableSchema;

}  // namespace ledger
