// Feeds arbitrary text to the translation of the ledger's statement dialect
// and through the quoting functions into SQLite. A broken invariant aborts
// with the reason; so does any exception other than the translation's own.
#include <sqlite3.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/database.h"
#include "engine/db_error.h"
#include "ledger/ledger_schema.h"
#include "engine/sql_translate.h"
#include "engine/value.h"
#include "ledger/view_queries.h"

namespace {

using namespace ledger;

void fail(const char* why, std::string_view input) {
  std::fprintf(stderr, "invariant broken: %s (input of %zu bytes)\n", why, input.size());
  std::abort();
}

bool containsNoCase(std::string_view s, std::string_view word) {
  for (size_t i = 0; i + word.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < word.size() && std::toupper(static_cast<unsigned char>(s[i + k])) == word[k]) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

// An in-memory ledger, made once: the history queries run against it.
Database& memoryLedger() {
  static Database db = [] {
    Database d = Database::openFile(":memory:", true);
    d.executeScript(ledgerSchemaSql());
    return d;
  }();
  return db;
}

// The one text column of the one row "SELECT <literal>" gives.
std::string selectText(sqlite3* db, const std::string& sql, std::string_view input) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
    fail("a quoted text is not a valid statement", input);
  if (sqlite3_step(stmt) != SQLITE_ROW) fail("a quoted text gives no row", input);
  const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt, 0));
  std::string out(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
  sqlite3_finalize(stmt);
  return out;
}

void checkTranslation(std::string_view input) {
  std::string out;
  try {
    out = translateJetSql(input);
  } catch (const DbError& e) {
    if (e.number() != dberr::kSyntax) fail("translation failed with a number other than kSyntax", input);
    if (input.find('#') == std::string_view::npos) fail("translation refused a statement without '#'", input);
    return;
  }
  if (input.find('#') == std::string_view::npos && !containsNoCase(input, "DELETE") && out != input)
    fail("a statement without dates or DELETE changed", input);
  // A translated statement is plain SQLite; translating it again (a stored
  // query's text set anew) must not change it.
  if (translateJetSql(out) != out) fail("translation is not stable", input);
}

void checkDateLiteral(std::string_view input) {
  if (input.find('#') != std::string_view::npos) return;
  const std::string statement = "SELECT #" + std::string(input) + "#";
  const auto date = normalizeDate(input);
  try {
    const std::string out = translateJetSql(statement);
    if (!date || out != "SELECT '" + *date + "'") fail("a date literal translated wrongly", input);
  } catch (const DbError&) {
    if (date) fail("a valid date literal was refused", input);
  }
}

void checkQuoting(std::string_view input) {
  // SQL text ends at a NUL, so no literal can carry one; the program's
  // symbols never hold one.
  if (input.find('\0') != std::string_view::npos) return;
  sqlite3* db = detail::connectionOf(memoryLedger());
  const std::string literal = quoteSqlString(input);
  if (translateJetSql(literal) != literal) fail("translation changed a quoted text", input);
  if (selectText(db, "SELECT " + literal, input) != input) fail("quoted text does not read back", input);

  const std::string name = quoteSqlIdentifier(input);
  if (unquoteSourceName(name) != input) fail("a quoted name does not unquote to itself", input);
  sqlite3_stmt* stmt = nullptr;
  const std::string aliased = "SELECT 1 AS " + name;
  if (sqlite3_prepare_v2(db, aliased.c_str(), static_cast<int>(aliased.size()), &stmt, nullptr) != SQLITE_OK)
    fail("a quoted name is not a valid alias", input);
  const char* column = sqlite3_column_name(stmt, 0);
  const bool same = column && std::string_view(column) == input;
  sqlite3_finalize(stmt);
  if (!same) fail("a quoted name reads back differently", input);
}

// The history queries of a symbol select exactly that symbol's trades.
void checkHistoryQuery(std::string_view input) {
  if (input.find('\0') != std::string_view::npos) return;
  Database& db = memoryLedger();
  const std::string symbol(input);
  const Value row[] = {symbol, symbol + "x"};
  db.execute("INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) "
             "VALUES (1, ?1, 1, 'B', '2024-01-02', 1, 0), (2, ?2, 1, 'B', '2024-01-02', 1, 0)",
             row);
  const auto texts = historyQueryTexts(symbol);
  for (const std::string& text : texts)
    if (translateJetSql(text) != text) fail("translation changed a history query", input);
  const auto all = db.scalar("SELECT count(*) FROM (" + texts[0] + ")");
  const auto matching = db.scalar("SELECT count(*) FROM (" + texts[0] + ") WHERE CompanySymbol = ?1", {row, 1});
  db.execute("DELETE FROM Trade");
  if (std::get<std::int64_t>(*all) != 1 || std::get<std::int64_t>(*matching) != 1)
    fail("a history query selects the wrong trades", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  checkTranslation(input);
  checkDateLiteral(input);
  checkQuoting(input);
  checkHistoryQuery(input);
  return 0;
}
