// The session's watch over the ledger file it has open: the same file must
// still stand at the ledger's path, readable, when the next command runs.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/db_error.h"
#include "engine/transaction.h"
#include "ledger/ledger_format.h"
#include "ledger/ledger_objects.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

std::string closedNote() {
  return std::string(kNewLine) + kNewLine +
         "The ledger has been closed; nothing read from it before is shown any more. Open it again, or "
         "another ledger, to go on.";
}

std::string deletedMessage(const std::string& path) {
  return "The ledger file has been deleted or moved since it was opened:" + std::string(kNewLine) + path +
         closedNote();
}

std::string unreadableMessage(const std::string& path, const std::string& why) {
  return "The ledger file can no longer be read:" + std::string(kNewLine) + path + kNewLine + kNewLine + why +
         closedNote();
}

std::string damagedMessage(const std::string& path, const std::string& why) {
  return "The ledger file has been cut short or overwritten since it was opened:" + std::string(kNewLine) +
         path + kNewLine + kNewLine + why + closedNote();
}

std::string replacedByOtherMessage(const std::string& path, const std::string& why) {
  return "The ledger file has been replaced since it was opened, by a file that cannot be opened as a "
         "ledger:" +
         std::string(kNewLine) + path + kNewLine + kNewLine + why + closedNote();
}

std::string replacedMessage(const std::string& path) {
  return "The ledger file has been replaced by another file since it was opened:" + std::string(kNewLine) +
         path + kNewLine + kNewLine +
         "What was shown came from the file that was there before. The ledger is now read from the new "
         "file; nothing was saved into either.";
}

}  // namespace

std::string foreignObjectsMessage(const Database& db) {
  const std::string readOnlyNote =
      "The ledger is open for reading only: its trades can be viewed, but nothing can be saved, changed or "
      "deleted in it.";
  if (const std::optional<std::int64_t> format = db.newerFormat())
    return "The ledger" + std::string(kNewLine) + db.path() + kNewLine + "was written by a newer version of "
           "this program (ledger format " + std::to_string(*format) + "; this version knows formats up to " +
           std::to_string(kLedgerFormat) + ")." + kNewLine + kNewLine + readOnlyNote;
  if (db.foreignObjects().empty()) return {};
  return "The ledger" + std::string(kNewLine) + db.path() + kNewLine +
         "holds objects that this program did not make:" + kNewLine + describeForeignObjects(db.foreignObjects()) +
         kNewLine + kNewLine + "They are never run. " + readOnlyNote;
}

