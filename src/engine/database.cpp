#include "engine/database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <chrono>
#include <thread>

#include "engine/db_error.h"
#include "engine/engine_settings.h"
#include "engine/row_source.h"
#include "engine/schema_objects.h"
#include "engine/sql_translate.h"
#include "engine/transaction.h"
#include "engine/sqlite_util.h"
#include "engine/statement.h"
#include "engine/statement_cache.h"
#include "engine/untrusted_file.h"

namespace ledger {

namespace {

// SQLite's own wait backs off to a try every 100 ms. Another copy of the
// program saving trade after trade holds the lock for nearly all of each
// save, so tries that far apart could all miss the short gaps between its
// saves and report a lock although the other copy never stopped for long.
// A try every millisecond lands in those gaps. The wait is measured by the
// clock, not by counting tries, since a busy machine sleeps longer than asked.
int waitForLock(void*, int triesSoFar) {
  thread_local std::chrono::steady_clock::time_point waitingSince;
  const auto now = std::chrono::steady_clock::now();
  if (triesSoFar == 0) waitingSince = now;
  if (now - waitingSince >= engineSettings().lockWait) return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 1;
}

detail::Connection connect(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  // A connection is used by one thread at a time, so SQLite need not lock
  // it at every call (sqlite3_interrupt from another thread stays safe).
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  detail::Connection conn = detail::ownConnection(raw);  // owned even on failure
  if (rc != SQLITE_OK) detail::throwSqlite(raw, rc, "'" + path + "'");
  sqlite3_extended_result_codes(raw, 1);
  guardAgainstUntrustedFile(raw);
  detail::limitStatementTime(raw);
  sqlite3_busy_handler(raw, waitForLock, nullptr);
  return conn;
}

// The object's type in the schema ("table", "view") or empty when absent.
// Letters in names compare without case, as SQLite itself does.
std::string objectType(Database& db, const std::string& name) {
  // A temporary view of this connection comes first, as it does when a
  // statement names it.
  Statement stmt(db,
                 "SELECT type FROM sqlite_temp_schema WHERE name = ?1 COLLATE NOCASE "
                 "AND (type = 'table' OR type = 'view') UNION ALL "
                 "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE "
                 "AND (type = 'table' OR type = 'view')");
  stmt.bind(1, std::string_view(name));
  if (!stmt.step()) return {};
  return std::string(stmt.text(0));
}

}  // namespace

namespace {

// Read-write when the file can be written, otherwise read-only. Throws
// kFileNotFound or kCannotOpen for what is not a file.
int openFlagsFor(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0)
    throw DbError(dberr::kFileNotFound, "The file '" + path + "' could not be found.");
  if (!S_ISREG(st.st_mode))
    throw DbError(dberr::kCannotOpen, "'" + path + "' is not a file.");
  return ::access(path.c_str(), W_OK) == 0 ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
}

}  // namespace

Database Database::open(const std::string& path, const KnownObjects& known) {
  Database db(connect(path, openFlagsFor(path)), path);
  db.keepForeignObjectsFromRunning(known);
  return db;
}

void Database::keepForeignObjectsFromRunning(const KnownObjects& known) {
  m_foreign = findForeignObjectsOnce(*this, known);
  // A newer program may keep what this one does not know of in the file;
  // writing it here could break what that program relies on.
  const std::optional<Value> format = scalar("PRAGMA user_version");
  if (const auto* version = format ? std::get_if<std::int64_t>(&*format) : nullptr;
      version && *version > known.newestFormat())
    m_newerFormat = *version;
  // The file's triggers are off on every connection already; reading only
  // is the second wall, and tells every write it is refused.
  if (keptFromWriting() && !isReadOnly()) m_conn = connect(m_path, SQLITE_OPEN_READONLY);
}

Database Database::openFile(const std::string& path, bool create) {
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  return Database(connect(path, flags), path);
}

bool Database::isReadOnly() const {
  // The file is opened at the first read; only then does the connection
  // know whether it could have it for writing.
  // A kept statement, so that the check every command makes is not
  // prepared each time; what the read finds does not matter.
  passOver([&] { Statement(const_cast<Database&>(*this), "SELECT 1 FROM sqlite_schema LIMIT 1").step(); });
  return sqlite3_db_readonly(handle(), "main") == 1;
}

