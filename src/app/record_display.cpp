#include "app/record_display.h"

#include <vector>

#include "engine/db_error.h"
#include "engine/transaction.h"
#include "figures/exact_figures.h"
#include "ledger/ledger_writes.h"
#include "ledger/ledger_objects.h"

namespace ledger {

namespace {

// Puts the cursor back on a row (position: the nth row) as ShowRecord does.
void placeCursor(Recordset* rs, std::optional<std::int64_t> position) {
  if (!position) {
    // Brings a cursor that ran past the last row back onto it; one before
    // the first row stays there.
    passOver([&] { rs->moveNext(); });
    passOver([&] { rs->movePrevious(); });
  } else {
    passOver([&] {
      rs->moveFirst();
      if (*position > 0 && !rs->moveToPosition(*position)) {
        rs->moveLast();
        rs->moveNext();  // past the last row, as n moves would leave it
      }
    });
  }
}

// The boxes of the form's tab from the row the cursor stands on.
void showCurrentRow(LedgerSession& session, FormPort& form) {
  Recordset* rs = session.CurrentRecordset.get();
  const int tab = form.currentTab();
  std::int64_t count = 0;
  passOver([&] { count = rs->recordCount(); });
  const bool onTrade = tab == kGeneralTab && rs->sourceName() == "Trade";
  // The Bought and Sold tabs' totals are shown exactly (see exact_figures.h).
  std::vector<std::string> names;
  for (int i = 0; i < rs->fieldCount(); ++i) names.push_back(rs->fieldName(i));
  const ComputedColumns computed(names);
  std::vector<Value> row;
  if (computed.any() && count != 0)
    passOver([&] {
      for (int i = 0; i < rs->fieldCount(); ++i) row.push_back(rs->value(i));
    });
  for (int i = 0; i < rs->fieldCount(); ++i) {
    const std::string& column = names[static_cast<size_t>(i)];
    if (count == 0) {
      form.setBoxText(column, tab, std::string());
      continue;
    }
    passOver([&] {
      const auto exact = computed.text(row, i);
      form.setBoxText(column, tab, exact ? *exact : toDisplayText(rs->value(i)));
    });
  }
  if (onTrade) {
    session.ShownTrade.reset();
    session.ShownTradeValues.reset();
    passOver([&] {
      Value columns[kTradeColumnCount];
      for (int i = 0; i < kTradeColumnCount; ++i) columns[i] = rs->value(i);
      const Trade shown = tradeFromColumns(columns);
      // The option buttons show the side of the trade in the boxes.
      form.selectBuy(shown.side == TradeSide::Buy);
      session.ShownTrade = rs->bookmark();
      session.ShownTradeValues = shown;
    });
  }
  form.setStatusText(count == 0 ? kStatusNoRecords : kStatusReady);
}

}  // namespace

void ShowRecord(LedgerSession& session, FormPort& form, std::optional<std::int64_t> position) {
  Recordset* rs = session.CurrentRecordset.get();
  if (!rs) return;
  const SessionRead read(session);  // the moves, the count and the row
  placeCursor(rs, position);
  showCurrentRow(session, form);
}

void clearShownRows(FormPort& form) {
  const struct {
    const char* source;
    int tab;
  } tabs[] = {{"Trade", kGeneralTab}, {"Bought", kBoughtTab}, {"Sold", kSoldTab}};
  for (const auto& t : tabs) {
    if (const SchemaObject* source = programLedgerObjects().find(t.source))
      for (const std::string& column : source->columns) form.setBoxText(column, t.tab, std::string());
  }
  form.setStatusText(kStatusNoRecords);
}

bool ledgerFileUnchanged(LedgerSession& session, FormPort& form) {
  if (session.checkLedgerFile() == LedgerFileState::Unchanged) return true;
  clearShownRows(form);
  return false;
}

bool OpenAndShow(LedgerSession& session, FormPort& form, std::string_view name) {
  // The file check, the open and the row shown in one read of the file.
  const SessionRead read(session);
  const bool opened = session.OpenLedgerTable(name);
  // The file check inside the open drops the rows of a file that changed.
  if (!session.CurrentRecordset) {
    clearShownRows(form);
    return false;
  }
  // A recordset just opened stands on its first row, read a moment ago;
  // one the open left from before is put back on a row first.
  if (opened) {
    showCurrentRow(session, form);
  } else {
    ShowRecord(session, form);
  }
  return opened;
}

std::int64_t OpenGeneralTab(LedgerSession& session, FormPort& form) {
  const SessionRead read(session);
  if (!OpenAndShow(session, form, "Trade")) return 0;
  Recordset& rs = *session.CurrentRecordset;
  std::int64_t count = 0;
  passOver([&] { rs.moveNext(); });
  passOver([&] { rs.moveFirst(); });
  passOver([&] { count = rs.recordCount(); });
  return count;
}

namespace {

// First and Last without rows have nothing to move to; the form already
// shows the emptied boxes and "No records available".
void moveThenShow(LedgerSession& session, FormPort& form, void (Recordset::*move)()) {
  if (!ledgerFileUnchanged(session, form)) return;
  if (Recordset* rs = session.CurrentRecordset.get()) {
    try {
      (rs->*move)();
    } catch (const DbError& e) {
      if (e.number() != dberr::kNoCurrentRow) throw;
    }
  }
  ShowRecord(session, form);
}

// Previous and Next: one step, or, when the cursor already stands past that
// end, the row shown again and a word that there is no further row.
void stepOrSayEnd(LedgerSession& session, FormPort& form, bool (Recordset::*pastEnd)() const,
                  void (Recordset::*step)(), const char* message) {
  if (!ledgerFileUnchanged(session, form)) return;
  Recordset* rs = session.CurrentRecordset.get();
  if (!rs) return;
  if ((rs->*pastEnd)()) {
    ShowRecord(session, form);
    session.notifier().notify(message, MsgIcon::Information);
    return;
  }
  (rs->*step)();
  ShowRecord(session, form);
}

}  // namespace

void MoveToFirst(LedgerSession& session, FormPort& form) { moveThenShow(session, form, &Recordset::moveFirst); }

void MoveToLast(LedgerSession& session, FormPort& form) { moveThenShow(session, form, &Recordset::moveLast); }

void MoveToPrevious(LedgerSession& session, FormPort& form) {
  stepOrSayEnd(session, form, &Recordset::bof, &Recordset::movePrevious, kFirstRecordInView);
}

void MoveToNext(LedgerSession& session, FormPort& form) {
  stepOrSayEnd(session, form, &Recordset::eof, &Recordset::moveNext, kLastRecordInView);
}

}  // namespace ledger
