#include "app/ledger_commands.h"

#include "app/company_list.h"
#include "engine/db_error.h"
#include "ledger/ledger_writes.h"
#include "app/record_display.h"
#include "engine/value.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

constexpr const char* kTradeGone = "The trade shown is no longer in the ledger; it was deleted elsewhere.";

void showTrade(FormPort& form, const Trade& t) {
  form.setBoxText("CompanyID", kGeneralTab, std::to_string(t.companyId));
  form.setBoxText("CompanySymbol", kGeneralTab, t.symbol);
  form.setBoxText("Date", kGeneralTab, t.date);
  form.setBoxText("Quantity", kGeneralTab, formatNumber(t.quantity));
  form.setBoxText("Price", kGeneralTab, formatNumber(t.price));
  form.setBoxText("Commission", kGeneralTab, formatNumber(t.commission));
  form.selectBuy(t.side == TradeSide::Buy);
}

}  // namespace

std::string undoMenuText(const char* verb, const std::optional<UndoStepInfo>& step) {
  return step ? std::string(verb) + " " + step->label : std::string(verb);
}

void LedgerCommands::publish() { render(false); }

void LedgerCommands::enterMode(WindowMode mode) {
  m_look = lookOf(mode);
  m_since = {};
  m_since.mode = mode;
  // Rendered even when nothing changed: the look also goes onto windows
  // made since it was last set (the entry form's boxes).
  render(true);
}

void LedgerCommands::setOverLook(const ModeLook& changes) {
  setOver(m_since, changes);
  publish();
}

void LedgerCommands::entryWindowClosed() {
  // Closing the window asked about a trade being typed already.
  if (entering()) {
    forgetEntry();
    enterMode(WindowMode::Viewing);
  }
  ModeLook nothingShown = tradeButtonSwitched(4, false);
  setOver(nothingShown, tradeButtonSwitched(7, false));
  setOverLook(nothingShown);
}

void LedgerCommands::render(bool always) {
  WindowState now{ledgerStateOf(m_session), m_look, m_since, undoOffer(), tradeVisible(), {}};
  for (const ReportView& view : kReportViews)
    if (m_host.reportViewOpen(view)) now.openViews.push_back(view.tag);
  if (!always && now == m_state) return;
  m_state = std::move(now);
  m_host.render(m_state);
}

bool LedgerCommands::tradeVisible() {
  FormPort* form = m_host.openEntryForm();
  return form && form->currentTab() == kGeneralTab && m_session.ShownTrade.has_value();
}

void LedgerCommands::newRecord() {
  if (!settleEntry()) return;
  FormPort& form = m_host.loadEntryForm();
  m_host.clearEntryForm();
  form.clearSide();
  m_mode = EntryMode::NewTrade;
  m_edit.reset();
  enterMode(WindowMode::Entering);
  FillCompanyList(m_session, form);
  m_host.showSymbolList(true);
}

void LedgerCommands::editRecords() {
  if (entering() || !tradeVisible()) return;
  FormPort& form = *m_host.openEntryForm();
  const std::int64_t rowid = *m_session.ShownTrade;
  std::optional<Trade> now;
  try {
    Database db = m_session.ledgerConnection();
    now = readTrade(db, rowid);
  } catch (const DbError& e) {
    m_prompter.show(std::string("The trade could not be read.") + kNewLine + kNewLine + e.what(),
                    MsgIcon::Critical);
    return;
  }
  if (!now) {
    m_prompter.show(kTradeGone, MsgIcon::Information);
    m_host.reloadEntryTab();
    publish();
    return;
  }
  // The edit starts from the trade as the ledger holds it now.
  showTrade(form, *now);
  m_session.ShownTradeValues = *now;
  m_edit = EditBookmark{rowid, *now};
  m_mode = EntryMode::EditTrade;
  enterMode(WindowMode::Entering);
}

