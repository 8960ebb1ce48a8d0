#include "app/ledger_commands.h"

#include "data/company_list.h"
#include "data/db_error.h"
#include "data/ledger_writes.h"
#include "data/value.h"

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
  m_host.showEntryState();
  FillCompanyList(m_session, form);
  m_host.showSymbolList(true);
}

void LedgerCommands::editRecords() {
  if (entering() || !tradeVisible()) return;
  FormPort& form = *m_host.openEntryForm();
  const std::int64_t rowid = *m_session.ShownTrade;
  std::optional<Trade> now;
  try {
    Database db = Database::open(m_session.LedgerPath);
    now = readTrade(db, rowid);
  } catch (const DbError& e) {
    m_session.prompter().show(std::string("The trade could not be read.") + kNewLine + kNewLine + e.what(),
                              MsgIcon::Critical);
    return;
  }
  if (!now) {
    m_session.prompter().show(kTradeGone, MsgIcon::Information);
    m_host.reloadEntryTab();
    return;
  }
  // The edit starts from the trade as the ledger holds it now.
  showTrade(form, *now);
  m_session.ShownTradeValues = *now;
  m_edit = EditBookmark{rowid, *now};
  m_mode = EntryMode::EditTrade;
  m_host.showEntryState();
}

bool LedgerCommands::save() {
  if (!entering()) return false;
  FormPort* form = m_host.openEntryForm();
  if (!form) return false;
  // The symbol check has always run before Save reads the General tab.
  if (m_host.symbolListShown()) LookUpCompanySymbol(m_session, *form);
  if (!SaveRecord(m_session, *form, m_edit)) return false;
  leaveEntry();
  return true;
}

void LedgerCommands::deleteRecord() {
  if (entering() || !tradeVisible()) return;
  DeleteRecord(m_session);
  m_host.reloadEntryTab();
}

void LedgerCommands::cancelEntry() {
  if (!entering()) return;
  leaveEntry();
}

void LedgerCommands::addCompany(const std::string& symbol) {
  FormPort& form = m_host.loadEntryForm();
  if (!AddCompany(m_session, form, symbol)) return;
  if (!entering()) m_host.reloadEntryTab();
}

bool LedgerCommands::settleEntry() {
  if (!entering()) return true;
  switch (m_session.prompter().show(kSaveEntryQuestion, MsgIcon::Question, MsgButtons::YesNoCancel)) {
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
  m_host.showViewState();
  if (m_host.openEntryForm()) {
    m_host.showSymbolList(false);
    m_host.reloadEntryTab();
  }
}

}  // namespace ledger