void Database::keepPagesCached() { Statement(*this, "PRAGMA cache_size = -32768").run(); }

std::int64_t Database::execute(std::string_view jetSql, std::span<const Value> params) {
  Statement stmt(*this, translateJetSql(jetSql));
  stmt.bindAll(params);
  stmt.run();
  return sqlite3_changes64(handle());
}

void Database::executeScript(std::string_view sql) { detail::exec(handle(), sql); }

std::unique_ptr<Recordset> Database::openRecordset(std::string_view source) {
  const std::string name = unquoteSourceName(source);
  const std::string type = objectType(*this, name);
  if (type == "table") return std::make_unique<Recordset>(std::make_unique<detail::TableRows>(m_conn, name), name);
  if (type == "view") return std::make_unique<Recordset>(std::make_unique<detail::QueryRows>(m_conn, name), name);
  throw DbError(dberr::kNotALedger, "The ledger has no table or query named '" + name + "'.");
}

std::vector<std::string> Database::sourceColumns(std::string_view source) {
  const std::string name = unquoteSourceName(source);
  const std::string type = objectType(*this, name);
  if (type != "table" && type != "view")
    throw DbError(dberr::kNotALedger, "The ledger has no table or query named '" + name + "'.");
  // A prepared statement knows its columns before its first step.
  detail::StmtPtr stmt = detail::prepare(handle(), "SELECT * FROM " + quoteSqlIdentifier(name));
  std::vector<std::string> names;
  for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) names.emplace_back(sqlite3_column_name(stmt.get(), i));
  return names;
}

bool Database::hasQueryDef(std::string_view name) {
  return objectType(*this, std::string(name)) == "view";
}

QueryDef Database::queryDef(std::string_view name) {
  if (!hasQueryDef(name))
    throw DbError(dberr::kItemNotFound, "Item not found in this collection: '" + std::string(name) + "'.");
  return QueryDef(m_conn, std::string(name));
}

QueryDef Database::createQueryDef(std::string_view name, std::string_view jetSql) {
  if (!objectType(*this, std::string(name)).empty())
    throw DbError(dberr::kObjectExists, "Object '" + std::string(name) + "' already exists.");
  // In a transaction of its own unless the caller's is open.
  if (inTransaction()) {
    QueryDef::create(*this, name, jetSql);
  } else {
    WriteTransaction tx(*this);
    QueryDef::create(*this, name, jetSql);
    tx.commit();
  }
  return QueryDef(m_conn, std::string(name));
}

std::int64_t Database::dataVersion() {
  const std::optional<Value> version = scalar("PRAGMA data_version");
  const auto* n = version ? std::get_if<std::int64_t>(&*version) : nullptr;
  return n ? *n : 0;
}

std::optional<Value> Database::scalar(std::string_view sql, std::span<const Value> params) {
  Statement stmt(*this, sql);
  stmt.bindAll(params);
  if (!stmt.step()) return std::nullopt;
  return stmt.value(0);
}


sqlite3* detail::connectionOf(const Database& db) { return db.handle(); }
const std::shared_ptr<sqlite3>& detail::sharedConnectionOf(const Database& db) { return db.m_conn; }

std::uint64_t Database::connectionId() const { return detail::connectionIdOf(m_conn); }

bool Database::inTransaction() const { return sqlite3_get_autocommit(handle()) == 0; }

std::int64_t Database::changes() const { return sqlite3_changes64(handle()); }

std::int64_t Database::lastInsertRowid() const { return sqlite3_last_insert_rowid(handle()); }

std::optional<Database::FileStamp> Database::fileStamp() {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods)
    return std::nullopt;
  unsigned char header[28];
  if (file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK) return std::nullopt;
  if (std::memcmp(header, "SQLite format 3", 16) != 0) return std::nullopt;
  FileStamp stamp;
  // Bytes 18 and 19, the write and read versions: 1 for a rollback journal.
  stamp.rollbackJournal = header[18] == 1 && header[19] == 1;
  stamp.changeCounter = static_cast<std::uint32_t>(header[24]) << 24 | static_cast<std::uint32_t>(header[25]) << 16 |
                        static_cast<std::uint32_t>(header[26]) << 8 | static_cast<std::uint32_t>(header[27]);
  return stamp;
}

}  // namespace ledger
