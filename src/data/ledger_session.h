#pragma once
// The shared state of the record engine: the ledger that is open, its one
// current recordset and the few values the windows pass to each other.
// One LedgerSession exists for the program; windows and record operations
// receive it, nothing reaches it through a global.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "database.h"
#include "prompter.h"
#include "recordset.h"
#include "trade.h"

namespace ledger {

class LedgerSession {
 public:
  explicit LedgerSession(Prompter& prompter) : m_prompter(prompter) {}

  Prompter& prompter() { return m_prompter; }

  // Opens the ledger file at path (LedgerPath when omitted) and over it the
  // rows of the table or stored query name ("Trade", "[Total Buy]"). Both
  // replace LedgerDatabase and CurrentRecordset. On failure the user is
  // told which file and which recordset failed, false is returned, and what
  // was assigned before the failure stays: a recordset that cannot be
  // opened leaves the new database with the previous recordset.
  bool OpenLedgerTable(std::string_view name, const std::optional<std::string>& path = std::nullopt);

  // Full path of the ledger; empty while none is chosen.
  std::string LedgerPath;
  // The ledger opened last, and the one recordset of the whole program.
  std::optional<Database> LedgerDatabase;
  std::unique_ptr<Recordset> CurrentRecordset;
  // Whether the last new-ledger command made a ledger.
  bool LedgerCreated = false;
  // Row position found by the ticker search.
  std::int64_t FoundPosition = 0;
  // Which view raised the refresh menu: "DS", "Hi", "PL", "Ch" or "Ga".
  std::string ViewTag;
  // The Trade row whose values the General tab shows (its bookmark), so
  // that an edit or a delete acts on the trade the user saw even when the
  // cursor has moved since.
  std::optional<std::int64_t> ShownTrade;
  // The values of that row as they were shown, so that a change to it can
  // tell whether someone else changed the row since.
  std::optional<Trade> ShownTradeValues;

 private:
  Prompter& m_prompter;
};

// The message OpenLedgerTable shows for a failure.
std::string openFailureMessage(std::string_view path, std::string_view name);
// The same, followed by what the engine found (reason), so that a foreign or
// damaged file is told apart from a missing one: the whole text
// OpenLedgerTable shows.
std::string openFailureText(std::string_view path, std::string_view name, std::string_view reason);
// The message for a ledger that opened but could not be read for a view or
// a report.
std::string readFailureMessage(std::string_view path, std::string_view reason);

}  // namespace ledger
