#include "app/gains_data.h"

#include "app/own_connection.h"

#include <QSettings>
#include <QUrl>

#include "engine/db_error.h"
#include "engine/transaction.h"
#include "ledger/event_reads.h"
#include "ledger/gains_report.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"

namespace ledger {

namespace {

// One key per ledger, its path made safe to be a key (a '/' would open a
// group).
QString methodKey(const std::string& path) {
  return QStringLiteral("GainsMethod/") + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(path)));
}

// The gains and the income of what db holds; throws as the reads do.
GainsRead gainsOf(Database& db, const LedgerEvents& events, const GainsRules& rules, const WorkProgress& progress = {}) {
  auto report = std::make_shared<const GainsReport>(readGainsReport(db, events, rules, {}, progress));
  auto income = std::make_shared<const IncomeReport>(workOutIncome(events.dividends));
  std::vector<std::string> notes = gainsNotes(*report);
  return {std::move(report), std::move(income), std::move(notes), std::nullopt};
}

}  // namespace

GainsRead readGains(LedgerSession& session, const GainsRules& rules) {
  const std::string& path = session.LedgerPath;
  std::optional<Database> ledger;
  try {
    ledger = session.ledgerConnection();
  } catch (const DbError& e) {
    return {nullptr, nullptr, {}, openFailureText(path, "Trade", e.what())};
  }
  try {
    // The gains and the income from one read of the file, the events read once.
    const ReadSnapshot snapshot(*ledger);
    return gainsOf(*ledger, readLedgerEvents(*ledger), rules);
  } catch (const std::exception& e) {
    return {nullptr, nullptr, {}, readFailureMessage(path, e.what())};
  }
}

GainsRead workOutGains(WorkConnection& connection, const GainsRequest& request, const WorkProgress& progress) {
  // No read transaction around the whole: it would keep the window's own
  // saves from committing while the figures are worked out. The events and
  // the trades are read by one statement each instead, and read again when
  // another connection committed between or during them.
  return readOnOwnConnection<GainsRead>(connection, request.path, [&](Database& db, GainsRead& result) {
    result = gainsOf(db, readLedgerEvents(db), request.rules, progress);
  });
}

std::vector<IncomeLine> incomeLines(const IncomeReport& income) {
  std::vector<IncomeLine> lines;
  for (const YearIncome& year : income.years) {
    for (const auto& [symbol, sums] : year.companies) lines.push_back({year.year, symbol, &sums});
    lines.push_back({year.year, std::string(), &year.total});
  }
  return lines;
}

std::optional<CostMethod> rememberedGainsMethod(ProgramSettings& settings, const std::string& path) {
  const QString name = settings.file().value(methodKey(path)).toString();
  return costMethodFromName(name.toStdString());
}

void rememberGainsMethod(ProgramSettings& settings, const std::string& path, CostMethod method) {
  const std::string_view name = costMethodName(method);
  settings.file().setValue(methodKey(path), QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

}  // namespace ledger
