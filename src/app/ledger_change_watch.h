#pragma once
// Tells when the ledger file at a path has been changed by anyone: this
// program's own saves, another copy of it, another program. SQLite adds
// one to the file's change counter (bytes 24 to 27 of its header) at every
// commit of a ledger in rollback journal mode, the program's own mode. The
// counter is read from the file itself, without SQLite and without a lock,
// so that a look costs one small read and never waits for a writer; a read
// caught in the middle of a commit at worst tells a change too many.
//
// A ledger in WAL mode keeps no such counter: changes to it are not told
// (the work still reads such a ledger at one moment, app/own_connection.h).

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace ledger {

class LedgerChangeWatch : public QObject {
  Q_OBJECT
 public:
  explicit LedgerChangeWatch(QObject* parent = nullptr);

  // Watches the file at path, looking every interval; what it holds now is
  // taken as seen.
  void watch(std::string path, std::chrono::milliseconds interval = std::chrono::milliseconds(500));
  // Takes what the file holds now as seen: the figures about to be worked
  // out are of this state or a later one.
  void markSeen();
  // Whether the file changed since it was last seen.
  bool changedSinceSeen() const;

 signals:
  // The file changed since it was last seen; told once until markSeen().
  void changed();

 private:
  // The counter as the file holds it now; none when it cannot be read.
  std::optional<std::uint32_t> counterNow() const;
  void look();

  std::string m_path;
  std::optional<std::uint32_t> m_seen;
  bool m_told = false;
  QTimer m_timer;
};

}  // namespace ledger
