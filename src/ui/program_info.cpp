#include "program_info.h"

#include <QCoreApplication>

namespace ledger {

QString programDirectory() { return QCoreApplication::applicationDirPath(); }

int versionMajor() { return LEDGER_VERSION_MAJOR; }
int versionMinor() { return LEDGER_VERSION_MINOR; }
int versionRevision() { return LEDGER_VERSION_PATCH; }

QString versionText() {
  return QStringLiteral("Version %1.%2.%3").arg(versionMajor()).arg(versionMinor()).arg(versionRevision());
}

}  // namespace ledger
