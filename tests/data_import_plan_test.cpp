// Planning an import: broker files of several dialects through the mapping
// and the row checks, the mapping from header names and from --map, and
// duplicates against the ledger.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"
#include "engine/value.h"

namespace ledger {
namespace {

std::string fileText(const std::string& name) {
  std::ifstream in(std::string(LEDGER_SOURCE_DIR) + "/tests/data/import/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A trade as one line, so that tables of expected trades stay short.
std::string line(const Trade& t) {
  return t.symbol + " " + t.date + " " + sideCode(t.side) + " " + formatNumber(t.quantity) + " " +
         formatNumber(t.price) + " " + formatNumber(t.commission);
}

// Each note as "row verdict field".
std::vector<std::string> notes(const ImportPlan& plan) {
  std::vector<std::string> out;
  for (const RowNote& n : plan.skipped) out.push_back(std::to_string(n.row) + " skipped");
  for (const RowNote& n : plan.bad) out.push_back(std::to_string(n.row) + " bad " + n.field);
  for (const RowNote& n : plan.duplicates) out.push_back(std::to_string(n.row) + " duplicate");
  std::sort(out.begin(), out.end());
  return out;
}

struct DialectCase {
  const char* name;
  std::string text;   // the file's text, or "@file" for a file of tests/data/import
  const char* map;    // --map text, or "" to guess from the header
  const char* dateFormat;  // "" to guess from the data
  bool decimalComma = false;
  bool sideFromSign = false;
  char delimiter = ',';  // what detection must find
  std::vector<std::string> trades;
  std::vector<std::string> notes;
};

class ImportDialectTest : public ::testing::TestWithParam<DialectCase> {};

TEST_P(ImportDialectTest, PlansTheTradesAndNotesEveryOtherRow) {
  const DialectCase& c = GetParam();
  const std::string text = c.text.starts_with("@") ? fileText(c.text.substr(1)) : c.text;
  ASSERT_FALSE(text.empty());
  const char delimiter = detectCsvDelimiter(text);
  EXPECT_EQ(delimiter, c.delimiter);
  const std::vector<CsvRecord> records = readCsv(text, delimiter).records;
  ImportOptions options;
  options.hasHeader = detectCsvHeader(records);
  ASSERT_TRUE(options.hasHeader);
  if (*c.map) {
    auto parsed = parseMappingOption(c.map, &records[0], records[0].size());
    ASSERT_TRUE(std::holds_alternative<ImportMapping>(parsed)) << std::get<std::string>(parsed);
    options.mapping = std::get<ImportMapping>(parsed);
  } else {
    options.mapping = guessMapping(records[0]);
  }
  if (*c.dateFormat) {
    options.dateFormat = *dateFormatFromName(c.dateFormat);
  } else {
    std::vector<std::string> dates;
    for (std::size_t r = 1; r < records.size(); ++r)
      if (*options.mapping[ImportField::Date] < records[r].size())
        dates.push_back(records[r][*options.mapping[ImportField::Date]]);
    const auto guessed = guessDateFormat(dates);
    ASSERT_TRUE(guessed.has_value());
    options.dateFormat = *guessed;
  }
  options.decimalComma = c.decimalComma;
  options.sideFromSign = c.sideFromSign;
  ASSERT_EQ(missingFields(options), "");

  const ImportPlan plan = planImport(records, options, LedgerIndex{});
  std::vector<std::string> trades;
  for (const Trade& t : plan.trades) trades.push_back(line(t));
  EXPECT_EQ(trades, c.trades);
  EXPECT_EQ(notes(plan), c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Brokers, ImportDialectTest,
    ::testing::Values(
        // Quoted names with commas, "$1,259.59", US dates, a dividend, a
        // line break inside a quoted field, a blank line and a totals footer.
        DialectCase{"us_broker", "@us_broker.csv", "", "", false, false, ',',
                    {"AAPL 2024-03-15 B 10 172.5 4.95", "MSFT 2024-03-18 S 3 419.98 0",
                     "NVDA 2024-04-02 B 2 1259.59 0", "AAPL 2024-04-05 S 5 170 1"},
                    {"4 skipped", "7 skipped", "8 skipped"}},
        // Semicolons, decimal commas, euro signs, DD.MM.YYYY, German column
        // names chosen by name, a symbol with blanks, an impossible date.
        DialectCase{"eu_broker", "@eu_broker.csv",
                    "symbol=Wertpapier,date=Datum,side=Typ,quantity=St\xC3\xBC" "ck,price=Kurs,commission=Provision",
                    "DD.MM.YYYY", true, false, ';',
                    {"SAP 2024-01-02 B 15 1259.59 9.9", "SAP 2024-01-15 S 5 145.2 9.9", "SIE 2024-01-31 B 12 170.5 0"},
                    {"5 bad date"}},
        // Tabs, two-digit years guessed as DD/MM/YY, the side from the
        // quantity's sign, commissions written negative.
        DialectCase{"signed_tab", "@signed_tab.csv", "", "", false, true, '\t',
                    {"IBM 2023-01-12 B 100 163.55 1", "IBM 2024-03-02 S 40 185.1 1", "XOM 1999-06-30 B 25 34.5 0"},
                    {"5 skipped"}},
        // Columns by number, in another order.
        DialectCase{"by_number", "Price,Qty,Sym,When,Side\n10,1,KO,2024-01-02,S\n", "symbol=3,date=4,side=5,quantity=2,price=1",
                    "YYYY-MM-DD", false, false, ',', {"KO 2024-01-02 S 1 10 0"}, {}},
        // Bad fields are named; an unknown side word is skipped, not bad.
        DialectCase{"bad_fields", "Symbol,Date,Side,Quantity,Price,Commission\n"
                                  "A,2024-01-02,B,ten,1,0\n"
                                  "B,2024-01-02,B,1,1.2.3,0\n"
                                  ",2024-01-02,B,1,1,0\n"
                                  "C,2024-13-01,B,1,1,0\n"
                                  "D,2024-01-02,B,1,1,x\n"
                                  "E,2024-01-02,B,,1,0\n"
                                  "F,2024-01-02,B,-1,1,0\n"
                                  "G,2024-01-02,Transfer,1,1,0\n"
                                  "H,2024-01-02,B,1,,0\n"
                                  "I,2024-01-02,S,-2,3,0\n",
                    "", "YYYY-MM-DD", false, false, ',', {"I 2024-01-02 S 2 3 0"},
                    {"10 bad price", "2 bad quantity", "3 bad price", "4 bad symbol", "5 bad date", "6 bad commission",
                     "7 bad quantity", "8 bad quantity", "9 skipped"}},
        // The entry form's limits hold for imported numbers too.
        DialectCase{"limits", "Symbol,Date,Side,Quantity,Price,Commission\n"
                              "A,2024-01-02,B,1000000000000,1000000000000,1000000000000\n"
                              "B,2024-01-02,B,1000000000001,1,0\n"
                              "C,2024-01-02,B,1,\"1,000,000,000,000.5\",0\n"
                              "D,2024-01-02,B,1,1,1e13\n",
                    "", "YYYY-MM-DD", false, false, ',', {"A 2024-01-02 B 1000000000000 1000000000000 1000000000000"},
                    {"3 bad quantity", "4 bad price", "5 bad commission"}},
        // Rows shorter than the mapping read as empty cells.
        DialectCase{"short_rows", "Symbol,Date,Side,Quantity,Price\nA,2024-01-02,B,1,2\nTotals,3\n", "",
                    "YYYY-MM-DD", false, false, ',', {"A 2024-01-02 B 1 2 0"}, {"3 skipped"}},
        // A line break in a quoted symbol, a zero-width space in another.
        DialectCase{"unseen_characters_in_symbols",
                    "Symbol,Date,Side,Quantity,Price\n\"MU\nLTI\",2024-01-02,B,1,2\nA\xE2\x80\x8B" "B,2024-01-02,B,1,2\n"
                    "OK,2024-01-02,B,1,2\n",
                    "", "YYYY-MM-DD", false, false, ',', {"OK 2024-01-02 B 1 2 0"},
                    {"2 bad symbol", "3 bad symbol"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImportPlanTest, TrimsSymbolsAndListsNewOnesOnceInFileOrder) {
  LedgerIndex ledger;
  ledger.companies = {{"AAPL", 7}};
  ImportOptions options;
  options.mapping = guessMapping({"Symbol", "Date", "Side", "Quantity", "Price"});
  const std::vector<CsvRecord> records = {{"Symbol", "Date", "Side", "Quantity", "Price"},
                                          {" ZZZ ", "2024-01-02", "B", "1", "1"},
                                          {"AAPL", "2024-01-02", "B", "1", "1"},
                                          {"ABC", "2024-01-02", "B", "1", "1"},
                                          {"ZZZ", "2024-01-03", "S", "1", "1"}};
  const ImportPlan plan = planImport(records, options, ledger);
  ASSERT_EQ(plan.trades.size(), 4u);
  EXPECT_EQ(plan.trades[0].symbol, "ZZZ");
  EXPECT_EQ(plan.trades[0].companyId, 0);
  EXPECT_EQ(plan.trades[1].companyId, 7);
  EXPECT_EQ(plan.newSymbols, (std::vector<std::string>{"ZZZ", "ABC"}));
  EXPECT_EQ(plan.tradeRows, (std::vector<std::size_t>{2, 3, 4, 5}));
}

TEST(ImportPlanTest, DuplicatesOfTheLedgerAreSkippedUnlessKept) {
  LedgerIndex ledger;
  ledger.addTrade({1, "AAPL", "2024-01-02", TradeSide::Buy, 10, 100.1, 5});
  ImportOptions options;
  options.mapping = guessMapping({"Symbol", "Date", "Side", "Quantity", "Price", "Commission"});
  const std::vector<CsvRecord> records = {
      {"Symbol", "Date", "Side", "Quantity", "Price", "Commission"},
      {"AAPL", "2024-01-02", "Buy", "10", "$100.10", "5.00"},  // the same trade written otherwise
      {"AAPL", "2024-01-02", "Sell", "10", "100.1", "5"},      // other side
      {"AAPL", "2024-01-02", "Buy", "10", "100.1", "5.01"},    // other commission
      {"AAPL", "2024-01-03", "Buy", "10", "100.1", "5"},       // other date
      {"AAPLX", "2024-01-02", "Buy", "10", "100.1", "5"},      // other symbol
      {"AAPL", "2024-01-02", "Buy", "11", "100.1", "5"},       // other quantity
  };
  ImportPlan plan = planImport(records, options, ledger);
  EXPECT_EQ(notes(plan), (std::vector<std::string>{"2 duplicate"}));
  EXPECT_EQ(plan.trades.size(), 5u);

  options.keepDuplicates = true;
  plan = planImport(records, options, ledger);
  EXPECT_TRUE(plan.duplicates.empty());
  EXPECT_EQ(plan.trades.size(), 6u);
  EXPECT_EQ(plan.keptDuplicates, 1u);
}

TEST(ImportPlanTest, BadRowsBlockUntilLeftOut) {
  ImportOptions options;
  options.mapping = guessMapping({"Symbol", "Date", "Side", "Quantity", "Price"});
  const std::vector<CsvRecord> records = {{"Symbol", "Date", "Side", "Quantity", "Price"},
                                          {"A", "2024-02-30", "B", "1", "1"},
                                          {"B", "2024-02-03", "B", "1", "1"}};
  EXPECT_TRUE(planImport(records, options, {}).blocked());
  options.dropBadRows = true;
  const ImportPlan plan = planImport(records, options, {});
  EXPECT_FALSE(plan.blocked());
  EXPECT_EQ(plan.trades.size(), 1u);
  EXPECT_EQ(reportLines(plan).front(), "Row 2: left out, bad date: \"2024-02-30\" is not a date written YYYY-MM-DD");
}

TEST(ImportPlanTest, ReportListsRowsInOrderThenNewCompaniesAndCounts) {
  ImportOptions options;
  options.mapping = guessMapping({"Symbol", "Date", "Side", "Quantity", "Price"});
  const std::vector<CsvRecord> records = {{"Symbol", "Date", "Side", "Quantity", "Price"},
                                          {"A", "2024-01-02", "Dividend", "", ""},
                                          {"A", "2024-01-02", "B", "x", "1"},
                                          {"A", "2024-01-02", "B", "1", "1"}};
  EXPECT_EQ(reportLines(planImport(records, options, {})),
            (std::vector<std::string>{
                "Row 2: skipped, not a trade: \"Dividend\" is not a buy or a sell",
                "Row 3: bad quantity: \"x\" is not a number",
                "New companies: A",
                "1 trade to import; 1 row skipped, 1 bad row, 0 duplicates skipped.",
                "Nothing can be imported while there are bad rows: fix the mapping or leave the bad rows out."}));
}

struct GuessCase {
  const char* name;
  CsvRecord header;
  std::string expected;  // mappingToText
};

class MappingGuessTest : public ::testing::TestWithParam<GuessCase> {};

TEST_P(MappingGuessTest, GuessesFromHeaderNames) {
  EXPECT_EQ(mappingToText(guessMapping(GetParam().header)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MappingGuessTest,
    ::testing::Values(
        GuessCase{"ledger_export", {"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell", "Date", "Price", "Commission"},
                  "symbol=2,date=5,side=4,quantity=3,price=6,commission=7"},
        GuessCase{"broker", {"Trade Date", "Action", "Symbol", "Description", "Quantity", "Price", "Fees & Comm", "Amount"},
                  "symbol=3,date=1,side=2,quantity=5,price=6,commission=7"},
        GuessCase{"short_names", {"Ticker", "Qty", "B/S", "Dt", "Unit Price"},
                  "symbol=1,date=none,side=3,quantity=2,price=5,commission=none"},
        // The trade date is preferred to the settlement date whatever the order.
        GuessCase{"two_dates", {"Settlement Date", "Trade Date", "Symbol", "Side", "Shares", "Price ($)"},
                  "symbol=3,date=2,side=4,quantity=5,price=6,commission=none"},
        GuessCase{"nothing_known", {"a", "b"}, "symbol=none,date=none,side=none,quantity=none,price=none,commission=none"}),
    [](const auto& info) { return std::string(info.param.name); });

struct MappingOptionCase {
  const char* name;
  const char* option;
  bool withHeader;
  std::string expected;  // mappingToText, or the error text
};

class MappingOptionTest : public ::testing::TestWithParam<MappingOptionCase> {};

TEST_P(MappingOptionTest, Parses) {
  const CsvRecord header = {"Sym", "Trade Date", "Side", "Qty", "Price", "Fee", "7"};
  const auto parsed = parseMappingOption(GetParam().option, GetParam().withHeader ? &header : nullptr, header.size());
  const std::string got = std::holds_alternative<ImportMapping>(parsed) ? mappingToText(std::get<ImportMapping>(parsed))
                                                                        : std::get<std::string>(parsed);
  EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, MappingOptionTest,
    ::testing::Values(
        MappingOptionCase{"names", "symbol=Sym,date=Trade Date,side=Side,quantity=Qty,price=Price,commission=Fee", true,
                 "symbol=1,date=2,side=3,quantity=4,price=5,commission=6"},
        MappingOptionCase{"numbers", "symbol=1,date=2,side=3,quantity=4,price=5", false,
                 "symbol=1,date=2,side=3,quantity=4,price=5,commission=none"},
        MappingOptionCase{"names_in_other_case", "symbol=sym,date=trade date,side=SIDE,quantity=qty,price=price", true,
                 "symbol=1,date=2,side=3,quantity=4,price=5,commission=none"},
        // A header named "7" is found by name before number 7 is tried.
        MappingOptionCase{"name_before_number", "symbol=7", true,
                 "symbol=7,date=none,side=none,quantity=none,price=none,commission=none"},
        MappingOptionCase{"commission_none", "commission=none", true,
                 "symbol=none,date=none,side=none,quantity=none,price=none,commission=none"},
        MappingOptionCase{"unknown_column", "symbol=Ticker", true,
                 "The column \"Ticker\" for symbol is not in the file (a header name or a number from 1 to 7)."},
        MappingOptionCase{"number_past_the_end", "symbol=8", false,
                 "The column \"8\" for symbol is not in the file (a number from 1 to 7)."},
        MappingOptionCase{"unknown_field", "ticker=1", false,
                 "\"ticker\" is not a field; the fields are symbol, date, side, quantity, price, commission, "
                 "amount and withholding."},
        MappingOptionCase{"twice", "symbol=1,symbol=2", false, "The field symbol is given twice."},
        MappingOptionCase{"no_equals", "symbol", false, "\"symbol\" is not FIELD=COLUMN."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MappingTextTest, ReadsBackWhatItWrites) {
  ImportMapping m;
  m[ImportField::Symbol] = 4;
  m[ImportField::Price] = 0;
  EXPECT_EQ(mappingFromText(mappingToText(m)), m);
  EXPECT_EQ(mappingFromText("symbol=0"), std::nullopt);
  EXPECT_EQ(mappingFromText("bogus=1"), std::nullopt);
}

TEST(MissingFieldsTest, NamesTheFieldsWithoutAColumn) {
  ImportOptions options;
  options.mapping[ImportField::Symbol] = 0;
  EXPECT_EQ(missingFields(options), "No column is chosen for: date, side, quantity, price.");
  options.sideFromSign = true;
  EXPECT_EQ(missingFields(options), "No column is chosen for: date, quantity, price.");
}

}  // namespace
}  // namespace ledger
