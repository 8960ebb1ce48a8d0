#pragma once
// Starting another program, and the file test that comes before it.

#include <QString>

#include <memory>

namespace ledger {

class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual bool fileExists(const QString& path) = 0;
  // Starts the program at path in its own normal window and returns
  // without waiting for it. False when it could not be started.
  virtual bool start(const QString& path) = 0;
};

// Starts programs of this system.
std::unique_ptr<ProgramStarter> makeSystemProgramStarter();

}  // namespace ledger
