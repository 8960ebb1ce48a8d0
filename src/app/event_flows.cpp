#include "app/event_flows.h"

#include <algorithm>

#include "app/company_list.h"
#include "app/split_holding.h"
#include "engine/value.h"

namespace ledger {

std::string deleteSplitQuestion(const StockSplit& split) { return "Delete the split of " + describeSplit(split) + "?"; }

std::string deleteDividendQuestion(const CashDividend& dividend) {
  return "Delete the dividend of " + describeDividend(dividend) + "?";
}

std::string replaceQuestion(const char* noun, const std::string& symbol, const std::string& date) {
  return std::string("There is already a ") + noun + " of " + symbol + " on " + date + ". Replace it?";
}

std::vector<std::string> EventFlows::companySymbols() {
  Database db = m_app.session().ledgerConnection();
  return listedCompanySymbols(db);
}

std::string EventFlows::companyToShow(const std::string& shown) { return pickCompanyToShow(companySymbols(), shown); }

CompanyEvents EventFlows::read(const std::string& symbol) {
  Database db = m_app.session().ledgerConnection();
  return {readSplits(db, symbol), readDividends(db, symbol)};
}

std::optional<std::string> EventFlows::splitPreview(const std::string& symbol, const std::string& date,
                                                    const std::string& ratio) {
  const auto typed = readSplit(symbol, date, ratio);
  const auto* split = std::get_if<StockSplit>(&typed);
  if (!split || !isIsoDate(split->date)) return std::nullopt;
  Database db = m_app.session().ledgerConnection();
  return splitHoldingText(*split, splitHolding(db, *split));
}

bool EventFlows::addSplit(const std::string& symbol, const std::string& date, const std::string& ratio) {
  auto typed = readSplit(symbol, date, ratio);
  if (const auto* problem = std::get_if<std::string>(&typed)) return refused(*problem);
  const StockSplit split = std::get<StockSplit>(std::move(typed));
  if (!ledgerUnchanged()) return false;
  const std::optional<SameDate> sameDate = sameDateChoice("split", split.symbol, split.date, read(split.symbol).splits);
  if (!sameDate) return false;
  return write([&](Database& db) { return saveSplit(db, split, *sameDate); });
}

bool EventFlows::changeSplit(const StockSplit& shown, const std::string& date, const std::string& ratio) {
  auto typed = readSplit(shown.symbol, date, ratio);
  if (const auto* problem = std::get_if<std::string>(&typed)) return refused(*problem);
  const StockSplit split = std::get<StockSplit>(std::move(typed));
  if (!ledgerUnchanged()) return false;
  return write([&](Database& db) { return ledger::changeSplit(db, shown, split); });
}

bool EventFlows::deleteSplit(const StockSplit& shown) {
  if (!ledgerUnchanged()) return false;
  if (m_app.prompter().show(deleteSplitQuestion(shown), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  return write([&](Database& db) { return removeSplit(db, shown.symbol, shown.date); });
}

bool EventFlows::addDividend(const DividendText& typed) {
  auto parsed = readDividend(typed);
  if (const auto* problem = std::get_if<std::string>(&parsed)) return refused(*problem);
  const CashDividend dividend = std::get<CashDividend>(std::move(parsed));
  if (!ledgerUnchanged()) return false;
  const std::optional<SameDate> sameDate =
      sameDateChoice("dividend", dividend.symbol, dividend.date, read(dividend.symbol).dividends);
  if (!sameDate) return false;
  return write([&](Database& db) { return saveDividend(db, dividend, *sameDate); },
               dividend.reinvestQuantity.has_value());
}

bool EventFlows::changeDividend(const CashDividend& shown, const DividendText& typed) {
  DividendText onShown = typed;
  onShown.symbol = shown.symbol;
  auto parsed = readDividend(onShown);
  if (const auto* problem = std::get_if<std::string>(&parsed)) return refused(*problem);
  const CashDividend dividend = std::get<CashDividend>(std::move(parsed));
  if (!ledgerUnchanged()) return false;
  return write([&](Database& db) { return ledger::changeDividend(db, shown, dividend); },
               dividend.reinvestQuantity && !shown.reinvestQuantity);
}

bool EventFlows::deleteDividend(const CashDividend& shown) {
  if (!ledgerUnchanged()) return false;
  if (m_app.prompter().show(deleteDividendQuestion(shown), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  return write([&](Database& db) { return removeDividend(db, shown.symbol, shown.date); });
}

bool EventFlows::ledgerUnchanged() {
  // A ledger whose file was replaced or removed meanwhile is not written.
  return m_app.session().checkLedgerFile() == LedgerFileState::Unchanged;
}

template <class Event>
std::optional<SameDate> EventFlows::sameDateChoice(const char* noun, const std::string& symbol, const std::string& date,
                                                   const std::vector<Event>& held) {
  if (!std::any_of(held.begin(), held.end(), [&](const Event& e) { return e.date == date; })) return SameDate::Refuse;
  if (m_app.prompter().show(replaceQuestion(noun, symbol, date), MsgIcon::Question, MsgButtons::YesNo) !=
      MsgAnswer::Yes)
    return std::nullopt;
  return SameDate::Replace;
}

bool EventFlows::write(const Write& write, bool addsTrade) {
  std::optional<std::string> refusal;
  {
    Database db = m_app.session().ledgerConnection();
    refusal = write(db);
  }
  if (refusal) return refused(*refusal);
  m_host.refreshOpenViews();
  // The purchase a dividend bought joins the entry tab's rows, unless a
  // trade is being typed there.
  if (addsTrade && !m_commands.entering() && m_host.openEntryForm()) m_host.reloadEntryTab();
  m_commands.publish();
  return true;
}

bool EventFlows::refused(const std::string& refusal) {
  m_app.prompter().show(refusal, MsgIcon::Information);
  return false;
}

}  // namespace ledger
