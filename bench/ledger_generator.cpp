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
#include "ledger/event_tables.h"
#include "ledger/ledger_schema.h"
#include "engine/sqlite_util.h"
#include "engine/value.h"
#include "ledger/price_table.h"
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

// In the kept file's name: raise when the made-up events change.
constexpr const char* kEventsKind = "ledger-events-2";
constexpr int kSplits = 1'000;
constexpr int kDividends = 10'000;

std::string dateText(int day) {
  const year_month_day ymd{kFirstDay + days{day}};
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                static_cast<unsigned>(ymd.day()));
  return date;
}

// Each company's splits come in pairs that undo each other (2:1 then 1:2,
// 3:2 then 2:3): the made-up trades know nothing of splits, and a holding
// cut short by a reverse split would turn the sales after it into short
// sales that no real ledger has. Dividends have tax withheld. Each event
// has a day of its own: no symbol has two of one kind on one day.
void addEvents(sqlite3* db, std::mt19937_64& random) {
  detail::exec(db, kEventTablesSchema);
  std::vector<std::string> symbols;
  auto select = detail::prepare(db, "SELECT CompanySymbol FROM Companies ORDER BY CompanyID");
  while (detail::step(db, select.get()))
    symbols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0)));

  constexpr std::array<std::array<int, 2>, 2> kForward = {{{2, 1}, {3, 2}}};
  std::vector<int> splitsOf(symbols.size());
  auto split = detail::prepare(db, "INSERT INTO Split (CompanySymbol, Date, NewShares, OldShares) VALUES (?1, ?2, ?3, ?4)");
  for (int i = 0; i < kSplits; ++i) {
    const std::string date = dateText(i * kDaysSpanned / kSplits);
    const std::size_t company = random() % symbols.size();
    const int nth = splitsOf[company]++;
    const std::array<int, 2>& ratio = kForward[static_cast<std::size_t>(nth / 2) % kForward.size()];
    const bool undoing = nth % 2 == 1;
    sqlite3_bind_text(split.get(), 1, symbols[company].c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(split.get(), 2, date.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(split.get(), 3, ratio[undoing ? 1 : 0]);
    sqlite3_bind_int(split.get(), 4, ratio[undoing ? 0 : 1]);
    detail::step(db, split.get());
    sqlite3_reset(split.get());
  }
  auto dividend =
      detail::prepare(db, "INSERT INTO Dividend (CompanySymbol, Date, Gross, Withholding) VALUES (?1, ?2, ?3, ?4)");
  for (int i = 0; i < kDividends; ++i) {
    const std::string date = dateText(i * kDaysSpanned / kDividends);
    const double gross = cents(static_cast<double>(100 + random() % 100000) / 100.0);
    sqlite3_bind_text(dividend.get(), 1, symbols[random() % symbols.size()].c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(dividend.get(), 2, date.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(dividend.get(), 3, gross);
    sqlite3_bind_double(dividend.get(), 4, cents(gross * 0.15));
    detail::step(db, dividend.get());
    sqlite3_reset(dividend.get());
  }
}

// In the kept file's name: raise when the made-up prices change.
constexpr const char* kPricedKind = "ledger-prices-1";
constexpr int kPriceDays = 2'500;
constexpr std::int64_t kTradesPerCompany = 1'000;
constexpr sys_days kFirstPriceDay = sys_days{year{2015} / January / 5};  // a Monday

std::string isoText(sys_days day) {
  const year_month_day ymd{day};
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                static_cast<unsigned>(ymd.day()));
  return date;
}

// Companies C0000, C0001, ..., each with a close walking up to 2% a day on
// every weekday, and trades at the close of their day, entered in date order.
void addPricedLedger(sqlite3* db, std::int64_t trades, std::mt19937_64& random) {
  const std::size_t count = static_cast<std::size_t>(std::max<std::int64_t>(1, trades / kTradesPerCompany));
  std::vector<std::string> dates;
  for (sys_days day = kFirstPriceDay; dates.size() < kPriceDays; day += days{1})
    if (weekday{day}.c_encoding() % 6 != 0) dates.push_back(isoText(day));

  std::vector<std::string> symbols(count);
  std::vector<std::int64_t> ids(count);
  auto company = detail::prepare(db, "INSERT INTO Companies (CompanySymbol) VALUES (?1)");
  for (std::size_t c = 0; c < count; ++c) {
    char symbol[32];
    std::snprintf(symbol, sizeof symbol, "C%04zu", c);
    symbols[c] = symbol;
    sqlite3_bind_text(company.get(), 1, symbol, -1, SQLITE_TRANSIENT);
    detail::step(db, company.get());
    sqlite3_reset(company.get());
    ids[c] = sqlite3_last_insert_rowid(db);
  }

  // The closes, by symbol and date as the index orders them, kept for the trades.
  detail::exec(db, kPriceTableSchema);
  std::vector<double> closes(count * kPriceDays);
  auto price = detail::prepare(db, "INSERT INTO Price (CompanySymbol, Date, Close) VALUES (?1, ?2, ?3)");
  for (std::size_t c = 0; c < count; ++c) {
    double close = 5.0 + static_cast<double>(random() % 29500) / 100.0;
    for (std::size_t d = 0; d < kPriceDays; ++d) {
      const double step = static_cast<double>(static_cast<int>(random() % 401) - 200) / 10000.0;
      close = std::clamp(cents(close * (1.0 + step)), 1.0, 2000.0);
      closes[c * kPriceDays + d] = close;
      sqlite3_bind_text(price.get(), 1, symbols[c].c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(price.get(), 2, dates[d].c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_double(price.get(), 3, close);
      detail::step(db, price.get());
      sqlite3_reset(price.get());
    }
  }

  auto insert = detail::prepare(db,
                                "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, "
                                "Price, Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  std::vector<double> held(count);
  for (std::int64_t i = 0; i < trades; ++i) {
    const std::size_t d = static_cast<std::size_t>(i * kPriceDays / trades);
    const std::uint64_t r = random();
    const std::size_t c = r % count;
    double quantity = static_cast<double>(10 * (1 + (r >> 20) % 100));
    // Sold only while held, never more than is held.
    const bool buy = ((r >> 16) & 3) != 0 || held[c] == 0;
    if (!buy) quantity = std::min(quantity, held[c]);
    held[c] += buy ? quantity : -quantity;
    const double close = closes[c * kPriceDays + d];
    sqlite3_bind_int64(insert.get(), 1, ids[c]);
    sqlite3_bind_text(insert.get(), 2, symbols[c].c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_double(insert.get(), 3, quantity);
    sqlite3_bind_text(insert.get(), 4, buy ? "B" : "S", 1, SQLITE_STATIC);
    sqlite3_bind_text(insert.get(), 5, dates[d].c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_double(insert.get(), 6, close);
    sqlite3_bind_double(insert.get(), 7, std::max(9.95, cents(quantity * close * 0.001)));
    detail::step(db, insert.get());
    sqlite3_reset(insert.get());
  }

  detail::exec(db, kEventTablesSchema);
  auto dividend =
      detail::prepare(db, "INSERT INTO Dividend (CompanySymbol, Date, Gross, Withholding) VALUES (?1, ?2, ?3, ?4)");
  for (std::size_t c = 0; c < count; ++c) {
    for (std::size_t d = 60; d < kPriceDays; d += 63) {
      const double gross = cents(static_cast<double>(10 + random() % 500));
      sqlite3_bind_text(dividend.get(), 1, symbols[c].c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(dividend.get(), 2, dates[d].c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_double(dividend.get(), 3, gross);
      sqlite3_bind_double(dividend.get(), 4, cents(gross * 0.15));
      detail::step(db, dividend.get());
      sqlite3_reset(dividend.get());
    }
  }
}

std::string keptLedgerName(std::int64_t trades, const char* kind) {
  const std::uint64_t hash = fnv1a(ledgerSchemaSql(), fnv1a(kGeneratorVersion));
  char name[80];
  std::snprintf(name, sizeof name, "%s-%lld-%012llx.mdb", kind, static_cast<long long>(trades),
                static_cast<unsigned long long>(hash & 0xffffffffffffull));
  return (dataFolder() / name).string();
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
  const std::string path = keptLedgerName(trades, "ledger");
  if (!fileExists(path)) {
    fs::create_directories(dataFolder());
    // Made under another name first, so a run that stops halfway never
    // leaves a short ledger to be reused.
    TempFileBeside temp(path);
    generateLedger(temp.path(), trades);
    temp.commitOver(path);
  }
  return path;
}

std::string cachedLedgerWithEvents(std::int64_t trades) {
  const std::string path = keptLedgerName(trades, kEventsKind);
  if (!fileExists(path)) {
    const std::string source = cachedLedger(trades);
    TempFileBeside temp(path);
    temp.copyFrom(source);
    {
      Database ledger = Database::openFile(temp.path(), /*create=*/false);
      std::mt19937_64 random(20261208u + static_cast<std::uint64_t>(trades));
      WriteTransaction transaction(ledger);
      addEvents(detail::connectionOf(ledger), random);
      transaction.commit();
    }
    temp.commitOver(path);
  }
  return path;
}

std::string cachedPricedLedger(std::int64_t trades) {
  const std::string path = keptLedgerName(trades, kPricedKind);
  if (!fileExists(path)) {
    fs::create_directories(dataFolder());
    TempFileBeside temp(path);
    writeLedgerFromSchema(temp.path());
    {
      Database ledger = Database::openFile(temp.path(), /*create=*/false);
      sqlite3* db = detail::connectionOf(ledger);
      detail::exec(db,
                   "PRAGMA cache_size = -262144; PRAGMA synchronous = OFF; "
                   "PRAGMA ignore_check_constraints = ON");
      std::mt19937_64 random(20261209u + static_cast<std::uint64_t>(trades));
      WriteTransaction transaction(ledger);
      addPricedLedger(db, trades, random);
      transaction.commit();
    }
    temp.commitOver(path);
  }
  return path;
}

LedgerCopy::LedgerCopy(std::int64_t trades) : m_source(cachedLedger(trades)), m_file(m_source) {
  m_file.copyFrom(m_source);
}

}  // namespace ledger::bench
