#pragma once
// Commands run from Qt's event handlers, where an escaping exception would
// end the program. Each entry point runs its command through one of these.

#include <exception>
#include <string>
#include <utility>

#include "engine/db_error.h"
#include "app/prompter.h"

namespace ledger {

// The text shown when a command stops on an error.
inline std::string commandFailureMessage(const std::string& error) {
  return std::string("The command could not be completed.") + kNewLine + error;
}

// Runs command; an engine error (DbError) or any other std::exception is
// reported in a critical message and the program goes on.
template <class F>
void guarded(Prompter& prompter, F&& command) {
  try {
    std::forward<F>(command)();
  } catch (const DbError& e) {
    prompter.show(commandFailureMessage(e.what()), MsgIcon::Critical);
  } catch (const std::exception& e) {
    prompter.show(commandFailureMessage(e.what()), MsgIcon::Critical);
  }
}

// Runs command; an error ends it quietly at the failing step. For the file
// commands, whose steps report their own failures to the user.
template <class F>
void guardedSilently(F&& command) {
  try {
    std::forward<F>(command)();
  } catch (const std::exception&) {
    // DbError included: the step that failed has told the user already.
  }
}

}  // namespace ledger
