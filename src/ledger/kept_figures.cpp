#include "ledger/kept_figures.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/sqlite_util.h"

namespace ledger {

// CompanySymbol has Trade's type, so a symbol is kept as Trade holds it and
// compares as it does there. The stamp is the row whose Side is 'Stamp',
// its counter in Summed and its seal in ExactSum; without it the figures
// are out of date.
const char* const kKeptTotalsSchema =
    "CREATE TABLE IF NOT EXISTS KeptTotals (\n"
    "  CompanySymbol TEXT,\n"
    "  Side          TEXT NOT NULL,\n"
    "  ExactSum      TEXT NOT NULL,\n"
    "  Summed        INTEGER NOT NULL,\n"
    "  PlusInfinite  INTEGER NOT NULL,\n"
    "  MinusInfinite INTEGER NOT NULL,\n"
    "  NotANumber    INTEGER NOT NULL\n"
    ");\n";

namespace {

// ---- sums of one symbol and side -----------------------------------------------

// What a SUM over trade totals needs: the exact sum of the finite ones, how
// many were summed (none: Null), and how many were infinities or not a
// number (floating point then decides the sum alone, as in Amount).
struct Sums {
  Decimal exact;
  std::int64_t summed = 0, plus = 0, minus = 0, notANumber = 0;

  void add(const Amount& total, int sign) {
    summed += sign;
    if (total.isFinite()) {
      if (sign > 0)
        exact += total.exact();
      else
        exact -= total.exact();
      return;
    }
    const double special = total.signOrSpecial();
    (std::isnan(special) ? notANumber : special > 0 ? plus : minus) += sign;
  }
  Sums& operator+=(const Sums& b) {
    exact += b.exact;
    summed += b.summed;
    plus += b.plus;
    minus += b.minus;
    notANumber += b.notANumber;
    return *this;
  }
  bool anyNegative() const { return summed < 0 || plus < 0 || minus < 0 || notANumber < 0; }
  // Nothing summed leaves nothing over.
  bool consistent() const {
    return !anyNegative() && (summed > 0 || (exact.isZero() && plus == 0 && minus == 0 && notANumber == 0)) &&
           plus + minus + notANumber <= summed;
  }

  std::optional<Amount> total() const {
    if (summed == 0) return std::nullopt;
    if (notANumber > 0 || (plus > 0 && minus > 0))
      return Amount::fromValue(std::numeric_limits<double>::quiet_NaN());
    if (plus > 0) return Amount::fromValue(std::numeric_limits<double>::infinity());
    if (minus > 0) return Amount::fromValue(-std::numeric_limits<double>::infinity());
    return Amount(exact);
  }
};

TradeTotals totalsOf(const Sums& buy, const Sums& sell) {
  TradeTotals t;
  t.totalBuy = buy.total();
  t.totalSell = sell.total();
  return t;
}

// A symbol as the file holds it: Null, text or a blob.
struct SymbolKey {
  int type = SQLITE_NULL;
  std::string bytes;
  auto operator<=>(const SymbolKey&) const = default;
};

SymbolKey symbolAt(sqlite3_stmt* stmt, int col) {
  SymbolKey key;
  key.type = sqlite3_column_type(stmt, col);
  if (key.type == SQLITE_NULL) return key;
  if (key.type != SQLITE_BLOB) key.type = SQLITE_TEXT;
  const auto* data = static_cast<const char*>(key.type == SQLITE_BLOB ? sqlite3_column_blob(stmt, col)
                                                                        : sqlite3_column_text(stmt, col));
  key.bytes.assign(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(stmt, col)));
  return key;
}

void bindSymbol(sqlite3* db, sqlite3_stmt* stmt, int at, const SymbolKey& key) {
  int rc = SQLITE_OK;
  if (key.type == SQLITE_NULL)
    rc = sqlite3_bind_null(stmt, at);
  else if (key.type == SQLITE_BLOB)
    rc = sqlite3_bind_blob64(stmt, at, key.bytes.data(), key.bytes.size(), SQLITE_TRANSIENT);
  else
    rc = sqlite3_bind_text64(stmt, at, key.bytes.data(), key.bytes.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) detail::throwSqlite(db, rc, "");
}

// Per symbol and side ('B' or 'S').
using Groups = std::map<std::pair<SymbolKey, char>, Sums>;

// Adds trades to groups, each given by five columns of a row from `first`
// on: symbol, side, quantity, price, commission. They count as
// TradeTotals::add counts them: only sides "B" and "S", only totals that
// are not Null.
class GroupAdder {
 public:
  explicit GroupAdder(Groups& groups) : m_groups(groups) {}

