#include "app/record_writes.h"

#include <variant>

#include "engine/db_error.h"
#include "ledger/ledger_writes.h"
#include "app/trade_entry.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

std::string refusalText(const std::string& what, const DbError& e) { return what + kNewLine + kNewLine + e.what(); }

void reportRefusal(Prompter& prompter, const std::string& what, const DbError& e) {
  prompter.show(refusalText(what, e), MsgIcon::Critical);
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
  Trade trade;
  std::optional<Database> db;
  bool known = false;  // the company list has the symbol
  std::string refusal;
  MsgIcon icon = MsgIcon::Critical;
  {
    // The file check and the company's lookup in one read, ended before any
    // message or question: none waits for the user holding a lock.
    const SessionRead read(session);
    // A ledger whose file was replaced or removed meanwhile is not written.
    if (session.checkLedgerFile() != LedgerFileState::Unchanged) return false;
    auto general = readGeneralTab(form);
    if (auto* problem = std::get_if<std::string>(&general)) {
      refusal = std::move(*problem);
      icon = MsgIcon::Information;
    } else {
      trade = std::get<Trade>(general);
      try {
        db = session.ledgerConnection();
        if (edit && trade.symbol == edit->shown.symbol) {
          trade.companyId = edit->shown.companyId;  // the symbol stays, and so does its company number
          known = true;
        } else if (const auto id = findCompany(*db, trade.symbol)) {
          trade.companyId = *id;
          known = true;
        }
      } catch (const DbError& e) {
        refusal = db ? refusalText("The trade could not be saved.", e)
                     : openFailureText(session.LedgerPath, "Trade", e.what());
      }
    }
  }
  if (!refusal.empty()) {
    prompter.show(refusal, icon);
    return false;
  }
  try {
    NewCompany company = NewCompany::No;
    if (!known) {
      if (prompter.show(newSymbolQuestion(trade.symbol), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
      company = NewCompany::Add;
    }
    if (edit)
      updateTrade(*db, edit->rowid, edit->shown, trade, company);
    else
      insertTrade(*db, trade, company);
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
