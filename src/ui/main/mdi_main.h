#pragma once
// The program's main window: a workspace holding every other window as a
// child, with the menus, the toolbar and the status bar that lead to the
// commands. The flows behind the commands are the core's (src/app); the
// window renders what they tell it through WindowPort.
//
// Where things are:
//   main_actions.cpp     builds the menus, the popup menus and the toolbar
//   window_states.cpp    renders the state the core publishes
//   window_commands.cpp  toolbar, help, ShortHand popup, workspace mouse
//   file_commands.cpp    File menu      edit_commands.cpp  Edit menu
//   view_commands.cpp    View, ShortHand View and Restore menus
//   form_definitions.cpp the child windows the form registry can make
//   ledger_file_changes.cpp the ledger's file replaced or gone under it
//   window_hosts.cpp     what the core and the child windows ask of the window
//   transfer_menu.cpp    Import and Export Trades, a grid's Export to CSV

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/event_flows.h"
#include "app/price_flows.h"
#include "app/ledger_commands.h"
#include "app/ledger_file_flows.h"
#include "app/report_view_flows.h"
#include "app/transfer_flows.h"
#include "app/window_mode.h"
#include "app/window_port.h"
#include "ui/form_registry.h"
#include "ui/entry/entry_host.h"
#include "ui/views/view_host.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMenu;
class QSettings;
class QToolBar;

namespace ledger {

class AppContext;
class EntryForm;
class MenuShortcutFilter;
class RecentLedgers;
class WindowSettings;

class MDIMain : public QMainWindow, public EntryHost, public ViewHost, public WindowPort {
  Q_OBJECT

 public:
  // Loads the window without showing it: it covers the screen, the record
  // mode is "Save" and no ledger is open. app must outlive the window.
  explicit MDIMain(AppContext& app, QWidget* parent = nullptr);
  ~MDIMain() override;

  AppContext& app() { return m_app; }
  // The child windows, each made on first use.
  FormRegistry& forms() { return m_forms; }

  // desktop_settings.cpp. Keeps the list of recent ledgers and the places
  // of the windows in settings, which must outlive the window: puts the
  // window where it was, and the recent ledgers into the File menu. Without
  // it nothing is remembered.
  void useSettings(QSettings& settings);
  // Recent ledger n (1 = newest) in the File menu, above Exit; hidden while
  // the list has no nth entry. Object names read "mnuRecentItem(1)".
  QAction* mnuRecentItem(int n) const { return m_recentItems.value(n); }
  // Opens recent ledger n as File, Open would; one that has gone is taken
  // off the list with a message.
  void openRecentLedger(int n);
  // Opens the ledger named on the command line as File, Open would after
  // its dialog; a refusal or failure leaves no ledger open.
  void openLedgerFromCommandLine(const std::string& path);
  // The workspace that child windows go into.
  QMdiArea* mdiArea() const { return m_area; }

  // "Save": the next Save adds a trade. "Edit": it rewrites the trade that
  // was shown when Edit began.
  QString recordMode() const;
  // The record commands, which own the entry in progress.
  LedgerCommands& commands() { return m_commands; }

  // The commands' modes, entered through the core (LedgerCommands::enterMode).
  // The no-ledger state: of the commands only New Database, Open, Close,
  // Exit and Help can be used, and the Edit and View menus are hidden.
  void ResetButtons();
  // The view state: a ledger is open and its trades are shown read-only;
  // everything but Save can be used and button 9 closes the program.
  void DataBeingViewd();
  // The entry state: a trade is being typed or changed; only Save, Cancel,
  // Exit and Help (and what the previous state left) can be used.
  void DataBeingEntered();
  // Empties every text box of the entry form.
  void ClearForm();

  // The entry form, loaded now if it is not.
  EntryForm* entryForm();