  // Adds (sign 1) or takes away (-1) the trade.
  void add(sqlite3_stmt* row, int first, int sign) {
    // The usual trade, read as readTradeTotals reads it quickly: a
    // one-letter side and three finite numbers.
    const bool oneLetter =
        sqlite3_column_type(row, first + 1) == SQLITE_TEXT && sqlite3_column_bytes(row, first + 1) == 1;
    const char code = oneLetter ? static_cast<char>(sqlite3_column_text(row, first + 1)[0]) : 0;
    double q, p, c;
    if ((code == 'B' || code == 'S') && finite(row, first + 2, q) && finite(row, first + 3, p) &&
        finite(row, first + 4, c)) {
      Decimal total = Decimal::fromDouble(q) * Decimal::fromDouble(p);
      if (code == 'B')
        total += Decimal::fromDouble(c);
      else
        total -= Decimal::fromDouble(c);
      Sums& sums = group(row, first, code);
      if (sign > 0)
        sums.exact += total;
      else
        sums.exact -= total;
      sums.summed += sign;
      return;
    }
    const Value side = detail::columnValue(row, first + 1);
    const auto* text = std::get_if<std::string>(&side);
    if (!text || (*text != "B" && *text != "S")) return;
    const bool purchase = *text == "B";
    const auto total = tradeTotal(detail::columnValue(row, first + 2), detail::columnValue(row, first + 3),
                                  detail::columnValue(row, first + 4), purchase);
    if (total) group(row, first, purchase ? 'B' : 'S').add(*total, sign);
  }

 private:
  static bool finite(sqlite3_stmt* row, int column, double& out) {
    if (sqlite3_column_type(row, column) != SQLITE_FLOAT) return false;
    out = sqlite3_column_double(row, column);
    return std::isfinite(out);
  }

  // Trades come in runs of one company, so the last group is tried first.
  Sums& group(sqlite3_stmt* row, int first, char side) {
    std::pair<SymbolKey, char> key{symbolAt(row, first), side};
    if (!m_last || key != m_lastKey) {
      m_last = &m_groups[key];
      m_lastKey = std::move(key);
    }
    return *m_last;
  }

  Groups& m_groups;
  Sums* m_last = nullptr;
  std::pair<SymbolKey, char> m_lastKey;
};

// Every trade of the ledger, in one statement (one snapshot).
Groups scanGroups(sqlite3* db) {
  auto stmt = detail::prepare(db, "SELECT CompanySymbol, [Buy/Sell], Quantity, Price, Commission FROM Trade");
  Groups groups;
  GroupAdder adder(groups);
  while (detail::step(db, stmt.get())) adder.add(stmt.get(), 0, 1);
  return groups;
}

TradeTotals totalsOf(const Groups& groups, std::optional<std::string_view> symbol) {
  Sums buy, sell;
  for (const auto& [key, sums] : groups) {
    // As "CompanySymbol = ?" compares a text with Trade's text column.
    if (symbol && (key.first.type != SQLITE_TEXT || key.first.bytes != *symbol)) continue;
    (key.second == 'B' ? buy : sell) += sums;
  }
  return totalsOf(buy, sell);
}

// ---- the table -------------------------------------------------------------------

// Prepares sql, or gives nullptr when SQLite refuses it (no table).
detail::StmtPtr tryPrepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return nullptr;
  }
  return detail::StmtPtr(raw);
}

struct Stamp {
  std::int64_t counter = 0;
  std::string seal;  // empty when the row holds none
};

// The stamp: nullopt without the table or without exactly one stamp row
// holding a whole number.
std::optional<Stamp> readStamp(sqlite3* db) {
  auto stmt = tryPrepare(db, "SELECT Summed, ExactSum FROM KeptTotals WHERE Side = 'Stamp'");
  if (!stmt) return std::nullopt;
  if (!detail::step(db, stmt.get()) || sqlite3_column_type(stmt.get(), 0) != SQLITE_INTEGER) return std::nullopt;
  Stamp stamp;
  stamp.counter = sqlite3_column_int64(stmt.get(), 0);
  if (sqlite3_column_type(stmt.get(), 1) == SQLITE_TEXT)
    stamp.seal.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1)),
                      static_cast<size_t>(sqlite3_column_bytes(stmt.get(), 1)));
  if (detail::step(db, stmt.get())) return std::nullopt;
  return stamp;
}

// ---- the seal ----------------------------------------------------------------------

void appendWhole(std::string& out, std::uint64_t value) {
  for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xff);
}

