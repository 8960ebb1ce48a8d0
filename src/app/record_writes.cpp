#include "app/record_writes.h"

#include <variant>

#include "engine/db_error.h"
#include "ledger/ledger_writes.h"
#include "app/trade_entry.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

void reportRefusal(Prompter& prompter, const std::string& what, const DbError& e) {
  prompter.show(what + kNewLine + kNewLine + e.what(), MsgIcon::Critical);
}

constexpr const char* kEditedElsewhere =
    "This trade was changed or deleted elsewhere (by another copy of the program, say) after you began "
    "editing it; nothing was written.\r\nCancel the edit to see the trade as the ledger holds it now.";

}  // namespace

std::string newSymbolQuestion(const std::string& symbol) {
  return "The symbol " + symbol + " is not in the company list." + kNewLine +
         "Add it to the list and save the trade?";
}

bool SaveRecord(LedgerSession& session, Prompter& prompter, const FormPort& form,
                const std::optional<EditBookmark>& edit) {
  // A ledger whose file was replaced or removed meanwhile is not written.
  if (session.checkLedgerFile() != LedgerFileState::Unchanged) return false;
  const auto read = readGeneralTab(form);
  if (const auto* problem = std::get_if<std::string>(&read)) {
    prompter.show(*problem, MsgIcon::Information);
    return false;
  }
  Trade trade = std::get<Trade>(read);
  std::optional<Database> connection;
  try {
    connection = session.ledgerConnection();
  } catch (const DbError& e) {
    prompter.show(openFailureText(session.LedgerPath, "Trade", e.what()), MsgIcon::Critical);
    return false;
  }
  try {
    Database& db = *connection;
    NewCompany company = NewCompany::No;
    if (edit && trade.symbol == edit->shown.symbol) {
      trade.companyId = edit->shown.companyId;  // the symbol stays, and so does its company number
    } else if (const auto id = findCompany(db, trade.symbol)) {
      trade.companyId = *id;
    } else {
      if (prompter.show(newSymbolQuestion(trade.symbol), MsgIcon::Question, MsgButtons::YesNo) !=
          MsgAnswer::Yes)
        return false;
      company = NewCompany::Add;
    }
    if (edit)
      updateTrade(db, edit->rowid, edit->shown, trade, company);
    else
      insertTrade(db, trade, company);
    return true;
  } catch (const DbError& e) {
    if (e.number() == dberr::kChangedElsewhere) {
      prompter.show(kEditedElsewhere, MsgIcon::Information);
      return false;
    }
    reportRefusal(prompter, "The trade could not be saved.", e);
    return false;
  }
}

bool DeleteRecord(LedgerSession& session, Prompter& prompter) {
  // A trade shown from a file that has since been replaced is not asked about.
  if (session.checkLedgerFile() != LedgerFileState::Unchanged) return false;
  if (!session.ShownTrade || !session.ShownTradeValues) {
    prompter.show("There is no trade shown to delete.", MsgIcon::Information);
    return false;
  }
  if (prompter.show(kDeleteQuestion, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  try {
    Database db = session.ledgerConnection();
    deleteTrade(db, *session.ShownTrade, *session.ShownTradeValues);
    return true;
  } catch (const DbError& e) {
    if (e.number() == dberr::kChangedElsewhere) {
      prompter.show("The trade shown is no longer in the ledger as shown; nothing was deleted.",
                    MsgIcon::Information);
      return false;
    }
    reportRefusal(prompter, "The trade could not be deleted.", e);
    return false;
  }
}

}  // namespace ledger
