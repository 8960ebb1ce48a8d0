#include "app/returns_data.h"

#include <QDate>

#include "engine/db_error.h"
#include "engine/transaction.h"
#include "ledger/ledger_history.h"
#include "ledger/ledger_session.h"

namespace ledger {

std::string todayIsoDate() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

std::string periodOrderMessage(const std::string& from, const std::string& to) {
  return "The period starts (" + from + ") after it ends (" + to + ").";
}

namespace {

// Runs read on the session's connection in one read of the file; what
// cannot be opened or read becomes the message for the user.
template <typename Result, typename Read>
Result readLedger(LedgerSession& session, Read read) {
  const std::string& path = session.LedgerPath;
  std::optional<Database> ledger;
  Result result;
  try {
    ledger = session.ledgerConnection();
  } catch (const DbError& e) {
    result.failure = openFailureText(path, "Trade", e.what());
    return result;
  }
  try {
    const ReadSnapshot snapshot(*ledger);
    read(*ledger, result);
  } catch (const std::exception& e) {
    result = Result();
    result.failure = readFailureMessage(path, e.what());
  }
  return result;
}

}  // namespace

MarketValueRead marketValueOf(Database& db, const GainsRules& rules, const std::string& asOf, const WorkProgress& progress) {
  MarketValueRead result;
  auto report = std::make_shared<const MarketValueReport>(ledger::readMarketValue(db, rules, asOf, progress));
  result.notes = marketValueNotes(*report);
  result.report = std::move(report);
  return result;
}

ReturnsRead returnsOf(Database& db, const ReturnsPeriod& period) {
  ReturnsRead result;
  const LedgerHistory history = readLedgerHistory(db);
  const std::string today = todayIsoDate();
  const CalendarDay to = calendarDayOf(period.to.value_or(today));
  const CalendarDay from =
      period.from ? calendarDayOf(*period.from) : history.firstTradeDay.value_or(calendarDayOf(today));
  if (from > to) {
    result.failure = periodOrderMessage(isoDateOf(from), isoDateOf(to));
    return result;
  }
  auto report = std::make_shared<const ReturnsReport>(workOutReturns(history, from, to));
  result.notes = returnsNotes(*report);
  result.report = std::move(report);
  return result;
}

ValueSeriesRead valueSeriesOf(Database& db) {
  ValueSeriesRead result;
  const LedgerHistory history = readLedgerHistory(db);
  result.series = std::make_shared<const std::vector<ValueSeries>>(valueSeries(history));
  return result;
}

MarketValueRead readMarketValue(LedgerSession& session, const GainsRules& rules, const std::optional<std::string>& asOf) {
  const std::string date = asOf.value_or(todayIsoDate());
  return readLedger<MarketValueRead>(
      session, [&](Database& db, MarketValueRead& result) { result = marketValueOf(db, rules, date); });
}

ReturnsRead readReturns(LedgerSession& session, const ReturnsPeriod& period) {
  return readLedger<ReturnsRead>(session, [&](Database& db, ReturnsRead& result) { result = returnsOf(db, period); });
}

ValueSeriesRead readValueSeries(LedgerSession& session) {
  return readLedger<ValueSeriesRead>(session, [&](Database& db, ValueSeriesRead& result) { result = valueSeriesOf(db); });
}

}  // namespace ledger
