#pragma once
// The ledgers opened last, newest first, kept in the program's settings so
// that the File menu can offer them at the next start.

#include <QString>
#include <QStringList>

class QSettings;

namespace ledger {

class RecentLedgers {
 public:
  // How many ledgers the list keeps.
  static constexpr int kMaxCount = 5;

  // settings must outlive this object; the list is read from it and every
  // change is written back at once.
  explicit RecentLedgers(QSettings& settings);

  // Newest first, at most kMaxCount, no path twice.
  QStringList paths() const;
  // Puts path at the top; an entry for the same file moves there instead
  // of being repeated, and the oldest drops off beyond kMaxCount.
  void add(const QString& path);
  // Takes path off the list; nothing happens when it is not there.
  void remove(const QString& path);

 private:
  void write(const QStringList& paths);

  QSettings& m_settings;
};

}  // namespace ledger
