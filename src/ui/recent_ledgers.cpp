#include "recent_ledgers.h"

#include <QFileInfo>
#include <QSettings>

namespace ledger {

namespace {

constexpr const char* kKey = "RecentLedgers/paths";

// Two spellings of one file (a "/./" or a symlinked folder) are one entry.
QString identity(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

}  // namespace

RecentLedgers::RecentLedgers(QSettings& settings) : m_settings(settings) {}

QStringList RecentLedgers::paths() const {
  QStringList stored = m_settings.value(QLatin1String(kKey)).toStringList();
  stored.removeAll(QString());
  stored.removeDuplicates();
  // A list edited by hand may be longer than the menu has room for.
  while (stored.size() > kMaxCount) stored.removeLast();
  return stored;
}

void RecentLedgers::add(const QString& path) {
  if (path.isEmpty()) return;
  QStringList list = paths();
  const QString id = identity(path);
  list.removeIf([&](const QString& p) { return identity(p) == id; });
  list.prepend(QFileInfo(path).absoluteFilePath());
  while (list.size() > kMaxCount) list.removeLast();
  write(list);
}

void RecentLedgers::remove(const QString& path) {
  QStringList list = paths();
  list.removeAll(path);
  write(list);
}

void RecentLedgers::write(const QStringList& paths) {
  m_settings.setValue(QLatin1String(kKey), paths);
  m_settings.sync();
}

}  // namespace ledger
