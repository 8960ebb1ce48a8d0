#include "engine/engine_settings.h"

#include <atomic>

namespace ledger {

namespace {

// Read by every statement, possibly on several threads; milliseconds.
std::atomic<std::chrono::milliseconds::rep> g_statementTimeLimit{EngineSettings{}.statementTimeLimit.count()};
std::atomic<std::chrono::milliseconds::rep> g_lockWait{EngineSettings{}.lockWait.count()};

}  // namespace

EngineSettings engineSettings() {
  return {std::chrono::milliseconds(g_statementTimeLimit.load()), std::chrono::milliseconds(g_lockWait.load())};
}

void setEngineSettings(const EngineSettings& settings) {
  g_statementTimeLimit.store(settings.statementTimeLimit.count());
  g_lockWait.store(settings.lockWait.count());
}

}  // namespace ledger
