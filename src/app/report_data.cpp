#include "app/report_data.h"

#include "engine/db_error.h"
#include "engine/recordset.h"
#include "ledger/ledger_session.h"

namespace ledger {

void reportReadFailure(Prompter& prompter, const std::string& path, const std::string& reason) {
  prompter.show(readFailureMessage(path, reason), MsgIcon::Critical);
}

void reportReadFailure(Prompter& prompter, const std::string& path, const DbError& error) {
  reportReadFailure(prompter, path, std::string(error.what()));
}

bool viewMayReadLedger(LedgerSession& session) { return session.checkLedgerFile() == LedgerFileState::Unchanged; }

Database openDatasheetTab(LedgerSession& session, int tab) {
  // In the order of kDatasheetTabs.
  static constexpr void (*kEnsure[])(Database&) = {EnsureTradeSorted, EnsureBoughtSorted, EnsureSoldSorted};
  static_assert(std::size(kEnsure) == std::size(kDatasheetTabs));
  Database ledger = session.ledgerConnection();
  kEnsure[tab](ledger);
  return ledger;
}

std::optional<HistoryRead> readHistory(AppContext& app, const std::string& symbol) {
  LedgerSession& session = app.session();
  if (!viewMayReadLedger(session)) return std::nullopt;
  try {
    Database ledger = session.ledgerConnection();
    BuildHistoryQueries(ledger, symbol);
    HistoryFigures figures = readHistoryFigures(ledger, symbol);
    std::optional<std::array<std::int64_t, 2>> listCounts = historyListCounts(ledger, symbol);
    return HistoryRead{std::move(ledger), std::move(figures), listCounts};
  } catch (const DbError& e) {
    reportReadFailure(app.prompter(), session.LedgerPath, e);
    return std::nullopt;
  }
}

ProfitLossFigures readProfitLoss(AppContext& app) {
  try {
    return readProfitLossFigures(app.session());
  } catch (const std::exception& e) {
    reportReadFailure(app.prompter(), app.session().LedgerPath, e.what());
    return {};
  }
}

std::optional<ChartTable> readChart(AppContext& app) {
  LedgerSession& session = app.session();
  if (!session.OpenLedgerTable("Trade")) return std::nullopt;  // the session has told the user why
  Recordset& trades = *session.CurrentRecordset;
  std::optional<ChartTable> table;
  try {
    trades.moveLast();  // kNoCurrentRow without trades
    trades.moveFirst();
    table = readChartTable(*session.LedgerDatabase, trades);
  } catch (const DbError& e) {
    if (e.number() == dberr::kNoCurrentRow) {
      app.prompter().show(kNoRecordsMessage, MsgIcon::None);
    } else {
      reportReadFailure(app.prompter(), session.LedgerPath, e);
    }
  }
  passOver([&] { trades.moveFirst(); });
  return table;
}

}  // namespace ledger
