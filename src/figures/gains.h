#pragma once
// Holdings and realized gains, worked out lot by lot from a ledger's trades.
//
// The trades of each company (each symbol) are taken in date order and,
// within one day, in the order they were entered; the ledger is read in
// that order as a whole, each company keeping its own lots. A purchase costs
// quantity × price + commission; a sale brings in quantity × price −
// commission. What a sale's shares cost depends on the method:
//
// - FIFO: the sale consumes the oldest purchase lots first. From a lot it
//   takes part of, it is charged lot cost × shares taken ÷ shares in the lot
//   (the lot as it stands, after earlier sales took from it), rounded
//   half-even to 4 decimals; the rest of the cost stays with the lot. A lot
//   taken whole gives its whole remaining cost, so cost sold plus cost held
//   always equals what was paid, exactly.
// - Average cost: a sale is charged pool cost × shares sold ÷ shares held
//   just before it, rounded the same way (all of the pool when it sells
//   everything); purchases add to the pool.
//
// A sale of more shares than are held (a short sale) consumes what is
// held and waits, marked with the shares missing, for later purchases of
// the company: by either method, a purchase first covers the company's
// uncovered sales, oldest first. The shares it gives a sale are charged
// purchase cost x shares given / shares bought, rounded as above (the rest
// of the purchase's cost when it gives all it has left); only the shares
// left over become a holding. A sale covered whole counts in the totals,
// in the year of its date; one that no later purchase covers whole stays
// marked with the shares still missing, and its gain stays out of every
// total. A holding that reaches zero starts again from nothing, so the
// average resets.
//
// A split (figures/corporate_events.h) acts before every trade of its
// date, and never rewrites a trade. Every open lot keeps its cost and its
// purchase date while its shares become shares × new ÷ old, rounded
// half-even to 6 decimals; the average-cost pool keeps its cost and its
// shares change the same way. A split makes no gain and no lot of zero
// cost, and later sales are matched in the new shares. A short sale still
// waiting when a split comes waits for its missing shares in new shares
// (5 short before a 2:1 split are covered by 10 bought after it); its
// Uncovered figure stays in the shares it sold.
//
// Two sets of tax rules go further (figures/uk_matching.cpp and
// figures/wash_sales.cpp):
//
// - UK share identification (CostMethod::Uk): a company's trades of one day
//   count as one acquisition and one disposal; a disposal is matched first
//   with that day's acquisition, then with acquisitions of the next 30 days
//   (earliest first, each share once; an acquisition gives first to its own
//   day's disposal), then with the pool of all other shares at its average
//   cost (kept and split as the average method keeps its pool); what is
//   still missing waits for later acquisitions, as a short sale does. Shares
//   matched by the first two rules never enter the pool. One sale row per
//   company and disposal day, its rules named in `rule`.
// - US wash sales (with FIFO only): a lot taken at a loss has that loss
//   disallowed for as many of its shares as other shares of the company
//   were bought within 30 days before or after the sale (taken in the
//   order bought, each once); the loss disallowed is added to the cost of
//   those replacement shares, split off their lot.
//
// Every figure is exact (Decimal); stored doubles are taken as the shortest
// decimal text that reads back to them.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "figures/corporate_events.h"
#include "figures/decimal.h"
#include "figures/tax_years.h"
#include "figures/trade.h"
#include "figures/work_progress.h"

namespace ledger {

enum class CostMethod { Fifo, Average, Uk };

// "fifo", "average" and "uk", as the command line spells them.
std::string_view costMethodName(CostMethod method);
std::optional<CostMethod> costMethodFromName(std::string_view name);

// How gains are worked out: the method, the wash-sale rule (FIFO only) and
// the years the totals are summed by.
struct GainsRules {
  CostMethod method = CostMethod::Fifo;
  bool washSales = false;
  TaxYears taxYears = TaxYears::Calendar;

