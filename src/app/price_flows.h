#pragma once
// The Prices window's flows: which company it shows, its closing prices,
// and adding, changing and deleting one with their refusals and questions.
// After a change the Undo offer is published and the open views (this
// window among them) read the ledger again.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/ledger_commands.h"
#include "app/price_commands.h"

namespace ledger {

// "Delete the price of MSFT 2025-04-10 (412.5)?"
std::string deletePriceQuestion(const ClosePrice& price);
// Told when a change is asked of a ledger open for reading only.
inline constexpr const char* kPricesReadOnly = "This ledger can only be read; the prices were not changed.";

class PriceFlows {
 public:
  // All three must outlive the flows.
  PriceFlows(AppContext& app, LedgerCommands& commands, CommandHost& host)
      : m_app(app), m_commands(commands), m_host(host) {}

  // The symbols of Companies, each once, in the list's order. Throws DbError.
  std::vector<std::string> companySymbols();
  // The company the window opens on: shown when the list has it, else the
  // list's first, else shown as it is. Throws DbError.
  std::string companyToShow(const std::string& shown);
  // symbol's prices by date. Throws DbError.
  std::vector<ClosePrice> read(const std::string& symbol);

  // Each returns whether the ledger was changed; a refusal has been shown
  // then, and nothing written. A price of the same symbol and date is
  // replaced when the user says so; a delete asks first.
  bool addPrice(const std::string& symbol, const std::string& date, const std::string& close);
  bool changePrice(const ClosePrice& shown, const std::string& date, const std::string& close);
  bool deletePrice(const ClosePrice& shown);

 private:
  // Whether the open ledger may be written now: its file unchanged (or the
  // user has been told) and not open for reading only (told here).
  bool writable();
  // Runs write on the ledger and shows its refusal; after a change, what
  // shows the ledger reads it again.
  bool write(const std::function<std::optional<std::string>(Database&)>& write);
  // Shows refusal; false.
  bool refused(const std::string& refusal);

  AppContext& m_app;
  LedgerCommands& m_commands;
  CommandHost& m_host;
};

}  // namespace ledger
