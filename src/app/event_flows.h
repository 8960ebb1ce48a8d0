#pragma once
// The Splits and Dividends window's flows: which company it shows, what it
// lists, the holding a split being typed would leave, and adding, changing
// and deleting a split or dividend with its refusals and questions. After
// a change the Undo offer is published and the open views (this window
// among them) read the ledger again.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/event_commands.h"
#include "app/ledger_commands.h"

namespace ledger {

// One company's splits and dividends, each by date.
struct CompanyEvents {
  std::vector<StockSplit> splits;
  std::vector<CashDividend> dividends;
};

// "Delete the split of MSFT 2025-04-10 (2:1)?"
std::string deleteSplitQuestion(const StockSplit& split);
std::string deleteDividendQuestion(const CashDividend& dividend);
// "There is already a split of MSFT on 2025-04-10. Replace it?"
std::string replaceQuestion(const char* noun, const std::string& symbol, const std::string& date);

class EventFlows {
 public:
  // All three must outlive the flows.
  EventFlows(AppContext& app, LedgerCommands& commands, CommandHost& host)
      : m_app(app), m_commands(commands), m_host(host) {}

  // The symbols of Companies, each once, in the list's order. Throws DbError.
  std::vector<std::string> companySymbols();
  // The company the window opens on: shown when the list has it, else the
  // list's first, else shown as it is. Throws DbError.
  std::string companyToShow(const std::string& shown);
  // Throws DbError.
  CompanyEvents read(const std::string& symbol);

  // The holding before and after the split typed, once its date and ratio
  // can be read; nullopt until then. Throws DbError.
  std::optional<std::string> splitPreview(const std::string& symbol, const std::string& date, const std::string& ratio);

  // Each returns whether the ledger was changed; a refusal has been shown
  // then, and nothing written. An event of the same symbol and date is
  // replaced when the user says so; a delete asks first.
  bool addSplit(const std::string& symbol, const std::string& date, const std::string& ratio);
  bool changeSplit(const StockSplit& shown, const std::string& date, const std::string& ratio);
  bool deleteSplit(const StockSplit& shown);
  bool addDividend(const DividendText& typed);
  bool changeDividend(const CashDividend& shown, const DividendText& typed);
  bool deleteDividend(const CashDividend& shown);

 private:
  using Write = std::function<std::optional<std::string>(Database&)>;
  // false when the file was replaced or is gone (the user has been told).
  bool ledgerUnchanged();
  // What a save does about the one of held on date: Refuse when there is
  // none, Replace when the user says so, nullopt when not.
  template <class Event>
  std::optional<SameDate> sameDateChoice(const char* noun, const std::string& symbol, const std::string& date,
                                         const std::vector<Event>& held);
  // Runs write on the ledger and shows its refusal; after a change, what
  // shows the ledger reads it again.
  bool write(const Write& write, bool addsTrade = false);
  // Shows refusal; false.
  bool refused(const std::string& refusal);

  AppContext& m_app;
  LedgerCommands& m_commands;
  CommandHost& m_host;
};

}  // namespace ledger