  GainsRules() = default;
  // A method alone, as most callers ask.
  GainsRules(CostMethod m) : method(m) {}  // NOLINT(google-explicit-constructor)
  GainsRules(CostMethod m, bool wash, TaxYears years) : method(m), washSales(wash), taxYears(years) {}
  // Wash sales go with FIFO lots only.
  bool valid() const { return !washSales || method == CostMethod::Fifo; }
};

// One trade as the gains are worked from it.
struct GainsTrade {
  std::string symbol;
  std::string date;  // YYYY-MM-DD
  TradeSide side = TradeSide::Buy;
  Decimal quantity;
  Decimal price;
  Decimal commission;
};

struct SaleGain {
  std::string date;
  std::string symbol;
  Decimal shares;
  Decimal proceeds;  // shares × price − commission
  Decimal cost;      // what the shares that were held had cost
  Decimal gain;      // proceeds − cost
  // FIFO: the dates of the purchase lots the sale took from, oldest first,
  // one per lot, separated by spaces. Empty for the average method.
  std::string lots;
  // Shares sold beyond what was held; 0 for a covered sale.
  Decimal uncoveredShares;
  // UK method: the rules that matched its shares, of "same-day 30-day pool
  // later" in that order; empty for the other methods.
  std::string rule;
  // Wash sales: the loss not allowed, above zero or 0; the gain that
  // counts is gain + disallowed.
  Decimal disallowed;

  bool covered() const { return uncoveredShares.isZero(); }
};

struct Holding {
  std::string symbol;
  Decimal shares;
  Decimal cost;  // of the shares held
  // cost ÷ shares, rounded half-even to 4 decimals; nullopt when none are held.
  std::optional<Decimal> averageCost;
  Decimal realizedGain;  // of the covered sales to date, disallowed losses added back
  // The company's dividends to date after the tax withheld (figures/income.h).
  Decimal netIncome;
};

struct YearGains {
  int year = 0;  // a UK tax year by the year it starts (figures/tax_years.h)
  std::vector<std::pair<std::string, Decimal>> companies;  // by symbol
  Decimal total;
};

// A row of Trade that cannot be a trade of the report (no date, no side,
// a quantity that is not a positive number, ...). It is left out and listed.
struct SkippedTrade {
  std::int64_t rowid = 0;
  std::string symbol;
  std::string date;
  std::string reason;
};

struct GainsReport {
  CostMethod method = CostMethod::Fifo;
  bool washSales = false;
  TaxYears taxYears = TaxYears::Calendar;
  // By date; on one day in entry order. Empty when the sales were handed
  // to a SaleSink instead.
  std::vector<SaleGain> sales;
  // Every company with a trade, by symbol, held or sold out.
  std::vector<Holding> holdings;
  // By year; years with covered sales only. Each sums gain + disallowed.
  std::vector<YearGains> years;
  std::vector<SkippedTrade> skipped;
  // Splits and dividends that could not be used, left out.
  std::vector<SkippedEvent> skippedEvents;
  std::size_t uncoveredSales = 0;
};

// Takes each sale as it is worked out, in report order, instead of the
// report keeping them all: a report written as it goes, or one that needs
// only the holdings and the years, then holds no list of every sale. A
// sale that a later purchase may still cover is final only then, so it and
// the sales after it are held back until it is (addStored() knows a
// company's last purchase; trades fed through add() wait until finish()).
// The sale passed is valid during the call only.
using SaleSink = std::function<void(const SaleGain&)>;

// A number as a ledger stores it: a whole number or a double.
struct StoredNumber {
  union {
    std::int64_t whole;
    double real;
  };
  bool isWhole;
};

// Works a report out from trades fed one at a time in date order and,
// within a day, in entry order; or from a whole ledger's trades in any
// order (addStored).
class GainsCalculator {
 public:
  // Keeps the sales in the report, or hands each to onSale when one is given.
  // REQUIRES: rules.valid().
  explicit GainsCalculator(GainsRules rules, SaleSink onSale = {});

  // Room for the sales of this many trades, so that a long ledger's sales
  // are not moved as they grow (an upper bound costs address space only).
  // A hint: when the room cannot be had, the sales grow as they come.
  void expectTrades(std::size_t trades);

  // REQUIRES: trade comes in the order above; quantity > 0. Throws
  // std::invalid_argument when the order is broken or the date is not a
  // date written YYYY-MM-DD. The UK method and wash sales look ahead 30
  // days: they keep the trades and work them out in finish().
  void add(const GainsTrade& trade);
  void skip(SkippedTrade trade);

  // A split, either way in: with add(), before the trades of its date;
  // with addStored(), in any order before finish(). A split of a symbol
  // that has no trade yet changes nothing. Throws std::invalid_argument
  // when a trade of its date or later came already, the date is not a date
  // written YYYY-MM-DD, or a side of the ratio is not above zero.
  void addSplit(const StockSplit& split);

