#pragma once
// A database file, opened through SQLite.
//
// A Database is cheap to move and shares its connection with the
// recordsets and query definitions it hands out; the connection closes when
// the last of them goes.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query_def.h"
#include "engine/recordset.h"
#include "engine/schema_object.h"
#include "engine/value.h"

struct sqlite3;

namespace ledger {

class Database;
class KnownObjects;
namespace detail {
// The raw connection, for the engine's own files and its tests.
sqlite3* connectionOf(const Database& db);
// The same, shared: it stays open while the holder needs it.
const std::shared_ptr<sqlite3>& sharedConnectionOf(const Database& db);
}  // namespace detail

// Every connection is guarded against a hostile file (untrusted_file.h):
// the file's triggers never fire and its stored queries cannot call
// functions with side effects, whichever way it is opened.
class Database {
 public:
  // Opens the file at path for reading and writing, or for reading only
  // when it cannot be written, when it holds objects that known does not
  // list (foreignObjects()) or when its format is newer than known's
  // (newerFormat()). Opening never changes the file.
  // Throws DbError: kFileNotFound (no such file), kCannotOpen (a folder, no
  // access), kNotADatabase (not a database or damaged).
  static Database open(const std::string& path, const KnownObjects& known);

  // Opens (or, with create, makes) any SQLite file for reading and writing,
  // without checking what it holds. Used to build ledgers from the schema.
  static Database openFile(const std::string& path, bool create);

  const std::string& path() const { return m_path; }
  bool isReadOnly() const;
  // Whether both share one connection (one was copied from the other).
  bool sharesConnectionWith(const Database& other) const { return m_conn == other.m_conn; }

  // What the file holds that known did not list: tables, views, indexes
  // and triggers of other programs, and objects of the listed names in
  // another shape. Filled by open() only.
  const std::vector<ForeignObject>& foreignObjects() const { return m_foreign; }
  // The file's format (user_version) when it is newer than the known
  // objects' newest; filled by open() only.
  std::optional<std::int64_t> newerFormat() const { return m_newerFormat; }
  // Whether open() made the connection a read-only one for what the file
  // holds (foreign objects, a newer format), writable as the file may be.
  bool keptFromWriting() const { return !m_foreign.empty() || m_newerFormat.has_value(); }

  // For a connection kept open and read again and again: keeps up to 32 MB
  // of the file's pages instead of SQLite's 2 MB, which is less than the
  // Trade table of a large ledger, so every count of its rows read the file
  // again. Not for every connection: one read once gains nothing and pays
  // for the memory its pages take. Pages are taken only as they are read.
  // REQUIRES: the schema was read (the pragma reads it). Throws DbError.
  void keepPagesCached();

  // Carries out an action statement of the ledger dialect (see
  // translateJetSql) with ? parameters bound from params, at once.
  // Returns the number of rows changed.
  std::int64_t execute(std::string_view jetSql, std::span<const Value> params = {});

  // Runs SQLite statements as they stand (schema scripts).
  void executeScript(std::string_view sql);

  // The rows of a table or stored query, as "SELECT * FROM " + source
  // would give them, standing on the first row. source may be bracketed
  // ("[Total Buy]"). Throws kNotALedger when there is no such table or query.
  std::unique_ptr<Recordset> openRecordset(std::string_view source);
  // The column names openRecordset(source) would give, found without
  // running the query. Throws like openRecordset.
  std::vector<std::string> sourceColumns(std::string_view source);

  // The stored query called name. Throws kItemNotFound when there is none.
  QueryDef queryDef(std::string_view name);
  // Stores a new query. Throws kObjectExists when the name is taken.
  QueryDef createQueryDef(std::string_view name, std::string_view jetSql);
  bool hasQueryDef(std::string_view name);

  // First column of the first row of a query (nullopt without rows).
  std::optional<Value> scalar(std::string_view sql, std::span<const Value> params = {});

  // A number no other connection of this program run has, so that what is
  // learnt about a connection can be remembered without keeping it open.
  std::uint64_t connectionId() const;

  // Whether a transaction is open on this connection.
  bool inTransaction() const;
  // The rows the last finished INSERT, UPDATE or DELETE changed.
  std::int64_t changes() const;
  // The row id of the last row inserted on this connection.
  std::int64_t lastInsertRowid() const;

  // A number that changes when another connection (of this program or
  // another) commits a change to the file: the same number twice, and
  // nothing was committed between the two reads. In either journal mode.
  // Throws DbError.
  std::int64_t dataVersion();

  // The file's change counter and journal mode as its header holds them
  // (SQLite bumps the counter at every commit in rollback journal mode);
  // nullopt when the header cannot be read. REQUIRES: a transaction is
  // open, so the header cannot change under the read.
  struct FileStamp {
    std::uint32_t changeCounter = 0;
    bool rollbackJournal = false;  // false: WAL mode
  };
  std::optional<FileStamp> fileStamp();

 private:
  friend class Statement;
  friend sqlite3* detail::connectionOf(const Database& db);
  friend const std::shared_ptr<sqlite3>& detail::sharedConnectionOf(const Database& db);
  Database(std::shared_ptr<sqlite3> conn, std::string path)
      : m_conn(std::move(conn)), m_path(std::move(path)) {}
  sqlite3* handle() const { return m_conn.get(); }
  // Fills m_foreign and m_newerFormat; with either, the connection becomes
  // a read-only one.
  void keepForeignObjectsFromRunning(const KnownObjects& known);

  std::shared_ptr<sqlite3> m_conn;
  std::string m_path;
  std::vector<ForeignObject> m_foreign;
  std::optional<std::int64_t> m_newerFormat;
};

}  // namespace ledger