  // Menu items by their index in their menu; nullptr for an index the menu
  // does not have. Separators are items too. Object names read
  // "mnuFileItem(5)".
  QAction* mnuFileItem(int index) const { return m_fileItems.value(index); }
  QAction* mnuEditItem(int index) const { return m_editItems.value(index); }
  QAction* mnuViewItem(int index) const { return m_viewItems.value(index); }
  QAction* mnuHelpItem(int index) const { return m_helpItems.value(index); }
  QAction* mnuSHItem(int index) const { return m_shItems.value(index); }
  QAction* mnuSHViewItem(int index) const { return m_shViewItems.value(index); }
  QAction* mnuRestoreItem(int index) const { return m_restoreItems.value(index); }

  QMenu* mnuFile() const { return m_mnuFile; }
  QMenu* mnuEdit() const { return m_mnuEdit; }
  QMenu* mnuView() const { return m_mnuView; }
  QMenu* mnuHelp() const { return m_mnuHelp; }
  // Never in the menu bar: the workspace's and the views' popup menus.
  QMenu* mnuSH() const { return m_mnuSH; }
  QMenu* mnuRestore() const { return m_mnuRestore; }

  // Toolbar button at position 1..13, separators included; nullptr
  // otherwise. A button's key is its object name, its picture number the
  // property "Image"; button 9 carries the property "Tag".
  QAction* tbMainButton(int position) const { return m_buttons.value(position); }
  QToolBar* tbMain() const { return m_tbMain; }
  // Gives button picture number n of the picture list.
  static void setButtonPicture(QAction* button, int number);

  // Panel 1 of the status bar.
  void setStatusText(const QString& text) override;
  QString statusText() const;

  // Command entry points. The menus and the toolbar call them with the
  // clicked item's index; other windows call them as if an item had been
  // clicked. An unknown index does nothing. No error leaves them: the File
  // commands end quietly at a failing step, the others report it.
  virtual void mnuFileItem_Click(int index);
  virtual void mnuEditItem_Click(int index);
  virtual void mnuViewItem_Click(int index);
  virtual void mnuHelpItem_Click(int index);
  void mnuSHItem_Click(int index);
  void mnuSHViewItem_Click(int index);
  void mnuRestoreItem_Click(int index);
  // Runs the command of a toolbar button, chosen by its key.
  void tbMain_ButtonClick(QAction* button);
  // A mouse press on the empty workspace: the right button pops up mnuSH.
  void MDIForm_MouseDown(Qt::MouseButton button);
  // Pops up mnuRestore at the mouse; the views call it on a right click.
  void popupRestoreMenu(ViewTag tag) override;
  // The same over a grid: the menu's item 3 exports the grid's rows.
  void popupGridMenu(ViewTag tag, const GridExport& grid) override;

  // Opens the Splits and Dividends window, or brings it forward, on the
  // company symbol (the list's first when the ledger has no such company).
  void showCompanyEvents(const std::string& symbol);
  // The same for the Prices window.
  void showCompanyPrices(const std::string& symbol);

  // Cancel of an entry (button 9 while its tag is not "Close"): back to
  // the view state, the typed text dropped and the tab's rows read again.
  virtual void cancelEntry();

  // EntryHost
  void setToolbarButtonEnabled(int position, bool enabled) override;
  bool entryInProgress() override { return m_commands.entering(); }
  bool settleEntry() override { return m_commands.settleEntry(); }
  // CommandHost
  FormPort* openEntryForm() override;
  FormPort& loadEntryForm() override;
  // The look, then what was set over it, the title and the change
  // commands, and Undo and Redo named after the steps they offer.
  void render(const WindowState& state) override;
  void clearEntryForm() override { ClearForm(); }
  void showSymbolList(bool shown) override;
  bool symbolListShown() override;
  void reloadEntryTab() override;
  FormPort& showGeneralTab() override;
  void refreshOpenViews() override;
  bool reportViewOpen(const ReportView& view) override;
  // WindowPort
  void showBusy(bool busy) override;
  void showOpenedLedger(const std::string& path) override;
  void showLedgerClosed() override;
  void forgetRecentLedger(const std::string& path) override;
  int entryFormTab() override;
  void showReportView(const ReportView& view) override;
  void closeReportView(const ReportView& view) override;
  void reloadEventsWindow() override;
  void reloadPricesWindow() override;
  // ViewHost
  int entryFormWidthTwips() override;
  int entryFormHeightTwips() override;
  int mainWindowWidthTwips() override;
  QString generalTabSymbol() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the main window unloads every child window first.
  void closeEvent(QCloseEvent* event) override;

