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
// the header said anything; 1: ledgers that may hold splits and dividends;
// 2: ledgers that hold closing prices. A ledger of a newer format opens for
// reading only.
inline constexpr std::int64_t kLedgerFormat = 2;
// What every write marks. A ledger is marked kPricesFormat by its first
// price only: one without prices stays one that programs knowing format 1
// can still write. One with prices opens there for reading only, told that
// a newer version wrote it. Written there, it would lose its soundness: such
// a program drops undone and old steps without their rows in
// UndoPriceChange, and the next step given a dropped step's number would
// take those rows for its own.
inline constexpr std::int64_t kBaseLedgerFormat = 1;
inline constexpr std::int64_t kPricesFormat = 2;

// Marks db as a ledger of format unless its header says so already, or a
// later format this program knows.
// REQUIRES: inside the program's own writing transaction (LedgerChange),
// so that the header changes with the commit the kept figures expect.
// Throws DbError as the engine refuses the write.
void markLedgerFormat(Database& db, std::int64_t format = kBaseLedgerFormat);

}  // namespace ledger
