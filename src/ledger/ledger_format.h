#pragma once
// What a ledger file says it is, in SQLite's header: the application_id
// names this program's ledgers (file(1) and other tools can tell them from
// other SQLite files), the user_version the format the file is written in.

#include <cstdint>

#include "engine/database.h"

namespace ledger {

// "ShLd" in ASCII.
inline constexpr std::int32_t kLedgerApplicationId = 0x53684C64;

// The newest ledger format this program writes. 0: ledgers made before
// the header said anything; 1: ledgers that may hold splits and dividends.
// A ledger of a newer format opens for reading only.
inline constexpr std::int64_t kLedgerFormat = 1;

// Marks db as a ledger of kLedgerFormat unless its header says so already.
// REQUIRES: inside the program's own writing transaction (LedgerChange),
// so that the header changes with the commit the kept figures expect.
// Throws DbError as the engine refuses the write.
void markLedgerFormat(Database& db);

}  // namespace ledger
