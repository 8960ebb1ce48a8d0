#include "ledger/kept_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "ledger/change_hooks.h"
#include "engine/statement.h"
#include "engine/transaction.h"
#include "ledger/ledger_change.h"

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
  ColumnType type = ColumnType::Null;
  std::string bytes;
  auto operator<=>(const SymbolKey&) const = default;
};

SymbolKey symbolAt(const Statement& stmt, int col) {
  SymbolKey key;
  key.type = stmt.type(col);
  if (key.type == ColumnType::Null) return key;
  if (key.type != ColumnType::Blob) key.type = ColumnType::Text;
  key.bytes.assign(key.type == ColumnType::Blob ? stmt.blob(col) : stmt.text(col));
  return key;
}

void bindSymbol(Statement& stmt, int at, const SymbolKey& key) {
  if (key.type == ColumnType::Null)
    stmt.bindNull(at);
  else if (key.type == ColumnType::Blob)
    stmt.bindBlob(at, key.bytes);
  else
    stmt.bind(at, std::string_view(key.bytes));
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
  void add(const Statement& row, int first, int sign) {
    // The usual trade, read as readTradeTotals reads it quickly: a
    // one-letter side and three finite numbers.
    std::string_view side;
    if (row.type(first + 1) == ColumnType::Text) side = row.text(first + 1);
    const char code = side.size() == 1 ? side[0] : 0;
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
    const Value sideValue = row.value(first + 1);
    const auto* text = std::get_if<std::string>(&sideValue);
    if (!text || (*text != "B" && *text != "S")) return;
    const bool purchase = *text == "B";
    const auto total = tradeTotal(row.value(first + 2), row.value(first + 3), row.value(first + 4), purchase);
    if (total) group(row, first, purchase ? 'B' : 'S').add(*total, sign);
  }

 private:
  static bool finite(const Statement& row, int column, double& out) {
    if (row.type(column) != ColumnType::Real) return false;
    out = row.real(column);
    return std::isfinite(out);
  }

  // Trades come in runs of one company, so the last group is tried first.
  Sums& group(const Statement& row, int first, char side) {
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

// Every trade of the ledger, in one statement (one snapshot), and how
// many rows Trade has.
Groups scanGroups(Database& db, std::int64_t& rows) {
  Statement stmt(db, "SELECT CompanySymbol, [Buy/Sell], Quantity, Price, Commission FROM Trade");
  Groups groups;
  GroupAdder adder(groups);
  rows = 0;
  for (; stmt.step(); ++rows) adder.add(stmt, 0, 1);
  return groups;
}

TradeTotals totalsOf(const Groups& groups, std::optional<std::string_view> symbol) {
  Sums buy, sell;
  for (const auto& [key, sums] : groups) {
    // As "CompanySymbol = ?" compares a text with Trade's text column.
    if (symbol && (key.first.type != ColumnType::Text || key.first.bytes != *symbol)) continue;
    (key.second == 'B' ? buy : sell) += sums;
  }
  return totalsOf(buy, sell);
}

// ---- the table -------------------------------------------------------------------

struct Stamp {
  std::int64_t counter = 0;
  std::string seal;  // empty when the row holds none
};

// The stamp: nullopt without the table or without exactly one stamp row
// holding a whole number.
std::optional<Stamp> readStamp(Database& db) {
  // Asked first, so that the read below can be a kept statement: one kept
  // from before would only find at its step that the table had gone.
  if (!db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'KeptTotals' COLLATE NOCASE"))
    return std::nullopt;
  std::optional<Statement> stmt;
  try {
    stmt.emplace(db, "SELECT Summed, ExactSum FROM KeptTotals WHERE Side = 'Stamp'");
  } catch (const DbError&) {
    return std::nullopt;  // a table of that name but not as the program makes it
  }
  if (!stmt->step() || stmt->type(0) != ColumnType::Integer) return std::nullopt;
  Stamp stamp;
  stamp.counter = stmt->integer(0);
  if (stmt->type(1) == ColumnType::Text) stamp.seal.assign(stmt->text(1));
  if (stmt->step()) return std::nullopt;
  return stamp;
}

// ---- the seal ----------------------------------------------------------------------

void appendWhole(std::string& out, std::uint64_t value) {
  for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xff);
}

// A column as its storage class and value; texts and blobs carry their
// length first, so no two rows read alike.
void appendColumn(std::string& out, const Statement& row, int col) {
  const ColumnType type = row.type(col);
  out += static_cast<char>(type);
  if (type == ColumnType::Integer) {
    appendWhole(out, static_cast<std::uint64_t>(row.integer(col)));
  } else if (type == ColumnType::Real) {
    const double value = row.real(col);
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    appendWhole(out, bits);
  } else if (type != ColumnType::Null) {
    const std::string_view data = type == ColumnType::Blob ? row.blob(col) : row.text(col);
    appendWhole(out, data.size());
    out.append(data);
  }
}

// The seal of counter and every kept row but the stamp, each column as
// stored. The rows are taken in the order of their bytes: the order the
// file keeps them in says nothing. One row a symbol and side, so this is
// quick however many trades there are. Every save seals, so the rows are
// read into buffers kept from the last seal: once warm it allocates nothing.
std::string sealOf(Database& db, const KeptFiguresKey& key, std::int64_t counter) {
  thread_local std::vector<std::string> images;
  thread_local std::vector<const std::string*> sorted;
  thread_local std::string message;
  Statement stmt(db,
                 "SELECT CompanySymbol, Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber "
                 "FROM KeptTotals WHERE Side IS NOT 'Stamp'");
  std::size_t rows = 0;
  for (; stmt.step(); ++rows) {
    if (rows == images.size()) images.emplace_back();
    std::string& row = images[rows];
    row.clear();
    for (int col = 0; col < 7; ++col) appendColumn(row, stmt, col);
  }
  sorted.clear();
  for (std::size_t i = 0; i < rows; ++i) sorted.push_back(&images[i]);
  std::sort(sorted.begin(), sorted.end(), [](const std::string* a, const std::string* b) { return *a < *b; });
  // 2: the rows include the count of trades. A seal of the figures
  // without it (an older program's) never checks, nor this one there.
  message = "shareledger KeptTotals 2";
  appendWhole(message, static_cast<std::uint64_t>(counter));
  appendWhole(message, rows);
  for (const std::string* row : sorted) {
    appendWhole(message, row->size());
    message += *row;
  }
  return sealText(key, message);
}

// Whether the figures are the program's own and current: the file has the
// counter the stamp gives, and the seal over it and the rows checks.
bool trusted(Database& db, const KeptFiguresKey& key, const Stamp& stamp) {
  const auto file = db.fileStamp();
  return file && file->rollbackJournal && stamp.counter == file->changeCounter &&
         sameSeal(stamp.seal, sealOf(db, key, stamp.counter));
}

// The seal the program last wrote through each connection. When the stamp
// still holds it and the file's counter is still the stamp's, nobody has
// committed to the file since (SQLite bumps the counter at every commit),
// so checking the seal again would only read back what this connection
// sealed, from its own cache of the file's pages.
class SealsWritten {
 public:
  void remember(const Database& db, const Stamp& stamp) {
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_seals, [&](const Entry& e) { return e.connection == db.connectionId(); });
    if (m_seals.size() >= kConnections) m_seals.erase(m_seals.begin());
    m_seals.push_back({db.connectionId(), stamp});
  }
  bool wrote(const Database& db, const Stamp& stamp) {
    const std::lock_guard lock(m_mutex);
    return std::any_of(m_seals.begin(), m_seals.end(), [&](const Entry& e) {
      return e.connection == db.connectionId() && e.stamp.counter == stamp.counter && e.stamp.seal == stamp.seal;
    });
  }

 private:
  // The program keeps a connection or two open; older ones are forgotten.
  static constexpr std::size_t kConnections = 8;
  struct Entry {
    std::uint64_t connection;
    Stamp stamp;
  };
  std::mutex m_mutex;
  std::vector<Entry> m_seals;
};

SealsWritten& sealsWritten() {
  static SealsWritten seals;
  return seals;
}

bool sealedHereAndCurrent(Database& db, const Stamp& stamp) {
  if (!sealsWritten().wrote(db, stamp)) return false;
  const auto file = db.fileStamp();
  return file && file->rollbackJournal && stamp.counter == file->changeCounter;
}

void writeStamp(Database& db, std::int64_t stamp) {
  Statement stmt(db, "UPDATE KeptTotals SET Summed = ?1 WHERE Side = 'Stamp'");
  stmt.bind(1, stamp);
  stmt.run();
}

// Without a stamp the figures are out of date until read afresh. A delete,
// which no constraint of the table can refuse.
void dropStamp(Database& db) { db.executeScript("DELETE FROM KeptTotals WHERE Side = 'Stamp'"); }

// The counter the file has once the transaction open now commits.
std::int64_t stampAfterCommit(std::uint32_t changeCounter) {
  return static_cast<std::uint32_t>(changeCounter + 1u);
}

// Sums as a row holds them from column `first` on (ExactSum, Summed,
// PlusInfinite, MinusInfinite, NotANumber); nullopt when the row is not as
// the program writes it.
std::optional<Sums> sumsAt(const Statement& row, int first) {
  if (row.type(first) != ColumnType::Text) return std::nullopt;
  const auto exact = Decimal::parse(row.text(first));
  if (!exact) return std::nullopt;
  Sums sums;
  sums.exact = *exact;
  std::int64_t* counts[] = {&sums.summed, &sums.plus, &sums.minus, &sums.notANumber};
  for (int i = 0; i < 4; ++i) {
    if (row.type(first + 1 + i) != ColumnType::Integer) return std::nullopt;
    *counts[i] = row.integer(first + 1 + i);
  }
  if (!sums.consistent()) return std::nullopt;
  return sums;
}

void bindSums(Statement& stmt, int first, const Sums& sums) {
  stmt.bind(first, std::string_view(sums.exact.toPlainString()));
  const std::int64_t counts[] = {sums.summed, sums.plus, sums.minus, sums.notANumber};
  for (int i = 0; i < 4; ++i) stmt.bind(first + 1 + i, counts[i]);
}

constexpr const char* kInsertRow =
    "INSERT INTO KeptTotals (CompanySymbol, Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";

void insertRow(Statement& insert, const SymbolKey& symbol, char side, const Sums& sums) {
  insert.reset();
  bindSymbol(insert, 1, symbol);
  insert.bind(2, side == 'B' ? "B" : "S");
  bindSums(insert, 3, sums);
  insert.run();
}

// The sums of the rows of one symbol, or of all; nullopt when a row is
// not as the program writes it.
std::optional<TradeTotals> readRows(Database& db, std::optional<std::string_view> symbol) {
  std::string sql =
      "SELECT Side, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber FROM KeptTotals "
      "WHERE Side NOT IN ('Stamp', 'Rows')";
  if (symbol) sql += " AND CompanySymbol = ?1";
  Statement stmt(db, sql);
  if (symbol) stmt.bind(1, *symbol);
  Sums buy, sell;
  while (stmt.step()) {
    const bool isNull = stmt.type(0) == ColumnType::Null;
    const std::string_view side = stmt.text(0);
    const bool purchase = !isNull && side == "B";
    if (!purchase && !(!isNull && side == "S")) return std::nullopt;
    const auto sums = sumsAt(stmt, 1);
    if (!sums) return std::nullopt;
    (purchase ? buy : sell) += *sums;
  }
  return totalsOf(buy, sell);
}

// Adds the changes of groups to the kept rows. false when a kept row is not
// as the program writes it or would go below nothing: then the figures
// were not what the trades add up to.
bool applyChanges(Database& db, const Groups& changes) {
  Statement find(db,
                 "SELECT rowid, ExactSum, Summed, PlusInfinite, MinusInfinite, NotANumber FROM KeptTotals "
                 "WHERE Side = ?2 AND CompanySymbol IS ?1 LIMIT 1");
  Statement update(db,
                   "UPDATE KeptTotals SET ExactSum = ?3, Summed = ?4, PlusInfinite = ?5, "
                   "MinusInfinite = ?6, NotANumber = ?7 WHERE rowid = ?1");
  Statement remove(db, "DELETE FROM KeptTotals WHERE rowid = ?1");
  Statement insert(db, kInsertRow);
  for (const auto& [key, change] : changes) {
    find.reset();
    bindSymbol(find, 1, key.first);
    find.bind(2, key.second == 'B' ? "B" : "S");
    Sums sums;
    std::optional<std::int64_t> rowid;
    if (find.step()) {
      rowid = find.integer(0);
      const auto held = sumsAt(find, 1);
      if (!held) return false;
      sums = *held;
    }
    sums += change;
    if (!sums.consistent()) return false;
    if (sums.summed == 0) {
      if (rowid) {
        remove.reset();
        remove.bind(1, *rowid);
        remove.run();
      }
    } else if (rowid) {
      update.reset();
      update.bind(1, *rowid);
      bindSums(update, 3, sums);
      update.run();
    } else {
      insertRow(insert, key.first, key.second, sums);
    }
  }
  return true;
}

// Adds delta to the kept count of trades. false when the count is not
// there, is not a whole number or would go below nothing.
bool addToRowCount(Database& db, std::int64_t delta) {
  Statement find(db, "SELECT rowid, Summed FROM KeptTotals WHERE Side = 'Rows'");
  if (!find.step() || find.type(1) != ColumnType::Integer) return false;
  const std::int64_t rowid = find.integer(0);
  const std::int64_t rows = find.integer(1) + delta;
  if (rows < 0 || find.step()) return false;
  if (delta == 0) return true;
  Statement update(db, "UPDATE KeptTotals SET Summed = ?2 WHERE rowid = ?1");
  update.bind(1, rowid);
  update.bind(2, rows);
  update.run();
  return true;
}

// The kept count of trades; nullopt when there is none or it is not a
// whole number at or above 0, or there are two.
std::optional<std::int64_t> readRowCount(Database& db) {
  Statement find(db, "SELECT Summed FROM KeptTotals WHERE Side = 'Rows'");
  if (!find.step() || find.type(0) != ColumnType::Integer) return std::nullopt;
  const std::int64_t rows = find.integer(0);
  if (rows < 0 || find.step()) return std::nullopt;
  return rows;
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
  if (db.inTransaction() || db.isReadOnly() || !keptFiguresKey()) return std::nullopt;
  std::optional<LedgerChange> change;
  try {
    change.emplace(db);
  } catch (const DbError&) {
    return std::nullopt;  // locked by another writer, say
  }
  // Only the stamp was written yet, so the header is still the one committed.
  const auto file = db.fileStamp();
  if (!file || !file->rollbackJournal) return std::nullopt;
  std::int64_t rows = 0;
  Kept result{scanGroups(db, rows), false};
  try {
    db.executeScript(kKeptTotalsSchema);
    db.executeScript("DELETE FROM KeptTotals");
    Statement insert(db, kInsertRow);
    for (const auto& [key, sums] : result.groups)
      if (sums.summed != 0) insertRow(insert, key.first, key.second, sums);
    Statement count(db,
                    "INSERT INTO KeptTotals (CompanySymbol, Side, ExactSum, Summed, PlusInfinite, "
                    "MinusInfinite, NotANumber) VALUES (NULL, 'Rows', '0', ?1, 0, 0, 0)");
    count.bind(1, rows);
    count.run();
    Statement stamp(db,
                    "INSERT INTO KeptTotals (CompanySymbol, Side, ExactSum, Summed, PlusInfinite, "
                    "MinusInfinite, NotANumber) VALUES (NULL, 'Stamp', '', ?1, 0, 0, 0)");
    stamp.bind(1, stampAfterCommit(file->changeCounter));
    stamp.run();
    change->commit();
    result.kept = true;
  } catch (const DbError&) {
    // A full disk, say: the figures are still right, only not kept.
  }
  return result;
}

}  // namespace

