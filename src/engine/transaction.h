#pragma once
// Transactions on a Database, each held for a scope.

#include <memory>

struct sqlite3;

namespace ledger {

class Database;
class QueryDef;

// BEGIN IMMEDIATE now (throws DbError, kLocked when another program
// writes); ROLLBACK when it goes without commit(). The ledger's writes go
// through ledger/ledger_change.h, which holds one of these.
class WriteTransaction {
 public:
  explicit WriteTransaction(Database& db);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  // Throws DbError; the transaction is then rolled back on destruction.
  void commit();

 private:
  friend class QueryDef;
  explicit WriteTransaction(std::shared_ptr<sqlite3> conn);
  std::shared_ptr<sqlite3> m_conn;
  bool m_done = false;
};

// One read transaction for a scope, so that several statements see the
// file as one moment left it. Inside a transaction already open it does
// nothing; failing to begin one (a locked file) is not an error: held()
// then says so.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(Database& db);
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;
  // Whether the statements of the scope run in one transaction.
  bool held() const { return m_held; }

 private:
  std::shared_ptr<sqlite3> m_conn;
  bool m_own = false;
  bool m_held = false;
};

}  // namespace ledger
