#pragma once
// Opening a ledger: the engine's Database, checked against what the program
// makes in ledgers (ledger_objects.h).

#include <string>

#include "engine/database.h"

namespace ledger {

// Opens the ledger at path. The file is opened for reading and writing, or
// for reading only when it cannot be written or when it holds objects the
// program does not make (Database::foreignObjects()). Opening never
// changes the file.
// Throws DbError: kFileNotFound (no such file), kCannotOpen (a folder, no
// access), kNotADatabase (not a database or damaged), kNotALedger (a
// database without the ledger's Trade and Companies tables).
Database openLedger(const std::string& path);

// Opens a ledger to read one of its tables or stored queries, without the
// checks of openLedger() that the file is a ledger; for reading only, as
// openLedger() does, when it holds objects the program does not make.
// Throws DbError like openLedger().
Database openLedgerSource(const std::string& path);

}  // namespace ledger