namespace {

// Changes with every change of the file's tables, queries, indexes and
// triggers, whoever makes it.
std::optional<std::int64_t> schemaVersion(Database db) {
  try {
    const auto version = db.scalar("PRAGMA schema_version");
    if (const auto* number = version ? std::get_if<std::int64_t>(&*version) : nullptr) return *number;
  } catch (const DbError&) {
    // Unknown: the connection is not used again.
  }
  return std::nullopt;
}

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

std::optional<FileIdentity> identityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

void LedgerSession::watch(const std::string& path, const Database& db) {
  m_closedByChange = false;
  m_checked.reset();
  const std::optional<FileIdentity> file = identityOf(path);
  if (!file) return;  // gone already: the next check says so
  if (!watching(path)) m_watch = WatchedFile{path, file->device, file->inode, std::nullopt, std::nullopt, false, false};
  m_watch->db = db;
  m_watch->pagesKept = false;
  m_watch->schemaVersion = schemaVersion(db);
}

bool LedgerSession::watching(const std::string& path) const {
  const std::optional<FileIdentity> file = identityOf(path);
  return m_watch && file && m_watch->path == path && m_watch->device == file->device &&
         m_watch->inode == file->inode;
}

void LedgerSession::tellForeignOnce(const Database& db) {
  if (!m_watch || !m_watch->db || !m_watch->db->sharesConnectionWith(db)) return;
  if (!m_watch->toldForeign && db.keptFromWriting()) {
    m_watch->toldForeign = true;
    tell(foreignObjectsMessage(db), MsgIcon::Information);
  }
}

bool LedgerSession::connectionCurrent(const std::string& file) {
  // What the command's file check has just read; it found the watched file
  // at the path and could open it.
  std::optional<ConnectionSeen> checked = std::exchange(m_checked, std::nullopt);
  if (!LedgerDatabase || !m_watch || !m_watch->db || !m_watch->db->sharesConnectionWith(*LedgerDatabase))
    return false;
  if (file != m_watch->path) checked.reset();
  // A new connection would read only a file it cannot write, or one
  // holding objects of other programs; it could not open a file it cannot
  // read at all.
  if (!checked && (!watching(file) || ::access(file.c_str(), R_OK) != 0)) return false;
  const bool readOnly = ::access(file.c_str(), W_OK) != 0 || LedgerDatabase->keptFromWriting();
  ConnectionSeen seen;
  if (checked) {
    seen = *checked;
  } else {
    const ReadSnapshot snapshot(*LedgerDatabase);
    seen = ConnectionSeen{schemaVersion(*LedgerDatabase), LedgerDatabase->isReadOnly()};
  }
  // Another program may have added objects, or changed the ledger's tables.
  return readOnly == seen.readOnly && seen.schemaVersion && seen.schemaVersion == m_watch->schemaVersion;
}

LedgerFileState LedgerSession::ledgerFileChanged(LedgerFileState state, const std::string& message) {
  m_checked.reset();
  LedgerDatabase.reset();
  CurrentRecordset.reset();
  ShownTrade.reset();
  ShownTradeValues.reset();
  if (state == LedgerFileState::Closed) {
    m_watch.reset();
    LedgerPath.clear();
    m_closedByChange = true;
  }
  tell(message, state == LedgerFileState::Closed ? MsgIcon::Critical : MsgIcon::Information);
  if (m_fileListener) m_fileListener(state);
  return state;
}

LedgerFileState LedgerSession::checkLedgerFile() {
  // Said once, when it closed; the commands after it stop without a word.
  if (m_closedByChange && LedgerPath.empty()) return LedgerFileState::Closed;
  if (!m_watch || LedgerPath.empty() || m_watch->path != LedgerPath || !m_watch->db)
    return LedgerFileState::Unchanged;
  const std::string path = LedgerPath;

  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return ledgerFileChanged(LedgerFileState::Closed, deletedMessage(path));
    return ledgerFileChanged(LedgerFileState::Closed, unreadableMessage(path, std::strerror(error)));
  }

  if (static_cast<std::uint64_t>(st.st_dev) != m_watch->device ||
      static_cast<std::uint64_t>(st.st_ino) != m_watch->inode) {
    // Renamed over the old one, as a copy or a synchronising tool does.
    try {
      Database replacement = openLedger(path);
      m_watch.reset();
      // What the new file holds that the program does not make is told in
      // the same message.
      watch(path, replacement);
      std::string text = replacedMessage(path);
      if (m_watch && replacement.keptFromWriting()) {
        m_watch->toldForeign = true;
        text += std::string(kNewLine) + kNewLine + foreignObjectsMessage(replacement);
      }
      return ledgerFileChanged(LedgerFileState::Replaced, text);
    } catch (const DbError& e) {
      return ledgerFileChanged(LedgerFileState::Closed, replacedByOtherMessage(path, e.what()));
    }
  }

  // The connection keeps the file open, so it could still read a file
  // nobody may read any more; a fresh open finds out.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ledgerFileChanged(LedgerFileState::Closed, unreadableMessage(path, std::strerror(errno)));
  ::close(fd);

  // The same file, cut short or overwritten in place: SQLite finds that at
  // its next read, under its own locks, so another copy of the program
  // writing at this moment is never mistaken for damage.
  try {
    // One read for the check and for what connectionCurrent asks next.
    const ReadSnapshot snapshot(*m_watch->db);
    const auto tables = m_watch->db->scalar(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
        "(name = 'Trade' COLLATE NOCASE OR name = 'Companies' COLLATE NOCASE)");
    const auto* count = tables ? std::get_if<std::int64_t>(&*tables) : nullptr;
    if (!count || *count != 2)
      return ledgerFileChanged(LedgerFileState::Closed,
                               damagedMessage(path, "It no longer holds the ledger's tables."));
    m_checked = ConnectionSeen{schemaVersion(*m_watch->db), m_watch->db->isReadOnly()};
  } catch (const DbError& e) {
    switch (e.number()) {
      case dberr::kNotADatabase:
      case dberr::kNotALedger:
        return ledgerFileChanged(LedgerFileState::Closed, damagedMessage(path, e.what()));
      case dberr::kIo:
      case dberr::kCannotOpen:
        return ledgerFileChanged(LedgerFileState::Closed, unreadableMessage(path, e.what()));
      default:
        break;  // locked by another program, or slow: the file itself is still there
    }
  }
  return LedgerFileState::Unchanged;
}

}  // namespace ledger