 private:
  // main_actions.cpp
  void createMenus();
  void createPopupMenus();
  void createToolBar();
  void createStatusBar();
  // window_states.cpp
  void groupChangeCommands();
  QAction* commandAt(CommandPlace place, int index) const;
  // Sets what look sets and leaves the rest.
  void renderLook(const ModeLook& look);
  // Edit, Undo and Redo and their buttons: enabled, and named after the
  // step, when offer has one.
  void renderUndoOffer(const UndoOffer& offer);
  // form_definitions.cpp
  void defineForms();
  QWidget* makeReportView(ViewTag tag);

  // file_commands.cpp
  void exitProgram();
  // desktop_settings.cpp
  void rememberLedger(const std::string& path);
  void refreshRecentMenu();
  // window_hosts.cpp
  // The title names the ledger and says when it is read-only; the
  // commands that would change it are off then.
  void renderLedgerState(const LedgerState& state);
  // window_commands.cpp
  void setChildWindowsState(Qt::WindowState state);
  // ledger_file_changes.cpp
  // The check each command on the open ledger makes first; false when the
  // file was replaced or is gone (the user has been told, the command stops).
  bool ledgerFileUnchanged();
  void watchLedgerFile();
  // transfer_menu.cpp
  void setUpTransferItems();
  void exportGrid();
  // WindowPort, for the core's transfer flows only.
  void showImportWindow(ImportInput input, std::function<void()> imported) override;
  void showPriceImportWindow(ImportInput input, std::function<void()> imported) override;

  AppContext& m_app;
  FormRegistry m_forms;
  LedgerCommands m_commands;
  LedgerFileFlows m_ledgerFiles{m_app, m_commands, *this};
  ReportViewFlows m_views{m_app, m_commands, *this};
  EventFlows m_events{m_app, m_commands, *this};
  PriceFlows m_prices{m_app, m_commands, *this};
  TransferFlows m_transfers{m_app, m_commands, *this};
  // The grid whose right click raised mnuRestore, while it is up.
  std::optional<GridExport> m_gridExport;

  QMdiArea* m_area = nullptr;
  QToolBar* m_tbMain = nullptr;
  QLabel* m_sbPanel = nullptr;
  MenuShortcutFilter* m_shortcutFilter = nullptr;

  QMenu* m_mnuFile = nullptr;
  QMenu* m_mnuEdit = nullptr;
  QMenu* m_mnuView = nullptr;
  QMenu* m_mnuHelp = nullptr;
  QMenu* m_mnuSH = nullptr;
  QMenu* m_mnuSHView = nullptr;
  QMenu* m_mnuRestore = nullptr;

  QHash<int, QAction*> m_fileItems;
  QHash<int, QAction*> m_editItems;
  QHash<int, QAction*> m_viewItems;
  QHash<int, QAction*> m_helpItems;
  QHash<int, QAction*> m_shItems;
  QHash<int, QAction*> m_shViewItems;
  QHash<int, QAction*> m_restoreItems;
  QHash<int, QAction*> m_buttons;
  // New Record, Edit, Save, Delete, Import, Add Company, Undo and Redo, in
  // the menus and on the toolbar: off as a group while the ledger is
  // read-only, each on or off by the window's state otherwise.
  QActionGroup* m_changeCommands = nullptr;

  std::unique_ptr<RecentLedgers> m_recent;
  WindowSettings* m_windowSettings = nullptr;
  QHash<int, QAction*> m_recentItems;
  QAction* m_recentSeparator = nullptr;
};

}  // namespace ledger
