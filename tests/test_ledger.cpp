#include "test_ledger.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "ledger/ledger_schema.h"
#include "engine/sqlite_util.h"
#include "ledger/ledger_open.h"

namespace ledger::test {

namespace fs = std::filesystem;

namespace {

// The tests write and sync ledgers thousands of times. On a disk each sync
// costs milliseconds, on a RAM disk nothing, and nothing the tests check
// depends on it (a full or read-only disk is a tmpfs of its own). A TMPDIR
// that is set wins.
fs::path testFolderBase() {
  std::error_code ec;
  if (!std::getenv("TMPDIR") && fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return fs::temp_directory_path();
}

// SQLite frees a page cache of about 100 KB after every statement that
// needed a temporary table (each INSERT into Trade does, for its CHECK
// lists), and glibc hands it back to the system each time. Where that is
// costly (virtual machines that flush the TLB on each return) it was most of
// the time of the tests that insert many rows. Keeping freed memory changes
// no result.
const bool g_keepFreedMemory = mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1;

}  // namespace

TempDir::TempDir() {
  std::random_device rd;
  for (;;) {
    m_path = testFolderBase() / ("ledger-test-" + std::to_string(rd()));
    if (fs::create_directory(m_path)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::recursive_directory_iterator(m_path, ignored))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(m_path, ignored);
}

void addTrades(Database& db, const std::vector<TradeRow>& trades) {
  for (const TradeRow& t : trades) {
    const Value params[] = {t.companyId, t.symbol, t.quantity, t.side, t.date, t.price, t.commission};
    db.execute("INSERT INTO Trade VALUES (?, ?, ?, ?, ?, ?, ?)", params);
  }
}

void makeLedger(const std::string& path, const std::vector<TradeRow>& trades) {
  writeLedgerFromSchema(path);
  if (trades.empty()) return;
  Database db = openLedger(path);
  db.executeScript("BEGIN");
  addTrades(db, trades);
  db.executeScript("COMMIT");
}

std::vector<std::vector<std::string>> readAll(const std::string& path, const std::string& sql) {
  Database db = Database::openFile(path, false);
  auto stmt = detail::prepare(detail::connectionOf(db), sql);
  std::vector<std::vector<std::string>> rows;
  while (detail::step(detail::connectionOf(db), stmt.get())) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i)
      row.push_back(toDisplayText(detail::columnValue(stmt.get(), i)));
    rows.push_back(row);
  }
  return rows;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace ledger::test
