#include "app/company_list.h"

#include <algorithm>

#include "engine/db_error.h"
#include "engine/blanks.h"
#include "engine/statement.h"
#include "ledger/ledger_writes.h"
#include "app/record_display.h"
#include "ledger/symbol_text.h"
#include "app/trade_entry.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

// Opening Companies read only its first row; a row further on that cannot
// be read (a damaged file) ends the walk and is told like a failed open.
void reportUnreadable(LedgerSession& session, const DbError& e) {
  session.notifier().notify(openFailureMessage(session.LedgerPath, "Companies") + kNewLine + kNewLine + e.what(),
                            MsgIcon::Critical);
}

bool listHolds(const FormPort& form, const std::string& symbol) {
  for (int i = 0; i < form.companyListCount(); ++i)
    if (form.companyListItem(i) == symbol) return true;
  return false;
}

}  // namespace

bool AddCompany(LedgerSession& session, FormPort& form, const std::string& typed) {
  const std::string symbol(trimBlanks(typed));
  if (symbol.empty()) {
    session.notifier().notify(kBlankSymbol, MsgIcon::Information);
    return false;
  }
  if (const auto unseen = unseenSymbolCharacter(symbol)) {
    session.notifier().notify(unseenCharacterMessage(*unseen), MsgIcon::Information);
    return false;
  }
  try {
    Database db = session.ledgerConnection();
    insertCompany(db, symbol);
  } catch (const DbError& e) {
    session.notifier().notify("The company could not be added." + std::string(kNewLine) + kNewLine + e.what(),
                            MsgIcon::Critical);
    return false;
  }
  FillCompanyList(session, form);
  return true;
}

void FillCompanyList(LedgerSession& session, FormPort& form) {
  if (!session.OpenLedgerTable("Companies")) return;
  Recordset& rs = *session.CurrentRecordset;
  try {
    const std::int64_t n = rs.recordCount();
    for (std::int64_t i = 0; i < n && !rs.eof(); ++i) {
      // A row without a symbol has nothing to list.
      if (auto symbol = toText(rs.value(1)); symbol && !listHolds(form, *symbol))
        form.insertCompanyListItem(static_cast<int>(std::min<std::int64_t>(i, form.companyListCount())), *symbol);
      rs.moveNext();
    }
  } catch (const DbError& e) {
    reportUnreadable(session, e);
  }
}

void LookUpCompanySymbol(LedgerSession& session, FormPort& form) {
  const std::string text(trimBlanks(form.companySymbolText()));
  std::int64_t number = 0;
  if (session.OpenLedgerTable("Companies")) {
    Recordset& rs = *session.CurrentRecordset;
    // Every row is visited, so a symbol stored twice still finds its last
    // number.
    try {
      while (!rs.eof()) {
        const Value& symbol = rs.value(1);
        if (const auto* s = std::get_if<std::string>(&symbol); s && *s == text) {
          if (const auto* id = std::get_if<std::int64_t>(&rs.value(0))) number = *id;
        }
        rs.moveNext();
      }
    } catch (const DbError& e) {
      reportUnreadable(session, e);
    }
  }
  form.setBoxText("CompanySymbol", kGeneralTab, text);
  form.setBoxText("CompanyID", kGeneralTab, std::to_string(number));
}

std::vector<std::string> listedCompanySymbols(Database& db) {
  std::vector<std::string> symbols;
  Statement row(db, "SELECT CompanySymbol FROM Companies ORDER BY rowid");
  while (row.step()) {
    if (row.type(0) != ColumnType::Text || row.text(0).empty()) continue;
    const std::string symbol(row.text(0));
    // Symbols are not unique in Companies; the list names each once.
    if (std::find(symbols.begin(), symbols.end(), symbol) == symbols.end()) symbols.push_back(symbol);
  }
  return symbols;
}

std::string pickCompanyToShow(const std::vector<std::string>& symbols, const std::string& shown) {
  if (symbols.empty() || std::find(symbols.begin(), symbols.end(), shown) != symbols.end()) return shown;
  return symbols.front();
}

}  // namespace ledger