// A column as its storage class and value; texts and blobs carry their
// length first, so no two rows read alike.
void appendColumn(std::string& out, sqlite3_stmt* row, int col) {
  const int type = sqlite3_column_type(row, col);
  out += static_cast<char>(type);
  if (type == SQLITE_INTEGER) {
    appendWhole(out, static_cast<std::uint64_t>(sqlite3_column_int64(row, col)));
  } else if (type == SQLITE_FLOAT) {
    const double value = sqlite3_column_double(row, col);
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    appendWhole(out, bits);
  } else if (type != SQLITE_NULL) {
    const void* data = type == SQLITE_BLOB ? sqlite3_column_blob(row, col) : sqlite3_column_text(row, col);
    const auto size = static_cast<size_t>(sqlite3_column_bytes(row, col));
    appendWhole(out, size);
    if (size > 0) out.append(static_cast<const char*>(data), size);
  }
}

// The seal of counter and every kept row but the stamp, each column as
// stored. The rows are taken in the order of their bytes: the order the
// file keeps them in says nothing. One row a symbol and side, so this is
// quick however many trades there are.
std::string sealOf(sqlite3* db, const KeptFiguresKey& key, std::int64_t counter) {
  auto stmt = detail::prepare(db,
                              "SELECT CompanySymbol, Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber "
                              "FROM KeptTotals WHERE Side IS NOT 'Stamp'");
  std::vector<std::string> rows;
  while (detail::step(db, stmt.get())) {
    std::string& row = rows.emplace_back();
    for (int col = 0; col < 7; ++col) appendColumn(row, stmt.get(), col);
  }
  std::sort(rows.begin(), rows.end());
  std::string message = "shareledger KeptTotals 1";
  appendWhole(message, static_cast<std::uint64_t>(counter));
  appendWhole(message, rows.size());
  for (const std::string& row : rows) {
    appendWhole(message, row.size());
    message += row;
  }
  return sealText(key, message);
}

// Whether the figures are the program's own and current: the file has the
// counter the stamp gives, and the seal over it and the rows checks.
bool trusted(sqlite3* db, const KeptFiguresKey& key, const Stamp& stamp) {
  const auto file = readFileStamp(db);
  return file && file->rollbackJournal && stamp.counter == file->changeCounter &&
         sameSeal(stamp.seal, sealOf(db, key, stamp.counter));
}

void writeStamp(sqlite3* db, std::int64_t stamp) {
  auto stmt = detail::prepare(db, "UPDATE KeptTotals SET Summed = ?1 WHERE Side = 'Stamp'");
  sqlite3_bind_int64(stmt.get(), 1, stamp);
  detail::step(db, stmt.get());
}

// Without a stamp the figures are out of date until read afresh. A delete,
// which no constraint of the table can refuse.
void dropStamp(sqlite3* db) { detail::exec(db, "DELETE FROM KeptTotals WHERE Side = 'Stamp'"); }

// The counter the file has once the transaction open now commits.
std::int64_t stampAfterCommit(std::uint32_t changeCounter) {
  return static_cast<std::uint32_t>(changeCounter + 1u);
}

// Sums as a row holds them from column `first` on (ExactSum, Summed,
// PlusInfinite, MinusInfinite, NotANumber); nullopt when the row is not as
// the program writes it.
std::optional<Sums> sumsAt(sqlite3_stmt* row, int first) {
  if (sqlite3_column_type(row, first) != SQLITE_TEXT) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, first));
  const auto exact =
      Decimal::parse(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(row, first))));
  if (!exact) return std::nullopt;
  Sums sums;
  sums.exact = *exact;
  std::int64_t* counts[] = {&sums.summed, &sums.plus, &sums.minus, &sums.notANumber};
  for (int i = 0; i < 4; ++i) {
    if (sqlite3_column_type(row, first + 1 + i) != SQLITE_INTEGER) return std::nullopt;
    *counts[i] = sqlite3_column_int64(row, first + 1 + i);
  }
  if (!sums.consistent()) return std::nullopt;
  return sums;
}

