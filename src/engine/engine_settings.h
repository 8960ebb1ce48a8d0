#pragma once
// The two waits of the database engine. The program always runs with the
// defaults; tests lower them, so that a lock or a runaway statement costs a
// fraction of a second there while going through the same code.

#include <chrono>

namespace ledger {

struct EngineSettings {
  // A statement (one step() or exec()) that runs longer is stopped with
  // kTooLong. Far longer than any statement of a sound ledger takes, a
  // million trades included; short enough that a runaway one (an endless
  // stored query in a damaged or hostile file) is stopped while the user
  // waits.
  std::chrono::milliseconds statementTimeLimit{10000};
  // How long a statement waits for another program's lock before it gives
  // up with kLocked.
  std::chrono::milliseconds lockWait{3000};
};

// The settings in force, for every connection of the process.
EngineSettings engineSettings();

// Replaces them for the whole process, open connections included: the time
// limit from the next statement on, the lock wait from the next wait on.
// For tests; the program never calls it. Safe from any thread.
void setEngineSettings(const EngineSettings& settings);

}  // namespace ledger
