#include "program_starter.h"

#include <QFileInfo>
#include <QProcess>

namespace ledger {

namespace {

class SystemProgramStarter final : public ProgramStarter {
 public:
  bool fileExists(const QString& path) override { return QFileInfo(path).isFile(); }
  bool start(const QString& path) override { return QProcess::startDetached(path, {}); }
};

}  // namespace

std::unique_ptr<ProgramStarter> makeSystemProgramStarter() { return std::make_unique<SystemProgramStarter>(); }

}  // namespace ledger
