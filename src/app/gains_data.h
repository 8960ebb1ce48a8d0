#pragma once
// What the gains view reads: the gains report of the open ledger by a
// method, following its splits, the holdings with their dividend income,
// the income of every dividend; and the method remembered for each ledger.
// The reports come as figures/gains.h and figures/income.h define them,
// for the view to render.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "figures/gains.h"
#include "figures/income.h"
#include "figures/work_progress.h"

namespace ledger {

class WorkConnection;  // app/own_connection.h

struct GainsRead {
  // Null when the ledger could not be opened or read.
  std::shared_ptr<const GainsReport> report;
  // The dividends and their sums; null exactly when report is.
  std::shared_ptr<const IncomeReport> income;
  // What the report could not work out, one line each.
  std::vector<std::string> notes;
  // The message for the user when report is null.
  std::optional<std::string> failure;
};

// Works out the gains of the session's ledger by the rules, on the
// session's connection. A ledger that cannot be opened or read is given as
// the message for the user.
GainsRead readGains(LedgerSession& session, const GainsRules& rules);

// What the Gains window asks to be worked out, away from its thread.
struct GainsRequest {
  std::string path;
  GainsRules rules;
};

// The same figures as readGains, for a thread of its own: the ledger at
// request.path is read on the window's work connection, without
// holding the file's lock while the figures are worked out, and read again
// when another connection changed the file meanwhile, so that the figures
// are those of one moment of the file. progress is told as the work goes
// and may stop it (WorkStopped passes through).
GainsRead workOutGains(WorkConnection& connection, const GainsRequest& request, const WorkProgress& progress);

// A line of the income by year: a company's sums in a year, or the year's
// total, whose symbol is empty. Points into the report it was made from.
struct IncomeLine {
  int year = 0;
  std::string symbol;
  const IncomeSums* sums = nullptr;
  bool isTotal() const { return symbol.empty(); }
};

// Each year's companies, then its total, as `report income` prints them.
std::vector<IncomeLine> incomeLines(const IncomeReport& income);

// The method remembered for the ledger at path, and remembering one.
std::optional<CostMethod> rememberedGainsMethod(ProgramSettings& settings, const std::string& path);
void rememberGainsMethod(ProgramSettings& settings, const std::string& path, CostMethod method);

}  // namespace ledger
