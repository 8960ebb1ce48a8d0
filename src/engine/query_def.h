#pragma once
// A stored query of a ledger: an SQLite view of the same name.

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace ledger {

class Database;

class QueryDef {
 public:
  QueryDef(std::shared_ptr<sqlite3> conn, std::string name)
      : m_conn(std::move(conn)), m_name(std::move(name)) {}

  const std::string& name() const { return m_name; }

  // The query's SQL text as it was set, without a closing semicolon.
  std::string sql() const;

  // Replaces the query's text (ledger dialect) in one transaction, its own
  // unless the caller's is open: the old query stays when the new text is
  // refused. Throws DbError.
  void setSql(std::string_view jetSql);

  // Where a created query lives: in the ledger, or only for the connection
  // that made it (a temporary view, which stands in front of a stored query
  // of the same name).
  enum class Lifetime { Stored, ThisConnection };

  // Builds the statement that creates the view; shared with createQueryDef.
  static std::string createStatement(std::string_view name, std::string_view jetSql,
                                     Lifetime lifetime = Lifetime::Stored);

  // Creates the view: runs createStatement(name, jetSql) as exactly one
  // statement. Text carrying a second statement after the query is refused
  // with kSyntax and runs nothing. Throws DbError.
  static void create(Database& db, std::string_view name, std::string_view jetSql,
                     Lifetime lifetime = Lifetime::Stored);

 private:
  static void create(sqlite3* db, std::string_view name, std::string_view jetSql, Lifetime lifetime);

  std::shared_ptr<sqlite3> m_conn;
  std::string m_name;
};

}  // namespace ledger
