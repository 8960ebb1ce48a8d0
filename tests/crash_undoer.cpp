// Takes the ledger's one step back and makes it again, over and over, the
// way the program's Undo and Redo do it (a fresh connection each time),
// and prints "u" or "r" on its own line once each has returned. The
// crash-safety test kills it at random moments.
//
//   crash_undoer LEDGER
//
// Ends with status 3 when the ledger has no step, 4 on an engine error.

#include <cstdio>

#include "engine/database.h"
#include "engine/db_error.h"
#include "ledger/undo_journal.h"
#include "ledger/ledger_open.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: crash_undoer LEDGER\n");
    return 2;
  }
  try {
    for (;;) {
      ledger::Database db = ledger::openLedger(argv[1]);
      const char* done = nullptr;
      if (ledger::undoStep(db))
        done = "u";
      else if (ledger::redoStep(db))
        done = "r";
      else
        return 3;
      std::printf("%s\n", done);
      std::fflush(stdout);
    }
  } catch (const ledger::DbError& e) {
    std::fprintf(stderr, "crash_undoer: %s\n", e.what());
    return 4;
  }
}
