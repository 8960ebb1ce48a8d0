#include "engine/query_def.h"

#include <cctype>

#include "engine/database.h"
#include "engine/db_error.h"
#include "engine/sql_translate.h"
#include "engine/sqlite_util.h"
#include "engine/transaction.h"

namespace ledger {

namespace {

constexpr std::string_view kMarker = " AS ";

std::string withoutClosingSemicolon(std::string_view sql) {
  while (!sql.empty() && (std::isspace(static_cast<unsigned char>(sql.back())) || sql.back() == ';'))
    sql.remove_suffix(1);
  return std::string(sql);
}

}  // namespace

std::string QueryDef::createStatement(std::string_view name, std::string_view jetSql, Lifetime lifetime) {
  const std::string body = withoutClosingSemicolon(jetSql);
  if (body.empty()) throw DbError(dberr::kSyntax, "A query needs SQL text.");
  const char* head = lifetime == Lifetime::Stored ? "CREATE VIEW " : "CREATE TEMP VIEW ";
  return head + quoteSqlIdentifier(name) + std::string(kMarker) + translateJetSql(body);
}

void QueryDef::create(Database& db, std::string_view name, std::string_view jetSql, Lifetime lifetime) {
  create(detail::connectionOf(db), name, jetSql, lifetime);
}

void QueryDef::create(sqlite3* db, std::string_view name, std::string_view jetSql, Lifetime lifetime) {
  const std::string statement = createStatement(name, jetSql, lifetime);
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db, statement.c_str(), static_cast<int>(statement.size()), &raw, &tail);
  detail::StmtPtr stmt(raw);
  if (rc != SQLITE_OK) detail::throwSqlite(db, rc, "");
  if (!stmt) throw DbError(dberr::kSyntax, "A query needs SQL text.");
  // Blanks, ';' and comments after the query prepare to no statement.
  const char* end = statement.c_str() + statement.size();
  while (tail && tail < end) {
    const char* from = tail;
    sqlite3_stmt* next = nullptr;
    const int nextRc = sqlite3_prepare_v2(db, from, static_cast<int>(end - from), &next, &tail);
    detail::StmtPtr extra(next);
    if (nextRc != SQLITE_OK || extra)
      throw DbError(dberr::kSyntax, "A query holds one statement; the text after it was refused.");
    if (tail == from) break;
  }
  detail::step(db, stmt.get());
}

std::string QueryDef::sql() const {
  sqlite3* db = m_conn.get();
  auto stmt = detail::prepare(db, "SELECT sql FROM sqlite_schema WHERE type = 'view' AND name = ?1 COLLATE NOCASE");
  const Value param = m_name;
  detail::bindAll(db, stmt.get(), {&param, 1});
  if (!detail::step(db, stmt.get()))
    throw DbError(dberr::kItemNotFound, "Item not found in this collection: '" + m_name + "'.");
  const std::string text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
  // Views written by this program read CREATE VIEW "name" AS <text>; the
  // template's may spell the name in brackets. Skip the head either way.
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string quoted = quoteSqlIdentifier(m_name) + std::string(kMarker);
  size_t at = text.find(quoted);
  if (at != std::string::npos) return text.substr(at + quoted.size());
  at = upper.find(kMarker);
  return at == std::string::npos ? text : text.substr(at + kMarker.size());
}

void QueryDef::setSql(std::string_view jetSql) {
  sqlite3* db = m_conn.get();
  const auto replace = [&] {
    detail::exec(db, "DROP VIEW IF EXISTS " + quoteSqlIdentifier(m_name));
    create(db, m_name, jetSql, Lifetime::Stored);
  };
  if (!sqlite3_get_autocommit(db)) return replace();
  WriteTransaction tx(m_conn);
  replace();
  tx.commit();
}

}  // namespace ledger
