#pragma once
// Saving the General tab of the entry form as a trade, and deleting the
// shown trade.

#include <cstdint>
#include <optional>
#include <string>

#include "app/form_port.h"
#include "app/prompter.h"
#include "ledger/ledger_session.h"
#include "figures/trade.h"

namespace ledger {

inline constexpr const char* kDeleteQuestion = "Are you sure you want to permenantly delete this record?";

// The trade an edit rewrites: its row, and its values as they were when the
// edit began, so that a change made meanwhile by someone else is noticed.
struct EditBookmark {
  std::int64_t rowid = 0;
  Trade shown;
};

// The question asked when the typed symbol is not in the company list.
std::string newSymbolQuestion(const std::string& symbol);

// Writes the General tab to Trade: a new trade, or with edit the trade of
// that bookmark, provided the ledger still holds the values it had when the
// edit began. The company number follows the symbol (surrounding blanks
// removed); a symbol the company list lacks is offered for adding, and the
// company and the trade are then written as one change.
// Nothing is written when a field is wrong, the user declines the new
// symbol, the trade was changed elsewhere, or the ledger refuses the row:
// the user is told why (except for the declined symbol) and false is
// returned; the form keeps its text.
bool SaveRecord(LedgerSession& session, Prompter& prompter, const FormPort& form,
                const std::optional<EditBookmark>& edit = std::nullopt);

// Asks whether to delete; on Yes removes the trade the General tab shows
// (ShownTrade), provided it still holds the values shown. Returns true when
// it was deleted. Tells the user when the trade is no longer in the ledger
// as shown or the ledger refuses the change.
bool DeleteRecord(LedgerSession& session, Prompter& prompter);

}  // namespace ledger
