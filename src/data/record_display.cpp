#include "record_display.h"

#include "db_error.h"

namespace ledger {

void ShowRecord(LedgerSession& session, FormPort& form, std::optional<std::int64_t> position) {
  Recordset* rs = session.CurrentRecordset.get();
  if (!rs) return;
  const int tab = form.currentTab();
  if (tab == kGeneralTab) {
    passOver([&] {
      const Value& side = rs->value(3);
      const auto* code = std::get_if<std::string>(&side);
      form.selectBuy(code && *code == "B");
    });
  }

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

  std::int64_t count = 0;
  passOver([&] { count = rs->recordCount(); });
  const bool onTrade = tab == kGeneralTab && rs->sourceName() == "Trade";
  for (int i = 0; i < rs->fieldCount(); ++i) {
    const std::string& column = rs->fieldName(i);
    if (count == 0) {
      form.setBoxText(column, tab, std::string());
      continue;
    }
    passOver([&] { form.setBoxText(column, tab, toDisplayText(rs->value(i))); });
  }
  if (onTrade) {
    if (count == 0) session.ShownTrade.reset();
    passOver([&] { session.ShownTrade = rs->bookmark(); });
  }
  form.setStatusText(count == 0 ? kStatusNoRecords : kStatusReady);
}

bool OpenAndShow(LedgerSession& session, FormPort& form, std::string_view name) {
  const bool opened = session.OpenLedgerTable(name);
  ShowRecord(session, form);
  return opened;
}

namespace {

// First and Last without rows have nothing to move to; the form already
// shows the emptied boxes and "No records available".
template <typename Move>
void moveThenShow(LedgerSession& session, FormPort& form, Move move) {
  if (Recordset* rs = session.CurrentRecordset.get()) {
    const int error = passOver([&] { move(*rs); });
    if (error != 0 && error != dberr::kNoCurrentRow) throw DbError(error, "The ledger could not be read.");
  }
  ShowRecord(session, form);
}

}  // namespace

void MoveToFirst(LedgerSession& session, FormPort& form) {
  moveThenShow(session, form, [](Recordset& rs) { rs.moveFirst(); });
}

void MoveToLast(LedgerSession& session, FormPort& form) {
  moveThenShow(session, form, [](Recordset& rs) { rs.moveLast(); });
}

void MoveToPrevious(LedgerSession& session, FormPort& form) {
  Recordset* rs = session.CurrentRecordset.get();
  if (!rs) return;
  if (rs->bof()) {
    ShowRecord(session, form);
    session.prompter().show(kFirstRecordInView, MsgIcon::Information);
    return;
  }
  rs->movePrevious();
  ShowRecord(session, form);
}

void MoveToNext(LedgerSession& session, FormPort& form) {
  Recordset* rs = session.CurrentRecordset.get();
  if (!rs) return;
  if (rs->eof()) {
    ShowRecord(session, form);
    session.prompter().show(kLastRecordInView, MsgIcon::Information);
    return;
  }
  rs->moveNext();
  ShowRecord(session, form);
}

}  // namespace ledger