  // The other way in, for a whole ledger read at once (ledger/gains_report.h):
  // its trades in any order, each with the row id that orders a day's
  // trades, kept as stored (48 bytes a trade) and worked out by finish() in
  // report order. As each company's last purchase is then known, a short
  // sale is final as soon as no purchase follows it.
  // day is the trade's date as dayNumber() gives it.
  // REQUIRES: not mixed with add(); quantity > 0, price >= 0.
  void addStored(std::int64_t rowid, std::string_view symbol, std::uint32_t day, TradeSide side,
                 const StoredNumber& quantity, const StoredNumber& price, const StoredNumber& commission);
  // Room for this many addStored() trades (and their sales: expectTrades).
  void expectStoredTrades(std::size_t trades);
  // Told, as finish() works out the addStored() trades, how many are done
  // of how many; it may throw WorkStopped, which leaves the calculator
  // good for nothing but destruction.
  void setProgress(WorkProgress progress) { m_progress = std::move(progress); }

  GainsReport finish();

  // A date as the number YYYYMMDD: it orders as the ISO text does.
  // REQUIRES: isIsoDate(date).
  static std::uint32_t dayNumber(std::string_view date);

 private:
  // A date as the number YYYYMMDD: it orders as the ISO text does.
  using Day = std::uint32_t;
  struct Lot {
    Day day;
    // Wash sales: replacement shares, whose cost carries a disallowed loss
    // and which replace no other sale's shares.
    bool replacement = false;
    // Wash sales: how many replacing parts split off this lot wait in the
    // company's pieces, to be sold before the lot's own shares. (Here it
    // fills the room before the numbers: a lot is 80 bytes.)
    std::uint32_t pieces = 0;
    Decimal shares;
    Decimal cost;
  };
  static_assert(sizeof(Lot) == 80);
  // Shares of a purchase still to come that a rule has claimed: under the
  // UK method by a disposal's 30-day rule (cost: the cost they take), with
  // wash sales as replacement shares (cost: the loss they carry). In the
  // shares of the purchase's day.
  struct Claim {
    Day day;
    std::size_t position;  // in the company's positions
    Decimal shares;
    Decimal cost;
  };
  // A company's trades of one day under the UK method.
  struct DayTrades {
    std::size_t purchases = 0;
    Decimal bought, boughtCost, sold, proceeds;
  };
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  // A short sale that later purchases may still cover: its number (see
  // m_saleCount), and the shares it misses in the shares of today, which
  // are its own times splitNew ÷ splitOld, the splits since it composed.
  struct OpenSale {
    std::size_t number;
    Decimal missing;
    Decimal splitNew = Decimal::fromInt(1);
    Decimal splitOld = Decimal::fromInt(1);
  };
  struct PendingSplit {
    Day day;
    std::string symbol;
    Decimal newShares;
    Decimal oldShares;
  };
  struct Company {
    std::string symbol;
    std::deque<Lot> lots;  // FIFO only, oldest first
    // Wash sales: the replacing parts split off lots (each a replacement lot
    // of its lot's date), in the order of their lots. Kept apart so that a
    // split appends instead of inserting into the middle of lots.
    std::deque<Lot> pieces;
    Decimal heldShares;
    Decimal heldCost;
    Decimal realized;
    std::vector<std::pair<int, Decimal>> realizedByYear;  // by year
    // The sales still short of shares that later purchases may cover, by
    // their number (see m_saleCount), oldest first.
    std::deque<OpenSale> openSales;
    // Purchases still to come; kUnknown when the trades are fed one by one.
    std::size_t purchasesLeft = kUnknown;
    // The rules that look ahead: where the company's trades lie in
    // m_stored (wash sales: its purchases; UK: all its trades), the first
    // not yet worked out, and the claims on those to come, by position.
    std::vector<std::uint32_t> positions;
    std::size_t nextPosition = 0;
    std::deque<Claim> claims;
    // Nothing before this position has shares left to claim.
    std::size_t firstUnclaimed = 0;
    // Wash sales: the lots taken from the front so far, and the lot (counted
    // from the first ever held) before which every lot of the last sale's
    // window already replaces. Pieces are not counted.
    std::size_t lotsTaken = 0;
    std::size_t replacedThrough = 0;
  };
  // A sale held back from the sink until it is final.
  struct HeldSale {
    SaleGain sale;
    bool open = false;
  };

