#pragma once
// A small ledger whose gains were worked out by hand, and the reports it
// must give, shared by the engine's, the command line's and the window's
// tests.
//
// Five companies. AAA: two buys with commissions, a sale of 120 that takes
// all of the first lot and 20 of the second, a buy on the same day entered
// after that sale, and a sale in the next year. BBB: one lot of 3 sold a
// share at a time (31 / 3 and 20.6667 / 2 round half-even). CCC: half of a
// lot costing 20.0001 (10.00005 rounds to 10.0000). UUU: a sale of 15 while
// 10 are held (short by 5), a buy that covers it and leaves 2 held, a sale
// of those 2, and a sale of 1 that nothing covers. ZZZ: sold out, bought
// again. The rows are entered out of date order.
//
// FIFO, by hand:
//   AAA 2024-03-01 sells 120: lot 2024-01-10 (100, 1005) whole + 20 of lot
//       2024-02-15 (50, 605): 605 x 20 / 50 = 242; cost 1247, proceeds
//       120 x 13 - 6 = 1554, gain 307. Left: 30 for 363, and 30 for 333.
//   AAA 2025-01-05 sells 45: 363 + 333 x 15 / 30 = 529.5; proceeds
//       630 - 4.5 = 625.5; gain 96. Held 15 for 166.5 (11.1 a share).
// Average cost, by hand:
//   AAA 2024-03-01: pool 150 for 1610; 1610 x 120 / 150 = 1288; gain 266;
//       then 30 for 322, + 333 = 60 for 655.
//   AAA 2025-01-05: 655 x 45 / 60 = 491.25; gain 134.25; held 15 for 163.75
//       (10.91666.. = 10.9167 a share).
//   CCC: 20.0001 x 1 / 2 = 10.00005, half-even to 10.0000.
// UUU, the same by either method:
//   2024-04-02 sells 15: the 10 held cost 202 (10 x 20 + 2), 5 short;
//       2024-04-03 buys 7 for 147: 147 x 5 / 7 = 105 covers them, so cost
//       307, proceeds 15 x 25 - 3 = 372, gain 65. Left: 2 for 42.
//   2024-05-01 sells those 2: cost 42, proceeds 44, gain 2.
//   2024-06-01 sells 1 with none held and no purchase after: uncovered,
//       cost 0, gain 30, in no total. Realized 65 + 2 = 67.

#include <string>
#include <vector>

#include "ledger/event_tables.h"
#include "ledger/ledger_open.h"
#include "test_ledger.h"

