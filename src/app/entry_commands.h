#pragma once
// The commands that enter trades, splits, dividends and closing prices
// without a window:
//
//   shareledger add trade LEDGER --symbol S --date YYYY-MM-DD --side buy|sell
//       --quantity Q --price P [--commission C]
//   shareledger add split LEDGER --symbol S --date YYYY-MM-DD --ratio NEW:OLD [--replace]
//   shareledger add dividend LEDGER --symbol S --date YYYY-MM-DD --gross G [--withholding W]
//       [--reinvest-quantity Q --reinvest-price P] [--replace]
//   shareledger add price LEDGER --symbol S --date YYYY-MM-DD --close X [--replace]
//   shareledger delete split|dividend|price LEDGER --symbol S --date YYYY-MM-DD
//
// Each change is one undo step, as the window's. Each receives the
// arguments after its word and returns the exit status (0 done, 1 refused
// with the window's message, 2 written wrong).

#include <ostream>
#include <span>
#include <string>

namespace ledger {

extern const char* const kAddUsage;
extern const char* const kDeleteUsage;

int addCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int deleteCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace ledger