// ---- public ----------------------------------------------------------------------


std::optional<TradeTotals> readKeptTotals(Database& db, std::optional<std::string_view> symbol) {
  const auto key = keptFiguresKey();
  if (!key) return std::nullopt;
  // The stamp, the header and the rows in one read transaction: nobody can
  // commit between them.
  const ReadSnapshot snapshot(db);
  if (!snapshot.held()) return std::nullopt;
  std::optional<TradeTotals> totals;
  try {
    const auto stamp = readStamp(db);
    if (stamp && trusted(db, *key, *stamp)) totals = readRows(db, symbol);
  } catch (const DbError&) {
    totals.reset();
  }
  return totals;
}

std::optional<std::int64_t> readKeptTradeCount(Database& db) {
  const auto key = keptFiguresKey();
  if (!key) return std::nullopt;
  const ReadSnapshot snapshot(db);
  if (!snapshot.held()) return std::nullopt;
  try {
    const auto stamp = readStamp(db);
    if (stamp && (sealedHereAndCurrent(db, *stamp) || trusted(db, *key, *stamp))) return readRowCount(db);
  } catch (const DbError&) {
    // Not readable as the program keeps it: the trades are counted.
  }
  return std::nullopt;
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

void beginKeptFigures(Database& db) {
  // Without a key nothing is stamped: this commit leaves any stamp behind.
  const auto key = keptFiguresKey();
  if (!key) return;
  try {
    const auto stamp = readStamp(db);
    if (!stamp) return;
    if (sealedHereAndCurrent(db, *stamp) || trusted(db, *key, *stamp))
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

void sealKeptFigures(Database& db) {
  const auto key = keptFiguresKey();
  if (!key) return;
  try {
    const auto stamp = readStamp(db);
    if (!stamp) return;
    Stamp sealed{stamp->counter, sealOf(db, *key, stamp->counter)};
    Statement stmt(db, "UPDATE KeptTotals SET ExactSum = ?1 WHERE Side = 'Stamp'");
    stmt.bind(1, std::string_view(sealed.seal));
    stmt.run();
    sealsWritten().remember(db, sealed);
  } catch (const DbError&) {
    try {
      dropStamp(db);
    } catch (const DbError&) {
      // The stamp keeps a seal that no longer checks: out of date all the same.
    }
  }
}

void forgetKeptFigures(Database& db) {
  if (readStamp(db)) dropStamp(db);
}

void followUndoStep(Database& db, std::int64_t step, bool undone) {
  if (!keptFiguresKey()) return;
  try {
    if (!readStamp(db)) return;
    Statement stmt(db,
                   "SELECT Kind, BeforeCompanySymbol, BeforeBuySell, BeforeQuantity, BeforePrice, "
                   "BeforeCommission, AfterCompanySymbol, AfterBuySell, AfterQuantity, AfterPrice, "
                   "AfterCommission FROM UndoChange WHERE Step = ?1 AND TableName = 'Trade'");
    stmt.bind(1, step);
    // Undone, the rows go back from what the step left to what it found.
    const int found = undone ? 1 : -1;
    Groups changes;
    GroupAdder adder(changes);
    std::int64_t rows = 0;  // trades the step adds, or removes when below 0
    while (stmt.step()) {
      const std::string_view k = stmt.text(0);
      if (k != "Insert") adder.add(stmt, 1, found);
      if (k != "Delete") adder.add(stmt, 6, -found);
      if (k == "Insert") rows -= found;
      if (k == "Delete") rows += found;
    }
    if (!applyChanges(db, changes) || !addToRowCount(db, rows)) dropStamp(db);
  } catch (const DbError&) {
    try {
      dropStamp(db);
    } catch (const DbError&) {
      // The transaction itself failed; its commit will say so.
    }
  }
}

}  // namespace ledger
