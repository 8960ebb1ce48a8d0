#pragma once
// Opening and making ledgers: File, Open, a recent ledger, the ledger named
// on the command line and File, New Database all end in the one way a
// ledger becomes the open one. A ledger whose file changed under the
// program is followed here too.

#include <string>

#include "app/app_context.h"
#include "app/ledger_commands.h"
#include "app/window_port.h"

namespace ledger {

// Said when the template or the master is chosen to open.
inline constexpr const char* kTemplateRefused =
    "This file contains the source databases and it cannot\r\n"
    "be opened or modified. Please select another file.";

enum class OpenOutcome { Opened, Refused, Failed };

class LedgerFileFlows {
 public:
  // All three must outlive the flows.
  LedgerFileFlows(AppContext& app, LedgerCommands& commands, WindowPort& window)
      : m_app(app), m_commands(commands), m_window(window) {}

  // File, Open: a trade being typed is settled first; Cancel changes
  // nothing; the template or the master refused brings the dialog again.
  void openChosen();
  // What File, Open does with the chosen file: refuses the template and the
  // master, offers a copy of a ledger in the older format, and opens a
  // ledger only once it has been read, so that a file that is not one
  // leaves what was open as it was.
  OpenOutcome open(const std::string& path);
  // A recent ledger, chosen from the File menu: opened as File, Open would
  // after its dialog; one that has gone leaves the recent ones and the
  // user is told.
  void openRecent(const std::string& path);
  // File, New Database: the new ledger becomes the open one.
  void create();
  // After the session found the ledger's file changed and told the user:
  // a closed ledger takes a trade being typed with it; a replaced one is
  // shown afresh everywhere, though a trade being typed keeps its text.
  void follow(LedgerFileState change);

 private:
  // The session's ledger is the open one now. An opened ledger puts the
  // commands in the view state first; a new one leaves them as they were.
  void opened(const std::string& path, bool viewState);

  AppContext& m_app;
  LedgerCommands& m_commands;
  WindowPort& m_window;
};

}  // namespace ledger
