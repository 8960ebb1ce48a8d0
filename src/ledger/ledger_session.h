#pragma once
// The shared state of the record engine: the ledger that is open, its one
// current recordset and the few values the windows pass to each other.
// One LedgerSession exists for the program; windows and record operations
// receive it, nothing reaches it through a global.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/database.h"
#include "ledger/notifier.h"
#include "engine/recordset.h"
#include "engine/transaction.h"
#include "figures/trade.h"

namespace ledger {

// What LedgerSession::checkLedgerFile found.
enum class LedgerFileState {
  // The file opened is still there and readable. Changes that another copy
  // of the program (or another SQLite client) wrote into it are not a
  // change of the file.
  Unchanged,
  // Another ledger file now stands at the path: the session reads it from
  // now on; nothing of the old file is open any more.
  Replaced,
  // The file was deleted or moved, made unreadable, cut short or
  // overwritten, or replaced by something that is not a ledger: the ledger
  // is closed (LedgerPath is empty).
  Closed,
};

class SessionRead;

class LedgerSession {
 public:
  explicit LedgerSession(Notifier& notifier) : m_notifier(notifier) {}

  // Where what the session finds (a failed open, a changed file) is told.
  Notifier& notifier() { return m_notifier; }

  // Opens the ledger file at path (LedgerPath when omitted) and over it the
  // rows of the table or stored query name ("Trade", "[Total Buy]"). Both
  // replace LedgerDatabase and CurrentRecordset. On failure the user is
  // told which file and which recordset failed, false is returned, and what
  // was assigned before the failure stays: a recordset that cannot be
  // opened leaves the new database with the previous recordset.
  //
  // With path omitted the open ledger's file is checked first
  // (checkLedgerFile); when it changed, nothing is opened and false is
  // returned, the user having been told already. A ledger holding objects
  // the program does not make opens for reading only, and the user is told
  // which once for that file.
  //
  // While the file is the one the session opened last, unchanged, its
  // connection (LedgerDatabase) is used again and only the recordset is
  // opened.
  bool OpenLedgerTable(std::string_view name, const std::optional<std::string>& path = std::nullopt);

  // The connection a command reads and writes the ledger at LedgerPath
  // through: LedgerDatabase while it is still what opening the file would
  // give, otherwise a new one. The new one becomes LedgerDatabase when the
  // file is still the one the session watches, or when none is watched yet
  // (what it holds that the
  // program does not make is then told once, as OpenLedgerTable tells it);
  // another file at the path is left for checkLedgerFile to tell of.
  // Throws DbError like Database::open.
  Database ledgerConnection();

  // The check every command makes before it reads or writes the open
  // ledger. The file opened last (by its device and inode) must still stand
  // at LedgerPath and be readable as a ledger. When it was replaced,
  // deleted, made unreadable or cut short, the user is told once, what was
  // read from the old file (LedgerDatabase, CurrentRecordset, the shown
  // trade) is dropped so that nothing of it passes for current, and the
  // listener hears of it. A command that gets anything but Unchanged stops.
  // Unchanged when no ledger is open; Closed, without a word, while a
  // ledger that a change closed stays closed.
  LedgerFileState checkLedgerFile();

  // Called after checkLedgerFile found a change and told the user, so that
  // the windows can show the new file or close the ledger. One listener;
  // an empty function removes it.
  void setLedgerFileListener(std::function<void(LedgerFileState)> listener) {
    m_fileListener = std::move(listener);
  }

  // Full path of the ledger; empty while none is chosen.
  std::string LedgerPath;
  // The ledger opened last, and the one recordset of the whole program.
  std::optional<Database> LedgerDatabase;
  std::unique_ptr<Recordset> CurrentRecordset;
  // The Trade row whose values the General tab shows (its bookmark), so
  // that an edit or a delete acts on the trade the user saw even when the
  // cursor has moved since.
  std::optional<std::int64_t> ShownTrade;
  // The values of that row as they were shown, so that a change to it can
  // tell whether someone else changed the row since.
  std::optional<Trade> ShownTradeValues;

 private:
  friend class SessionRead;

  // The file the session opened last, as it stood on the disk then.
  struct WatchedFile {
    std::string path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // Shares the connection of the last open, to read the file's header
    // under SQLite's own locks.
    std::optional<Database> db;
    // The file's schema as db read it, to find changes another program made.
    std::optional<std::int64_t> schemaVersion;
    bool toldForeign = false;
    // Whether db was told to keep its pages cached (keepReading).
    bool pagesKept = false;
  };

  // Records db, just opened from path, as the file to watch.
  void watch(const std::string& path, const Database& db);
  // Tells the user once per file what db holds that the program does not
  // make.
  void tellForeignOnce(const Database& db);
  // Tells the user, after ending the command's read (SessionRead): no lock
  // on the file is held while a message waits for an answer.
  void tell(const std::string& text, MsgIcon icon);
  // Whether LedgerDatabase is the watched connection to file and opening
  // file again would give the same: the same file, as readable and
  // writable as then, its schema unchanged.
  bool connectionCurrent(const std::string& file);
  // Whether file is the file the session watches (not another one since
  // moved to its path).
  bool watching(const std::string& file) const;
  void keepReading(Database& db);
  LedgerFileState ledgerFileChanged(LedgerFileState state, const std::string& message);

  // What a read of the watched connection found.
  struct ConnectionSeen {
    std::optional<std::int64_t> schemaVersion;
    bool readOnly = false;
  };

  Notifier& m_notifier;
  std::optional<WatchedFile> m_watch;
  // Left by the last file check for the next connectionCurrent, so that a
  // command reads the file's header once; taken by that call.
  std::optional<ConnectionSeen> m_checked;
  // Set when a change closed the ledger, until a ledger is opened again.
  bool m_closedByChange = false;
  std::function<void(LedgerFileState)> m_fileListener;
  // The innermost read a command holds open, if any.
  SessionRead* m_read = nullptr;
};

// One read transaction over the session's connection for a command's
// reads: its file check and what it reads next see one moment of the file
// and take the file's lock once, not once a statement. Ended early when
// the session has something to tell the user. Nothing when no ledger is
// open. The command must not write inside it (a write begins its own
// transaction).
class SessionRead {
 public:
  explicit SessionRead(LedgerSession& session);
  ~SessionRead();
  SessionRead(const SessionRead&) = delete;
  SessionRead& operator=(const SessionRead&) = delete;

 private:
  friend class LedgerSession;
  LedgerSession& m_session;
  SessionRead* m_outer;
  std::optional<ReadSnapshot> m_snapshot;
};

// The message OpenLedgerTable shows for a failure.
std::string openFailureMessage(std::string_view path, std::string_view name);
// The same, followed by what the engine found (reason), so that a foreign or
// damaged file is told apart from a missing one: the whole text
// OpenLedgerTable shows.
std::string openFailureText(std::string_view path, std::string_view name, std::string_view reason);
// The message for a ledger that opened but could not be read for a view or
// a report.
std::string readFailureMessage(std::string_view path, std::string_view reason);

// The message shown once when a ledger holds objects the program does not
// make; empty when it holds none.
std::string foreignObjectsMessage(const Database& db);

}  // namespace ledger
