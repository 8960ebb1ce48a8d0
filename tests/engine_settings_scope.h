#pragma once
// Lowers the engine's waits (engine_settings.h) for one test and puts the
// ones before back when the test ends, also when it fails.

#include "engine/engine_settings.h"

namespace ledger::test {

class ScopedEngineSettings {
 public:
  explicit ScopedEngineSettings(const EngineSettings& settings) : m_before(engineSettings()) {
    setEngineSettings(settings);
  }
  ~ScopedEngineSettings() { setEngineSettings(m_before); }
  ScopedEngineSettings(const ScopedEngineSettings&) = delete;
  ScopedEngineSettings& operator=(const ScopedEngineSettings&) = delete;

 private:
  EngineSettings m_before;
};

}  // namespace ledger::test
