#pragma once
// What the gains view reads: the gains report of the open ledger by a
// method, following its splits, the holdings with their dividend income;
// and the method remembered for each ledger. The report comes as
// figures/gains.h defines it, for the view to render.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "figures/gains.h"

namespace ledger {

struct GainsRead {
  // Null when the ledger could not be opened or read.
  std::shared_ptr<const GainsReport> report;
  // What the report could not work out, one line each.
  std::vector<std::string> notes;
  // The message for the user when report is null.
  std::optional<std::string> failure;
};

// Works out the gains of the session's ledger by method, on the session's
// connection. A ledger that cannot be opened or read is given as the
// message for the user.
GainsRead readGains(LedgerSession& session, CostMethod method);

// The method remembered for the ledger at path, and remembering one.
std::optional<CostMethod> rememberedGainsMethod(ProgramSettings& settings, const std::string& path);
void rememberGainsMethod(ProgramSettings& settings, const std::string& path, CostMethod method);

}  // namespace ledger
