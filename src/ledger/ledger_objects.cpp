#include "ledger/ledger_objects.h"

#include "ledger/event_tables.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_format.h"
#include "ledger/ledger_schema.h"
#include "ledger/notifier.h"
#include "ledger/price_table.h"
#include "ledger/undo_journal.h"
#include "ledger/view_queries.h"

namespace ledger {

namespace {

// ---- the program's objects ------------------------------------------------

KnownObjects makeTemplateObjects() {
  KnownObjects objects;
  objects.addStatements(ledgerSchemaSql());
  return objects;
}

KnownObjects makeProgramObjects() {
  // The template: its tables, indexes and stored queries.
  KnownObjects objects = makeTemplateObjects();
  // The datasheet's sorted queries.
  objects.addQuery("TradeSorted", kTradeSortedSql);
  objects.addQuery("BoughtSorted", kBoughtSortedSql);
  objects.addQuery("SoldSorted", kSoldSortedSql);
  // The history's per-company queries: the symbol changes their text,
  // never their columns.
  const auto history = historyQueryTexts("");
  for (size_t i = 0; i < kHistoryQueryNames.size(); ++i) objects.addQuery(kHistoryQueryNames[i], history[i]);
  // Features that add tables, indexes or views to ledgers add the statement
  // that makes each one here.
  // The undo journal, made by the first change.
  objects.addStatements(kUndoJournalSchema);
  // The figures kept for Profit/Loss and the history, made by the first
  // figures read from a writable ledger.
  objects.addStatements(kKeptTotalsSchema);
  // Splits and dividends, made by the first event saved, and the journal
  // of their changes, made by the first step that changes one.
  objects.addStatements(kEventTablesSchema);
  objects.addStatements(kUndoEventJournalSchema);
  // Closing prices, made by the first price saved, and the journal of
  // their changes, made with them.
  objects.addStatements(kPriceTableSchema);
  objects.addStatements(kUndoPriceJournalSchema);
  // A ledger written by a newer program opens for reading only.
  objects.setNewestFormat(kLedgerFormat);
  return objects;
}

}  // namespace

const KnownObjects& programLedgerObjects() {
  static const KnownObjects objects = makeProgramObjects();
  return objects;
}

const KnownObjects& templateLedgerObjects() {
  static const KnownObjects objects = makeTemplateObjects();
  return objects;
}

std::string describeForeignObjects(const std::vector<ForeignObject>& objects) {
  constexpr size_t kLinesShown = 8;
  std::string text;
  for (size_t i = 0; i < objects.size() && i < kLinesShown; ++i) {
    if (i > 0) text += kNewLine;
    text += "    " + objects[i].describe();
  }
  if (objects.size() > kLinesShown)
    text += std::string(kNewLine) + "    and " + std::to_string(objects.size() - kLinesShown) + " more";
  return text;
}

}  // namespace ledger