namespace ledger::test {

inline const std::vector<TradeRow> kGainsTrades = {
    {1, "AAA", 45, "S", "2025-01-05", 14, 4.5},       {1, "AAA", 100, "B", "2024-01-10", 10, 5},
    {4, "UUU", 10, "B", "2024-04-01", 20, 2},         {1, "AAA", 50, "B", "2024-02-15", 12, 5},
    {2, "BBB", 3, "B", "2024-01-02", 10, 1},          {1, "AAA", 120, "S", "2024-03-01", 13, 6},
    {1, "AAA", 30, "B", "2024-03-01", 11, 3},         {2, "BBB", 1, "S", "2024-01-03", 12, 0},
    {4, "UUU", 15, "S", "2024-04-02", 25, 3},         {2, "BBB", 1, "S", "2024-01-04", 12, 0},
    {3, "CCC", 2, "B", "2024-05-01", 10.00005, 0},    {4, "UUU", 7, "B", "2024-04-03", 21, 0},
    {2, "BBB", 1, "S", "2024-01-05", 12, 0},          {3, "CCC", 1, "S", "2024-05-02", 10, 0},
    {4, "UUU", 2, "S", "2024-05-01", 22, 0},          {5, "ZZZ", 10, "B", "2023-06-01", 5, 1},
    {5, "ZZZ", 10, "S", "2023-07-01", 6, 1},          {5, "ZZZ", 10, "B", "2023-08-01", 8, 1},
    {5, "ZZZ", 5, "S", "2023-09-01", 9, 1},          {4, "UUU", 1, "S", "2024-06-01", 30, 0},
};

// The reports as the command line writes them, lines joined by CR LF.
inline const char* const kFifoGainsCsv =
    "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered\r\n"
    "2023-07-01,ZZZ,10,59,51,8,2023-06-01,0\r\n"
    "2023-09-01,ZZZ,5,44,40.5,3.5,2023-08-01,0\r\n"
    "2024-01-03,BBB,1,12,10.3333,1.6667,2024-01-02,0\r\n"
    "2024-01-04,BBB,1,12,10.3334,1.6666,2024-01-02,0\r\n"
    "2024-01-05,BBB,1,12,10.3333,1.6667,2024-01-02,0\r\n"
    "2024-03-01,AAA,120,1554,1247,307,2024-01-10 2024-02-15,0\r\n"
    "2024-04-02,UUU,15,372,307,65,2024-04-01 2024-04-03,0\r\n"
    "2024-05-01,UUU,2,44,42,2,2024-04-03,0\r\n"
    "2024-05-02,CCC,1,10,10,0,2024-05-01,0\r\n"
    "2024-06-01,UUU,1,30,0,30,,1\r\n"
    "2025-01-05,AAA,45,625.5,529.5,96,2024-02-15 2024-03-01,0\r\n";

inline const char* const kAverageGainsCsv =
    "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered\r\n"
    "2023-07-01,ZZZ,10,59,51,8,,0\r\n"
    "2023-09-01,ZZZ,5,44,40.5,3.5,,0\r\n"
    "2024-01-03,BBB,1,12,10.3333,1.6667,,0\r\n"
    "2024-01-04,BBB,1,12,10.3334,1.6666,,0\r\n"
    "2024-01-05,BBB,1,12,10.3333,1.6667,,0\r\n"
    "2024-03-01,AAA,120,1554,1288,266,,0\r\n"
    "2024-04-02,UUU,15,372,307,65,,0\r\n"
    "2024-05-01,UUU,2,44,42,2,,0\r\n"
    "2024-05-02,CCC,1,10,10,0,,0\r\n"
    "2024-06-01,UUU,1,30,0,30,,1\r\n"
    "2025-01-05,AAA,45,625.5,491.25,134.25,,0\r\n";

inline const char* const kFifoHoldingsCsv =
    "Symbol,Shares,Cost,AverageCost,RealizedGain\r\n"
    "AAA,15,166.5,11.1,403\r\n"
    "BBB,0,0,,5\r\n"
    "CCC,1,10.0001,10.0001,0\r\n"
    "UUU,0,0,,67\r\n"
    "ZZZ,5,40.5,8.1,11.5\r\n";

inline const char* const kAverageHoldingsCsv =
    "Symbol,Shares,Cost,AverageCost,RealizedGain\r\n"
    "AAA,15,163.75,10.9167,400.25\r\n"
    "BBB,0,0,,5\r\n"
    "CCC,1,10.0001,10.0001,0\r\n"
    "UUU,0,0,,67\r\n"
    "ZZZ,5,40.5,8.1,11.5\r\n";

// The same as `report holdings` writes them for this ledger, which has no
// prices: the price columns empty.
inline const char* const kFifoHoldingsUnpricedCsv =
    "Symbol,Shares,Cost,AverageCost,RealizedGain,Price,PriceDate,MarketValue,UnrealizedGain\r\n"
    "AAA,15,166.5,11.1,403,,,,\r\n"
    "BBB,0,0,,5,,,,\r\n"
    "CCC,1,10.0001,10.0001,0,,,,\r\n"
    "UUU,0,0,,67,,,,\r\n"
    "ZZZ,5,40.5,8.1,11.5,,,,\r\n";

inline const char* const kAverageHoldingsUnpricedCsv =
    "Symbol,Shares,Cost,AverageCost,RealizedGain,Price,PriceDate,MarketValue,UnrealizedGain\r\n"
    "AAA,15,163.75,10.9167,400.25,,,,\r\n"
    "BBB,0,0,,5,,,,\r\n"
    "CCC,1,10.0001,10.0001,0,,,,\r\n"
    "UUU,0,0,,67,,,,\r\n"
    "ZZZ,5,40.5,8.1,11.5,,,,\r\n";

inline const char* const kFifoYearlyCsv =
    "Year,Symbol,Gain\r\n"
    "2023,ZZZ,11.5\r\n"
    "2023,,11.5\r\n"
    "2024,AAA,307\r\n"
    "2024,BBB,5\r\n"
    "2024,CCC,0\r\n"
    "2024,UUU,67\r\n"
    "2024,,379\r\n"
    "2025,AAA,96\r\n"
    "2025,,96\r\n";

inline const char* const kAverageYearlyCsv =
    "Year,Symbol,Gain\r\n"
    "2023,ZZZ,11.5\r\n"
    "2023,,11.5\r\n"
    "2024,AAA,266\r\n"
    "2024,BBB,5\r\n"
    "2024,CCC,0\r\n"
    "2024,UUU,67\r\n"
    "2024,,338\r\n"
    "2025,AAA,134.25\r\n"
    "2025,,134.25\r\n";

// The note the report carries for the one uncovered sale.
inline const char* const kUncoveredNote =
    "1 sale sold more shares than were held at its date or bought after it; its gain is left out of the "
    "totals.";

// Makes the tables of splits and dividends in the ledger at path and runs
// sql there, to fill them as another writer would.
inline void addEvents(const std::string& path, const std::string& sql) {
  Database db = openLedger(path);
  db.executeScript(kEventTablesSchema);
  db.executeScript(sql);
}

// Dividends, by hand:
//   AAA 2023-06-01: gross 10, 1.5 withheld, net 8.5.
//   AAA 2024-03-01: 20 - 3 = 17.
//   AAA 2024-09-01: 20.5, none withheld; the 2 shares bought with it at
//       10.25 are a trade of their own.
//   BBB 2024-05-01: 7.25 - 1.09 = 6.16.
//   2024: AAA 40.5 - 3 = 37.5; BBB 6.16; the year 47.75 - 4.09 = 43.66.
//   Net to date: AAA 8.5 + 37.5 = 46, BBB 6.16. AAA holds 12 for 100 + 20.5.
inline const std::vector<TradeRow> kIncomeTrades = {
    {1, "AAA", 10, "B", "2023-01-02", 10, 0},
    {1, "AAA", 2, "B", "2024-09-01", 10.25, 0},
    {2, "BBB", 1, "B", "2024-01-02", 5, 0},
};
inline const char* const kIncomeDividendsSql =
    "INSERT INTO Dividend (CompanySymbol, Date, Gross, Withholding, ReinvestQuantity, ReinvestPrice) VALUES "
    "('AAA', '2024-09-01', 20.5, 0, 2, 10.25), ('BBB', '2024-05-01', 7.25, 1.09, NULL, NULL), "
    "('AAA', '2023-06-01', 10, 1.5, NULL, NULL), ('AAA', '2024-03-01', 20, 3, NULL, NULL);";

inline const char* const kIncome2023Csv =
    "2023,AAA,10,1.5,8.5\r\n"
    "2023,,10,1.5,8.5\r\n";
inline const char* const kIncome2024Csv =
    "2024,AAA,40.5,3,37.5\r\n"
    "2024,BBB,7.25,1.09,6.16\r\n"
    "2024,,47.75,4.09,43.66\r\n";
inline const char* const kIncomeHeader = "Year,Symbol,Gross,Withholding,Net\r\n";

}  // namespace ledger::test
