#include "ledger_generator.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "ledger/ledger_schema.h"
#include "engine/sqlite_util.h"
#include "engine/value.h"
#include "engine/transaction.h"

namespace ledger::bench {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// Raise when the made-up rows change, so kept files are made again.
constexpr std::string_view kGeneratorVersion = "trades-1";

// Added to the companies the schema starts with, for a few dozen in all.
constexpr std::array<const char*, 26> kMoreSymbols = {
    "AMZN", "GOOG", "META", "NVDA", "CSCO", "PFE", "MRK", "PG",  "CVX", "BA",  "CAT", "MMM", "DIS",
    "MCD",  "NKE",  "HD",   "JPM",  "BAC",  "C",   "WFC", "T",   "VZ",  "PEP", "ADBE", "QCOM", "TXN"};

constexpr sys_days kFirstDay = sys_days{year{1995} / January / 2};
constexpr int kDaysSpanned = 30 * 365;

struct Company {
  std::int64_t id;
  std::string symbol;
  double price;  // walks a little with every trade
};

std::uint64_t fnv1a(std::string_view text, std::uint64_t hash = 14695981039346656037ull) {
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

fs::path dataFolder() {
  if (const char* env = std::getenv("LEDGER_BENCH_DATA"); env && *env) return env;
  return LEDGER_BENCH_DATA_DIR;
}

double cents(double amount) { return std::round(amount * 100.0) / 100.0; }

std::vector<Company> addCompanies(sqlite3* db, std::mt19937_64& random) {
  auto insert = detail::prepare(db, "INSERT INTO Companies (CompanySymbol) VALUES (?1)");
  for (const char* symbol : kMoreSymbols) {
    sqlite3_bind_text(insert.get(), 1, symbol, -1, SQLITE_STATIC);
    detail::step(db, insert.get());
    sqlite3_reset(insert.get());
  }
  std::vector<Company> companies;
  auto select = detail::prepare(db, "SELECT CompanyID, CompanySymbol FROM Companies ORDER BY CompanyID");
  while (detail::step(db, select.get())) {
    const auto* symbol = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 1));
    const double startPrice = 5.0 + static_cast<double>(random() % 29500) / 100.0;
    companies.push_back({sqlite3_column_int64(select.get(), 0), symbol ? symbol : "", startPrice});
  }
  return companies;
}

void addTrades(sqlite3* db, std::int64_t trades, std::vector<Company>& companies, std::mt19937_64& random) {
  auto insert = detail::prepare(db,
                                "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, "
                                "Price, Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  sqlite3_stmt* stmt = insert.get();
  char date[16] = {};
  int dateDay = -1;
  for (std::int64_t i = 0; i < trades; ++i) {
    // Trades are entered as they happen, so dates rise with the row id.
    const int day = static_cast<int>(i * kDaysSpanned / trades);
    if (day != dateDay) {
      const year_month_day ymd{kFirstDay + days{day}};
      std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                    static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
      dateDay = day;
      // The table's date check is off while generating; keep its promise here.
      if (!isIsoDate(date)) throw std::logic_error(std::string("generated a bad date: ") + date);
    }
    const std::uint64_t r = random();
    Company& company = companies[r % companies.size()];
    const bool buy = (r >> 8) & 1;
    const double quantity = static_cast<double>(10 * (1 + (r >> 9) % 100));
    // A step of up to 2% either way, kept within sensible bounds.
    const double step = static_cast<double>(static_cast<int>((r >> 20) % 401) - 200) / 10000.0;
    company.price = std::clamp(cents(company.price * (1.0 + step)), 1.0, 2000.0);
    const double commission = std::max(9.95, cents(quantity * company.price * 0.001));

    sqlite3_bind_int64(stmt, 1, company.id);
    sqlite3_bind_text(stmt, 2, company.symbol.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_double(stmt, 3, quantity);
    sqlite3_bind_text(stmt, 4, buy ? "B" : "S", 1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 5, date, -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 6, company.price);
    sqlite3_bind_double(stmt, 7, commission);
    detail::step(db, stmt);
    sqlite3_reset(stmt);
  }
}

}  // namespace

void generateLedger(const std::string& path, std::int64_t trades) {
  writeLedgerFromSchema(path);
  Database ledger = Database::openFile(path, /*create=*/false);
  sqlite3* db = detail::connectionOf(ledger);
  // Settings of this connection only, none stored in the file: a large
  // cache keeps the index pages in memory while a million rows go in, the
  // file is flushed once at the end, and the rows, valid as they are made,
  // skip the table's checks (reading back every date costs seconds).
  detail::exec(db,
               "PRAGMA cache_size = -262144; PRAGMA synchronous = OFF; "
               "PRAGMA ignore_check_constraints = ON");
  std::mt19937_64 random(20240517u + static_cast<std::uint64_t>(trades));
  WriteTransaction transaction(ledger);
  std::vector<Company> companies = addCompanies(db, random);
  addTrades(db, trades, companies, random);
  transaction.commit();
}

std::string cachedLedger(std::int64_t trades) {
  const std::uint64_t hash = fnv1a(ledgerSchemaSql(), fnv1a(kGeneratorVersion));
  char name[64];
  std::snprintf(name, sizeof name, "ledger-%lld-%012llx.mdb", static_cast<long long>(trades),
                static_cast<unsigned long long>(hash & 0xffffffffffffull));
  const fs::path folder = dataFolder();
  const std::string path = (folder / name).string();
  if (!fileExists(path)) {
    fs::create_directories(folder);
    // Made under another name first, so a run that stops halfway never
    // leaves a short ledger to be reused.
    TempFileBeside temp(path);
    generateLedger(temp.path(), trades);
    temp.commitOver(path);
  }
  return path;
}

LedgerCopy::LedgerCopy(std::int64_t trades) : m_source(cachedLedger(trades)), m_file(m_source) {
  m_file.copyFrom(m_source);
}

}  // namespace ledger::bench
