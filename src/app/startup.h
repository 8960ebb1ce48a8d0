#pragma once
// Start-up work on the program's files.

#include <optional>
#include <string>

#include "app/app_context.h"

namespace ledger {

// A message start-up leaves for the user, shown once the main window is up.
struct StartupMessage {
  std::string text;
  MsgIcon icon;
};

// Copies the master ledger over the template, so that every start begins
// from the master. The master is checked first: a missing one is made again
// from the schema compiled into the program, and so is a damaged one (see
// masterProblem), which the user is told of. A damaged master that cannot
// be made again is never copied. When the program folder cannot be written,
// new ledgers are made from the master, or else from a template made from
// the schema in a private folder of the temporary folder (removed when the
// program ends). Returns the message for the user, if any; start-up goes on
// either way.
std::optional<StartupMessage> refreshTemplate(AppContext& app);

// Why the master ledger at path cannot serve as the template: it cannot be
// opened as a ledger, fails SQLite's integrity check, lacks part of the
// template or holds anything else. nullopt when it is sound.
std::optional<std::string> masterProblem(const std::string& path);

}  // namespace ledger