void bindSums(sqlite3_stmt* stmt, int first, const Sums& sums) {
  const std::string exact = sums.exact.toPlainString();
  sqlite3_bind_text64(stmt, first, exact.data(), exact.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  const std::int64_t counts[] = {sums.summed, sums.plus, sums.minus, sums.notANumber};
  for (int i = 0; i < 4; ++i) sqlite3_bind_int64(stmt, first + 1 + i, counts[i]);
}

constexpr const char* kInsertRow =
    "INSERT INTO KeptTotals (CompanySymbol, Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";

void insertRow(sqlite3* db, sqlite3_stmt* insert, const SymbolKey& symbol, char side, const Sums& sums) {
  sqlite3_reset(insert);
  bindSymbol(db, insert, 1, symbol);
  sqlite3_bind_text(insert, 2, side == 'B' ? "B" : "S", 1, SQLITE_STATIC);
  bindSums(insert, 3, sums);
  detail::step(db, insert);
}

// The sums of the rows of one symbol, or of all; nullopt when a row is
// not as the program writes it.
std::optional<TradeTotals> readRows(sqlite3* db, std::optional<std::string_view> symbol) {
  std::string sql =
      "SELECT Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber FROM KeptTotals WHERE Side <> 'Stamp'";
  if (symbol) sql += " AND CompanySymbol = ?1";
  auto stmt = detail::prepare(db, sql);
  if (symbol) sqlite3_bind_text64(stmt.get(), 1, symbol->data(), symbol->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  Sums buy, sell;
  while (detail::step(db, stmt.get())) {
    const auto* side = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    const bool purchase = side && std::strcmp(side, "B") == 0;
    if (!purchase && !(side && std::strcmp(side, "S") == 0)) return std::nullopt;
    const auto sums = sumsAt(stmt.get(), 1);
    if (!sums) return std::nullopt;
    (purchase ? buy : sell) += *sums;
  }
  return totalsOf(buy, sell);
}

// Adds the changes of groups to the kept rows. false when a kept row is not
// as the program writes it or would go below nothing: then the figures
// were not what the trades add up to.
bool applyChanges(sqlite3* db, const Groups& changes) {
  auto find = detail::prepare(db,
                              "SELECT rowid, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber FROM KeptTotals "
                              "WHERE Side = ?2 AND CompanySymbol IS ?1 LIMIT 1");
  auto update = detail::prepare(db,
                                "UPDATE KeptTotals SET ExactSum = ?3, Summed = ?4, PlusInfinite = ?5, "
                                "MinusInfinite = ?6, NotANumber = ?7 WHERE rowid = ?1");
  auto remove = detail::prepare(db, "DELETE FROM KeptTotals WHERE rowid = ?1");
  auto insert = detail::prepare(db, kInsertRow);
  for (const auto& [key, change] : changes) {
    sqlite3_reset(find.get());
    bindSymbol(db, find.get(), 1, key.first);
    sqlite3_bind_text(find.get(), 2, key.second == 'B' ? "B" : "S", 1, SQLITE_STATIC);
    Sums sums;
    std::optional<std::int64_t> rowid;
    if (detail::step(db, find.get())) {
      rowid = sqlite3_column_int64(find.get(), 0);
      const auto held = sumsAt(find.get(), 1);
      if (!held) return false;
      sums = *held;
    }
    sums += change;
    if (!sums.consistent()) return false;
    if (sums.summed == 0) {
      if (rowid) {
        sqlite3_reset(remove.get());
        sqlite3_bind_int64(remove.get(), 1, *rowid);
        detail::step(db, remove.get());
      }
    } else if (rowid) {
      sqlite3_reset(update.get());
      sqlite3_bind_int64(update.get(), 1, *rowid);
      bindSums(update.get(), 3, sums);
      detail::step(db, update.get());
    } else {
      insertRow(db, insert.get(), key.first, key.second, sums);
    }
  }
  return true;
}

struct Kept {
  Groups groups;
  bool kept = false;
};

// Reads every trade and, when the file can be written now, keeps the
// figures in the same writing transaction (whose commit seals them).
// nullopt when no writing transaction could be had or there is no key (the
// caller reads the trades itself).
std::optional<Kept> keep(Database& db) {
  sqlite3* h = db.handle();
  if (!sqlite3_get_autocommit(h) || db.isReadOnly() || !keptFiguresKey()) return std::nullopt;
  std::optional<detail::Transaction> tx;
  try {
    tx.emplace(h);
  } catch (const DbError&) {
    return std::nullopt;  // locked by another writer, say
  }
  // Only the stamp was written yet, so the header is still the one committed.
  const auto file = readFileStamp(h);
  if (!file || !file->rollbackJournal) return std::nullopt;
  Kept result{scanGroups(h), false};
  try {
    detail::exec(h, kKeptTotalsSchema);
    detail::exec(h, "DELETE FROM KeptTotals");
    auto insert = detail::prepare(h, kInsertRow);
    for (const auto& [key, sums] : result.groups)
      if (sums.summed != 0) insertRow(h, insert.get(), key.first, key.second, sums);
    auto stamp = detail::prepare(h,
                                 "INSERT INTO KeptTotals (CompanySymbol, Side, ExactSum, Summed, PlusInfinite, "
                                 "MinusInfinite, NotANumber) VALUES (NULL, 'Stamp', '', ?1, 0, 0, 0)");
    sqlite3_bind_int64(stamp.get(), 1, stampAfterCommit(file->changeCounter));
    detail::step(h, stamp.get());
    tx->commit();
    result.kept = true;
  } catch (const DbError&) {
    // A full disk, say: the figures are still right, only not kept.
  }
  return result;
}

}  // namespace

// ---- public ----------------------------------------------------------------------


std::optional<FileStamp> readFileStamp(sqlite3* db) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
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

std::optional<TradeTotals> readKeptTotals(Database& db, std::optional<std::string_view> symbol) {
  const auto key = keptFiguresKey();
  if (!key) return std::nullopt;
  sqlite3* h = db.handle();
  // The stamp, the header and the rows in one read transaction: nobody can
  // commit between them.
  const bool own = sqlite3_get_autocommit(h) != 0;
  if (own && sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return std::nullopt;
  std::optional<TradeTotals> totals;
  try {
    const auto stamp = readStamp(h);
    if (stamp && trusted(h, *key, *stamp)) totals = readRows(h, symbol);
  } catch (const DbError&) {
    totals.reset();
  }
  if (own) sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
  return totals;
}

bool keepLedgerTotals(Database& db) {
  const auto kept = keep(db);
  return kept && kept->kept;
}

TradeTotals readLedgerTotals(Database& db, std::optional<std::string_view> symbol) {
  if (!db.isReadOnly()) {
    if (auto kept = readKeptTotals(db, symbol)) return *kept;
    if (const auto fresh = keep(db)) return totalsOf(fresh->groups, symbol);
  }
  return readTradeTotals(db, symbol);
}

void beginKeptFigures(sqlite3* db) {
  // Without a key nothing is stamped: this commit leaves any stamp behind.
  const auto key = keptFiguresKey();
  if (!key) return;
  try {
    const auto stamp = readStamp(db);
    if (!stamp) return;
    if (trusted(db, *key, *stamp))
      writeStamp(db, stampAfterCommit(static_cast<std::uint32_t>(stamp->counter)));
    else
      dropStamp(db);
  } catch (const DbError&) {
    try {
      dropStamp(db);
    } catch (const DbError&) {
      // Not stamped anew either: after this commit the stamp is behind.
    }
  }
}

void sealKeptFigures(sqlite3* db) {
  const auto key = keptFiguresKey();
  if (!key) return;
  try {
    const auto stamp = readStamp(db);
    if (!stamp) return;
    auto stmt = detail::prepare(db, "UPDATE KeptTotals SET ExactSum = ?1 WHERE Side = 'Stamp'");
    const std::string seal = sealOf(db, *key, stamp->counter);
    sqlite3_bind_text64(stmt.get(), 1, seal.data(), seal.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    detail::step(db, stmt.get());
  } catch (const DbError&) {
    try {
      dropStamp(db);
    } catch (const DbError&) {
      // The stamp keeps a seal that no longer checks: out of date all the same.
    }
  }
}

void followUndoStep(sqlite3* db, std::int64_t step, bool undone) {
  if (!keptFiguresKey()) return;
  try {
    if (!readStamp(db)) return;
    auto stmt = detail::prepare(db,
                                "SELECT Kind, BeforeCompanySymbol, BeforeBuySell, BeforeQuantity, BeforePrice, "
                                "BeforeCommission, AfterCompanySymbol, AfterBuySell, AfterQuantity, AfterPrice, "
                                "AfterCommission FROM UndoChange WHERE Step = ?1 AND TableName = 'Trade'");
    sqlite3_bind_int64(stmt.get(), 1, step);
    // Undone, the rows go back from what the step left to what it found.
    const int found = undone ? 1 : -1;
    Groups changes;
    GroupAdder adder(changes);
    while (detail::step(db, stmt.get())) {
      const auto* kind = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
      const std::string_view k = kind ? kind : "";
      if (k != "Insert") adder.add(stmt.get(), 1, found);
      if (k != "Delete") adder.add(stmt.get(), 6, -found);
    }
    if (!applyChanges(db, changes)) dropStamp(db);
  } catch (const DbError&) {
    try {
      dropStamp(db);
    } catch (const DbError&) {
      // The transaction itself failed; its commit will say so.
    }
  }
}

}  // namespace ledger