bool LedgerCommands::save() {
  if (!entering()) return false;
  FormPort* form = m_host.openEntryForm();
  if (!form) return false;
  // The symbol check has always run before Save reads the General tab.
  if (m_host.symbolListShown()) LookUpCompanySymbol(m_session, *form);
  if (!SaveRecord(m_session, m_prompter, *form, m_edit)) return false;
  leaveEntry();
  return true;
}

void LedgerCommands::deleteRecord() {
  if (entering() || !tradeVisible()) return;
  DeleteRecord(m_session, m_prompter);
  m_host.reloadEntryTab();
  publish();
}

void LedgerCommands::cancelEntry() {
  if (!entering()) return;
  leaveEntry();
}

void LedgerCommands::tradesImported() {
  m_host.refreshOpenViews();
  m_host.reloadEntryTab();
  publish();
}

void LedgerCommands::addCompany(const std::string& symbol) {
  FormPort& form = m_host.loadEntryForm();
  if (AddCompany(m_session, form, symbol) && !entering()) m_host.reloadEntryTab();
  publish();
}

UndoOffer LedgerCommands::undoOffer() {
  m_offer = {};
  // A step taken under a typed trade would change what the entry is based on.
  if (entering() || m_session.LedgerPath.empty()) return m_offer;
  try {
    Database db = m_session.ledgerConnection();
    if (db.isReadOnly()) return m_offer;
    m_offer = {stepToUndo(db), stepToRedo(db)};
  } catch (const DbError&) {
    // A ledger that cannot be read offers nothing; the commands that read
    // it say why.
  }
  return m_offer;
}

bool LedgerCommands::undo() {
  const bool taken = moveStep(true);
  publish();
  return taken;
}

bool LedgerCommands::redo() {
  const bool taken = moveStep(false);
  publish();
  return taken;
}

bool LedgerCommands::moveStep(bool undo) {
  if (entering()) return false;
  // A ledger whose file was replaced or removed meanwhile is not written.
  if (m_session.checkLedgerFile() != LedgerFileState::Unchanged) return false;
  std::optional<UndoStepInfo> step = undo ? m_offer.undo : m_offer.redo;
  if (!step) {
    undoOffer();
    step = undo ? m_offer.undo : m_offer.redo;
    if (!step) return false;
  }
  const char* verb = undo ? "Undo" : "Redo";
  std::optional<UndoOutcome> outcome;
  try {
    Database db = m_session.ledgerConnection();
    outcome = undo ? undoStep(db, step) : redoStep(db, step);
  } catch (const DbError& e) {
    if (e.number() == dberr::kChangedElsewhere)
      m_prompter.show(undoMenuText(verb, step) + " cannot be done." + kNewLine + kNewLine + e.what() +
                          kNewLine + "Nothing was changed.",
                      MsgIcon::Information);
    else
      m_prompter.show(undoMenuText(verb, step) + " could not be done." + kNewLine + kNewLine + e.what(),
                      MsgIcon::Critical);
    undoOffer();
    return false;
  }
  undoOffer();
  if (!outcome) return false;

  m_host.refreshOpenViews();
  FormPort& form = m_host.showGeneralTab();
  m_host.reloadEntryTab();  // the first trade, or none
  if (outcome->trade && m_session.CurrentRecordset && m_session.CurrentRecordset->sourceName() == "Trade") {
    passOver([&] {
      m_session.CurrentRecordset->moveToBookmark(*outcome->trade);
      ShowRecord(m_session, form);
    });
  }
  return true;
}

bool LedgerCommands::settleEntry() {
  if (!entering()) return true;
  switch (m_prompter.show(kSaveEntryQuestion, MsgIcon::Question, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes: return save();
    case MsgAnswer::No: leaveEntry(); return true;
    default: return false;
  }
}

void LedgerCommands::forgetEntry() {
  m_mode = EntryMode::None;
  m_edit.reset();
}

void LedgerCommands::leaveEntry() {
  forgetEntry();
  enterMode(WindowMode::Viewing);
  if (m_host.openEntryForm()) {
    m_host.showSymbolList(false);
    m_host.reloadEntryTab();
  }
  publish();
}

}  // namespace ledger
