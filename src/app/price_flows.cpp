#include "app/price_flows.h"

#include <algorithm>

#include "app/company_list.h"
#include "app/event_flows.h"

namespace ledger {

std::string deletePriceQuestion(const ClosePrice& price) { return "Delete the price of " + describePrice(price) + "?"; }

std::vector<std::string> PriceFlows::companySymbols() {
  Database db = m_app.session().ledgerConnection();
  return listedCompanySymbols(db);
}

std::string PriceFlows::companyToShow(const std::string& shown) { return pickCompanyToShow(companySymbols(), shown); }

std::vector<ClosePrice> PriceFlows::read(const std::string& symbol) {
  Database db = m_app.session().ledgerConnection();
  return readPrices(db, symbol);
}

bool PriceFlows::addPrice(const std::string& symbol, const std::string& date, const std::string& close) {
  auto typed = readPrice(symbol, date, close);
  if (const auto* problem = std::get_if<std::string>(&typed)) return refused(*problem);
  const ClosePrice price = std::get<ClosePrice>(std::move(typed));
  if (!writable()) return false;
  SameDate sameDate = SameDate::Refuse;
  const std::vector<ClosePrice> held = read(price.symbol);
  if (std::any_of(held.begin(), held.end(), [&](const ClosePrice& p) { return p.date == price.date; })) {
    if (m_app.prompter().show(replaceQuestion("price", price.symbol, price.date), MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
      return false;
    sameDate = SameDate::Replace;
  }
  return write([&](Database& db) { return savePrice(db, price, sameDate); });
}

bool PriceFlows::changePrice(const ClosePrice& shown, const std::string& date, const std::string& close) {
  auto typed = readPrice(shown.symbol, date, close);
  if (const auto* problem = std::get_if<std::string>(&typed)) return refused(*problem);
  const ClosePrice price = std::get<ClosePrice>(std::move(typed));
  if (!writable()) return false;
  return write([&](Database& db) { return ledger::changePrice(db, shown, price); });
}

bool PriceFlows::deletePrice(const ClosePrice& shown) {
  if (!writable()) return false;
  if (m_app.prompter().show(deletePriceQuestion(shown), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  return write([&](Database& db) { return removePrice(db, shown.symbol, shown.date); });
}

bool PriceFlows::writable() {
  // A ledger whose file was replaced or removed meanwhile is not written.
  if (m_app.session().checkLedgerFile() != LedgerFileState::Unchanged) return false;
  const std::optional<Database>& db = m_app.session().LedgerDatabase;
  if (db && db->isReadOnly()) return refused(kPricesReadOnly);
  return true;
}

bool PriceFlows::write(const std::function<std::optional<std::string>(Database&)>& write) {
  std::optional<std::string> refusal;
  {
    Database db = m_app.session().ledgerConnection();
    refusal = write(db);
  }
  if (refusal) return refused(*refusal);
  m_host.refreshOpenViews();
  m_commands.publish();
  return true;
}

bool PriceFlows::refused(const std::string& refusal) {
  m_app.prompter().show(refusal, MsgIcon::Information);
  return false;
}

}  // namespace ledger