  // The company of symbol, added when new; its index in m_companies.
  std::size_t companyIndex(std::string_view symbol);
  // The work of add() once the company and the day are known; the stored
  // trades come this way, without a text per trade.
  void addTrade(std::size_t company, Day day, TradeSide side, const Decimal& quantity, const Decimal& price,
                const Decimal& commission);
  // purchases: how many of the company's trades the purchase stands for.
  void buy(Company& company, Day day, const Decimal& quantity, const Decimal& cost, std::size_t purchases = 1);
  void sell(Company& company, Day day, const Decimal& quantity, const Decimal& proceeds);
  // A sale's row begun, and counted in once its cost is known.
  SaleGain& startSale(Company& company, Day day, const Decimal& quantity, const Decimal& proceeds);
  void endSale(Company& company, SaleGain& sale);
  // The rest of a purchase, once it covered short sales: a lot, or the pool.
  void hold(Company& company, Day day, const Decimal& shares, const Decimal& cost);
  // New ÷ old shares of the company's splits after one day up to another.
  std::pair<Decimal, Decimal> splitsBetween(const std::string& symbol, Day after, Day through) const;

  // UK share identification (uk_matching.cpp).
  void workOutUk();
  void ukDay(Company& company, Day day, const DayTrades& trades);
  // The day's trades of the company from position on; the position after them.
  std::size_t ukDayTrades(const Company& company, std::size_t position, DayTrades& trades) const;
  // Matches wanted shares of a disposal on day with the next 30 days'
  // acquisitions; adds their cost to sale, and returns the shares still wanted.
  Decimal ukThirtyDays(Company& company, Day day, Decimal wanted, SaleGain& sale);

  // Wash sales (wash_sales.cpp).
  void indexPurchases();
  // The lots a sale on day took (m_taken) were at a loss: disallows what
  // replacement shares cover.
  void disallowLosses(Company& company, Day day, SaleGain& sale);
  // A purchase with shares claimed as replacements: the claimed lot first.
  void holdClaimed(Company& company, Day day, const Decimal& shares, const Decimal& cost);
  // The splits up to and including day, applied in date order.
  void applySplitsThrough(Day day);
  void split(Company& company, const Decimal& newShares, const Decimal& oldShares);
  // Counts a sale covered whole into its company's totals.
  static void realize(Company& company, const SaleGain& sale, TaxYears years);
  // The sale numbered n. REQUIRES: kept, or still held back.
  SaleGain& saleNumbered(std::size_t n);
  // The company's sales can be covered no further.
  void closeOpenSales(Company& company);
  // Hands on the held-back sales that are final, up to the first that is not.
  void handOnFinalSales();
  // Works out the trades addStored() kept, in report order.
  void addStoredTrades();

  GainsReport m_report;
  SaleSink m_onSale;
  SaleGain m_sale;  // the sale being handed on, its texts' room kept
  std::deque<HeldSale> m_held;  // the sales numbered m_saleCount - size() on
  std::size_t m_saleCount = 0;
  Day m_lastDay = 0;
  std::vector<Company> m_companies;
  std::unordered_map<std::string, std::size_t> m_companyIndex;  // by symbol
  std::size_t m_lastCompany = 0;  // the one looked up last, tried first
  // By date; those before m_nextSplit are applied.
  std::vector<PendingSplit> m_splits;
  std::size_t m_nextSplit = 0;

  // A trade addStored() kept: 48 bytes, so that a million of them are
  // quickly written and sorted; each number a whole number or a double as
  // its bit in `whole` says.
  struct StoredTrade {
    enum Number { kQuantity, kPrice, kCommission };
    std::int64_t rowid;
    Day day;
    std::uint32_t company;
    std::uint64_t numbers[3];
    TradeSide side;
    std::uint8_t whole;

    void set(Number which, const StoredNumber& n);
    // exact: the numbers add() kept for trades it could not work out yet.
    Decimal value(Number which, const std::vector<Decimal>& exact) const;
  };
  static_assert(sizeof(StoredTrade) == 48);
  std::vector<StoredTrade> m_stored;
  bool m_storedInOrder = true;
  std::vector<Decimal> m_exact;  // see StoredTrade::value
  bool m_washSales = false;
  // The lots the sale being worked out took, for the wash-sale rule.
  std::vector<Lot> m_taken;
  WorkProgress m_progress;
};

// What the report must say besides its rows, one line each: the uncovered
// sales, the trades left out. Empty when there is nothing to say.
std::vector<std::string> gainsNotes(const GainsReport& report);

}  // namespace ledger
