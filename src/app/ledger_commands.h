#pragma once
// The record commands without a window: New Record, Edit, Save, Delete,
// Cancel, Add Company, Undo and Redo, and the question that guards a trade
// being typed.
// The main window wires its menus and toolbar to these and shows what they
// decide; tests drive them with a fake form and scripted messages.

#include <optional>
#include <string>

#include "app/form_port.h"
#include "app/prompter.h"
#include "ledger/ledger_session.h"
#include "app/record_writes.h"
#include "app/report_views.h"
#include "app/window_state.h"

namespace ledger {

inline constexpr const char* kSaveEntryQuestion = "Save the trade you are entering?";

// What the command flows need of the windows.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The entry form, or nullptr while its window is closed.
  virtual FormPort* openEntryForm() = 0;
  // Opens the entry window when it is closed, on its General tab.
  virtual FormPort& loadEntryForm() = 0;
  // Renders the window's state; called whenever it changes, and again
  // whenever a mode is entered.
  virtual void render(const WindowState& state) = 0;
  // Empties every box of the entry form.
  virtual void clearEntryForm() = 0;
  // The symbol list in place of the symbol box (a new trade), or the box.
  virtual void showSymbolList(bool shown) = 0;
  virtual bool symbolListShown() = 0;
  // Re-runs the entry form's tab change: its buttons and the tab's rows.
  virtual void reloadEntryTab() = 0;
  // Opens the entry window when it is closed and selects its General tab.
  virtual FormPort& showGeneralTab() = 0;
  // Reads the open report views again; views that are closed stay closed.
  virtual void refreshOpenViews() = 0;
  virtual bool reportViewOpen(const ReportView& view) = 0;
};

// The menu text of Undo or Redo: "Undo Delete of MSFT 2025-04-10 (150
// shares)", or the bare verb when there is no step.
std::string undoMenuText(const char* verb, const std::optional<UndoStepInfo>& step);

// Whether a trade is being typed, and what Save will do with it.
enum class EntryMode { None, NewTrade, EditTrade };

class LedgerCommands {
 public:
  // session and host must outlive the commands.
  LedgerCommands(LedgerSession& session, Prompter& prompter, CommandHost& host)
      : m_session(session), m_prompter(prompter), m_host(host) {}

  // The window's state as last rendered.
  const WindowState& windowState() const { return m_state; }
  // Works the window's state out afresh and renders it when it changed.
  void publish();
  // Enters a mode: its look is set (lookOf) and rendered, over what the
  // modes before left.
  void enterMode(WindowMode mode);
  // Sets changes over the mode's look until the next mode is entered.
  void setOverLook(const ModeLook& changes);
  // The entry window went: a trade being typed is forgotten (its window
  // asked about it) and nothing is shown that Edit or Delete could act on.
  void entryWindowClosed();

  EntryMode entryMode() const { return m_mode; }
  bool entering() const { return m_mode != EntryMode::None; }
  // The trade an edit rewrites; nullopt unless an edit is in progress.
  const std::optional<EditBookmark>& editBookmark() const { return m_edit; }

  ViewTag viewTag() const { return m_viewTag; }
  void setViewTag(ViewTag tag) { m_viewTag = tag; }

  // Whether the General tab shows a trade that Edit and Delete can act on.
  bool tradeVisible();

  // New Record: opens the entry window if needed and starts a trade with
  // empty boxes, the symbol list and neither Buy nor Sell chosen.
  void newRecord();
  // Edit, Records: reads the shown trade again from the ledger, shows it and
  // starts editing it. Says so when it is gone.
  void editRecords();
  // Save: writes the trade being typed; back to the view state on success.
  // Returns whether it was written.
  bool save();
  // Delete: the trade shown, after asking.
  void deleteRecord();
  // Cancel: drops the trade being typed and shows the tab's rows again.
  void cancelEntry();
  // An import wrote trades: the open views and the entry tab show them.
  void tradesImported();
  // Add Company: adds symbol to the list; the shown trade is read again
  // unless a trade is being typed.
  void addCompany(const std::string& symbol);

  // What Undo and Redo can act on now, read from the ledger. Nothing while
  // no ledger is open, the ledger is read-only or a trade is being typed.
  // Undo and Redo act on the steps this last offered.
  UndoOffer undoOffer();
  // Undo / Redo: takes back the last change, or makes the last change taken
  // back again; the entry window then shows the trade concerned (the first
  // trade where the step took it out) and open views are read again.
  // When the ledger no longer holds what the step left, the user is told
  // and nothing is written. Returns whether the step was taken.
  bool undo();
  bool redo();

  // Before a command that would show another trade, or close the window or
  // the ledger, while a trade is typed: asks kSaveEntryQuestion. Yes saves
  // (and stays put when the save is refused), No drops the entry, Cancel
  // keeps it. Returns whether the command may go on; true at once when no
  // trade is being typed.
  bool settleEntry();
  // Forgets an entry without asking: the ledger was closed or replaced.
  void forgetEntry();

 private:
  void leaveEntry();
  bool moveStep(bool undo);
  void render(bool always);

  LedgerSession& m_session;
  Prompter& m_prompter;
  CommandHost& m_host;
  EntryMode m_mode = EntryMode::None;
  std::optional<EditBookmark> m_edit;
  UndoOffer m_offer;
  ViewTag m_viewTag = ViewTag::None;
  // The mode's look and what was set over it since; m_state is what was
  // rendered last.
  ModeLook m_look = lookOf(WindowMode::NoLedger);
  ModeLook m_since;
  WindowState m_state;
};

}  // namespace ledger
