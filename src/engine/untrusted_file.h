#pragma once
// Every ledger may come from someone else: mailed, copied from a shared
// folder, edited with another tool. Each connection the engine opens is set
// up the way SQLite's own advice for files of unknown origin says, before
// the first byte of the file is read. docs/design-notes.md says why each
// setting is there.

#include <array>

struct sqlite3;

namespace ledger {

// One of SQLite's run-time limits (sqlite3_limit) and the value the
// engine lowers it to.
struct EngineLimit {
  int id;  // SQLITE_LIMIT_...
  int value;
  const char* name;
};

// The lowered limits. Each sits far above what the program's own
// statements and stored queries need, and far below SQLite's defaults.
const std::array<EngineLimit, 11>& untrustedFileLimits();

// Applies the settings to db, a connection just opened that has not read
// its file yet: defensive mode, an untrusted schema (no functions with side
// effects in stored queries, CHECK constraints or indexes), the file's own
// triggers switched off (the connection's TEMP triggers still run), cell
// size checks, no memory mapping, extension loading off, and the limits.
// Throws DbError when SQLite refuses one of them.
void guardAgainstUntrustedFile(sqlite3* db);

}  // namespace ledger
