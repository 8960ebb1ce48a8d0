#include "program_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ledger {

QString programFolderFor(const QString& executableDir) {
  const auto holdsMaster = [](const QString& dir) {
    return QFileInfo(dir + QLatin1Char('/') + QLatin1String(kMasterFileName)).isFile();
  };
  if (holdsMaster(executableDir)) return executableDir;
  // Installed: the program in <prefix>/bin, its files in
  // <prefix>/share/shareledger.
  const QString shared = QDir::cleanPath(executableDir + QStringLiteral("/../share/shareledger"));
  if (holdsMaster(shared)) return shared;
  return executableDir;
}

QString programDirectory() { return programFolderFor(QCoreApplication::applicationDirPath()); }

int versionMajor() { return LEDGER_VERSION_MAJOR; }
int versionMinor() { return LEDGER_VERSION_MINOR; }
int versionRevision() { return LEDGER_VERSION_PATCH; }

QString versionText() {
  return QStringLiteral("Version %1.%2.%3").arg(versionMajor()).arg(versionMinor()).arg(versionRevision());
}

}  // namespace ledger
