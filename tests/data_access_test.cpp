// Ledgers in the Access format: recognising the format, reading real files
// of every format through libmdb, and converting a ledger-shaped source
// into a ledger of this program.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "access/access_conversion.h"
#include "access/access_file.h"
#include "access/source_records.h"
#include "transfer/import_plan.h"
#include "test_ledger.h"
#include "engine/value.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

// The real files sit beside the project; a checkout without them skips.
std::string accessFile(const std::string& name) {
  return (fs::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" / name).string();
}

#define REQUIRE_ACCESS_FILE(name)                                                                             \
  if (!fs::exists(accessFile(name)))                                                                          \
  GTEST_SKIP() << "the Access test files are not here (" << accessFile(name)                                  \
               << "); they come with the project's shared test data"

// ---- the format, by the first bytes --------------------------------------

struct FormatCase {
  const char* file;
  std::optional<AccessFormat> expected;
};

class AccessFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AccessFormatTest, RecognisedByHeaderWhateverTheName) {
  REQUIRE_ACCESS_FILE(GetParam().file);
  test::TempDir dir;
  // Renamed to a name that says nothing of the format.
  const std::string copy = dir.file("renamed.txt");
  fs::copy_file(accessFile(GetParam().file), copy);
  EXPECT_EQ(accessFormatOf(copy), GetParam().expected);
  EXPECT_EQ(accessFormatOf(accessFile(GetParam().file)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, AccessFormatTest,
                         ::testing::Values(FormatCase{"nwind.mdb", AccessFormat::Jet3},
                                           FormatCase{"DateTestDatabase.mdb", AccessFormat::Jet4},
                                           FormatCase{"ASampleDatabase.accdb", AccessFormat::Ace}));

TEST(AccessFormatTest, OtherFilesAreNotAccess) {
  test::TempDir dir;
  test::makeLedger(dir.file("ledger.mdb"));
  EXPECT_EQ(accessFormatOf(dir.file("ledger.mdb")), std::nullopt);
  std::ofstream(dir.file("empty.mdb")).flush();
  EXPECT_EQ(accessFormatOf(dir.file("empty.mdb")), std::nullopt);
  std::ofstream(dir.file("short.mdb")) << std::string("\x00\x01\x00\x00Standard Jet", 16);
  EXPECT_EQ(accessFormatOf(dir.file("short.mdb")), std::nullopt);
  EXPECT_EQ(accessFormatOf(dir.file("missing.mdb")), std::nullopt);
  EXPECT_THROW(openAccessFile(dir.file("ledger.mdb")), SourceError);
}

// ---- reading every column type -------------------------------------------

struct CellCase {
  const char* name;
  const char* file;
  const char* table;
  std::size_t row;
  const char* column;
  Value expected;
};

class AccessReadTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(AccessReadTest, ReadsTheValueExactly) {
  const CellCase& c = GetParam();
  REQUIRE_ACCESS_FILE(c.file);
  const auto source = openAccessFile(accessFile(c.file));
  const SourceTable table = source->readTable(c.table);
  const auto col = std::find(table.columns.begin(), table.columns.end(), c.column);
  ASSERT_NE(col, table.columns.end()) << c.column;
  ASSERT_LT(c.row, table.rows.size());
  EXPECT_EQ(table.rows[c.row][static_cast<std::size_t>(col - table.columns.begin())], c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ColumnTypes, AccessReadTest,
    ::testing::Values(
        // Jet 4: dates before 1900, before 1000 and in 9999; memo text with a line break.
        CellCase{"datetime_2021", "DateTestDatabase.mdb", "DateTest", 0, "DateTimeCol", std::string("2021-12-02")},
        CellCase{"datetime_9999", "DateTestDatabase.mdb", "DateTest", 1, "DateTimeCol", std::string("9999-01-01")},
        CellCase{"datetime_1898", "DateTestDatabase.mdb", "DateTest", 2, "DateTimeCol", std::string("1898-01-01")},
        CellCase{"datetime_1899", "DateTestDatabase.mdb", "DateTest", 2, "DateCol", std::string("1899-01-01")},
        CellCase{"datetime_0632", "DateTestDatabase.mdb", "DateTest", 3, "DateTimeCol", std::string("0632-01-01")},
        CellCase{"long_integer", "DateTestDatabase.mdb", "DateTest", 3, "IDCol", std::int64_t{4}},
        CellCase{"memo_line_break", "DateTestDatabase.mdb", "DateTest", 5, "LongTextCol",
                 std::string("New line\r\nin field")},
        CellCase{"text", "DateTestDatabase.mdb", "DateTest", 1, "ShortTextCol", std::string("Year 1999")},
        // ACE: text, DateTime, Currency, Long Integer, an empty memo.
        CellCase{"ace_text", "ASampleDatabase.accdb", "Asset Items", 0, "Make", std::string("GEO Rocket")},
        CellCase{"ace_datetime", "ASampleDatabase.accdb", "Asset Items", 0, "Acquired", std::string("1997-09-02")},
        CellCase{"ace_currency", "ASampleDatabase.accdb", "Asset Items", 0, "Cost", 1995.5},
        CellCase{"ace_long", "ASampleDatabase.accdb", "Asset Items", 0, "Warranty", std::int64_t{12}},
        CellCase{"ace_null_memo", "ASampleDatabase.accdb", "Asset Items", 0, "Comments", Value{}},
        // Jet 3: currency, non-ASCII text from the old code page, yes/no, Null.
        CellCase{"jet3_currency", "nwind.mdb", "Order Details", 1, "UnitPrice", 9.8},
        CellCase{"jet3_accents", "nwind.mdb", "Orders", 2, "ShipName", std::string("M\xC3\xA8re Paillarde")},
        CellCase{"jet3_yes_no", "nwind.mdb", "Products", 0, "Discontinued", std::int64_t{0}},
        CellCase{"jet3_null", "nwind.mdb", "Orders", 1, "ShipRegion", Value{}},
        CellCase{"jet3_non_ascii_table", "nwind.mdb", "Ums\xC3\xA4tze", 0, "OrderID", std::int64_t{10330}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AccessReadTest, CurrencyHasNoMoreThanFourDecimals) {
  REQUIRE_ACCESS_FILE("nwind.mdb");
  const auto source = openAccessFile(accessFile("nwind.mdb"));
  for (const char* table : {"Order Details", "Orders"}) {
    const SourceTable t = source->readTable(table);
    const std::string column = std::string(table) == "Orders" ? "Freight" : "UnitPrice";
    const auto at = static_cast<std::size_t>(std::find(t.columns.begin(), t.columns.end(), column) - t.columns.begin());
    ASSERT_LT(at, t.columns.size());
    for (const auto& row : t.rows) {
      const double v = std::get<double>(row[at]);
      const std::string shown = formatNumber(v);
      const auto point = shown.find('.');
      EXPECT_TRUE(point == std::string::npos || shown.size() - point - 1 <= 4) << shown;
    }
  }
}

TEST(AccessReadTest, ListsTablesWithNonAsciiNamesAndRefusesUnknownOnes) {
  REQUIRE_ACCESS_FILE("nwind.mdb");
  const auto source = openAccessFile(accessFile("nwind.mdb"));
  const auto names = source->tableNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "Ums\xC3\xA4tze"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "MSysObjects"), names.end()) << "system tables are not listed";
  EXPECT_EQ(source->readTable("Ums\xC3\xA4tze").rows.size(), 830u);
  EXPECT_THROW(source->readTable("Trade"), SourceError);
}

struct DateCase {
  double days;
  std::optional<std::string> expected;
};

class AccessDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(AccessDateTest, Converts) { EXPECT_EQ(accessDateText(GetParam().days), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Values, AccessDateTest,
    ::testing::Values(DateCase{0, "1899-12-30"}, DateCase{1, "1899-12-31"}, DateCase{2, "1900-01-01"},
                      DateCase{2.5, "1900-01-01 12:00:00"}, DateCase{-1.25, "1899-12-29 06:00:00"},
                      DateCase{60, "1900-02-28"}, DateCase{61, "1900-03-01"}, DateCase{45352, "2024-03-01"},
                      DateCase{1.9999999999, "1900-01-01"}, DateCase{2958465, "9999-12-31"},
                      DateCase{-657434, "0100-01-01"}, DateCase{2958466, std::nullopt},
                      DateCase{-693593, "0001-01-01"}, DateCase{-693594, std::nullopt},
                      DateCase{NAN, std::nullopt}, DateCase{1e300, std::nullopt}));

// ---- the "no Trade table" message ---------------------------------------

TEST(AccessConversionTest, AFileThatIsNotALedgerListsItsTables) {
  REQUIRE_ACCESS_FILE("nwind.mdb");
  const auto source = openAccessFile(accessFile("nwind.mdb"));
  EXPECT_EQ(checkLedgerTables(*source),
            "This file cannot be made into a ledger: it has no Trade table and no Companies table.\r\n\r\n"
            "The tables it has: Order Details, Orders, Products, Shippers, Categories, Customers, Employees, "
            "Suppliers, Ums\xC3\xA4tze.");
  test::TempDir dir;
  test::makeLedger(dir.file("template.mdb"));
  const ConversionOutcome outcome =
      convertAccessLedger(*source, dir.file("new.mdb"), dir.file("template.mdb"), {accessFile("nwind.mdb")});
  EXPECT_FALSE(outcome.made);
  EXPECT_FALSE(fs::exists(dir.file("new.mdb")));
}

// ---- an Access table as the source of an import --------------------------

TEST(AccessImportTest, ATableMapsLikeACsvFile) {
  REQUIRE_ACCESS_FILE("ASampleDatabase.accdb");
  const auto source = openAccessFile(accessFile("ASampleDatabase.accdb"));
  const std::vector<CsvRecord> records = recordsFromTable(source->readTable("Asset Items"));
  ImportOptions options;
  auto mapping = parseMappingOption("symbol=Asset No,date=Acquired,quantity=Warranty,price=Cost", &records[0],
                                  records[0].size());
  ASSERT_TRUE(std::holds_alternative<ImportMapping>(mapping));
  options.mapping = std::get<ImportMapping>(mapping);
  options.sideFromSign = true;
  const ImportPlan plan = planImport(records, options, LedgerIndex{});
  ASSERT_FALSE(plan.trades.empty());
  EXPECT_EQ(plan.trades.size() + plan.skipped.size() + plan.bad.size(), records.size() - 1);
  EXPECT_EQ(plan.trades[0], (Trade{0, "30050", "1997-09-02", TradeSide::Buy, 12, 1995.5, 0}));
}

// ---- converting a ledger-shaped source -----------------------------------

class FakeSource final : public TableSource {
 public:
  std::map<std::string, SourceTable> tables;
  bool failReading = false;
  std::vector<std::string> tableNames() override {
    std::vector<std::string> names;
    for (const auto& [name, table] : tables) names.push_back(name);
    return names;
  }
  SourceTable readTable(const std::string& name) override {
    if (failReading) throw SourceError("page 7 cannot be read");
    return tables.at(name);
  }
};

SourceTable tradeTable(std::vector<std::vector<Value>> rows) {
  return {{"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell", "Date", "Price", "Commission"}, std::move(rows)};
}

FakeSource ledgerShaped() {
  FakeSource source;
  source.tables["Companies"] = {{"CompanyID", "CompanySymbol"},
                                {{std::int64_t{5}, std::string("AAPL")},
                                 {std::int64_t{9}, std::string("Ums\xC3\xA4tze AG")},
                                 {std::int64_t{32767}, std::string("LAST")}}};
  source.tables["Trade"] = tradeTable({
      {std::int64_t{5}, std::string("AAPL"), 10.0, std::string("B"), std::string("2001-02-03"), 12.3456, 9.95},
      {std::int64_t{9}, std::string("Ums\xC3\xA4tze AG"), std::int64_t{3}, std::string("S"),
       std::string("1899-12-30 10:30:00"), 0.0001, Value{}},
      {std::int64_t{32767}, std::string("LAST"), 1e-4, std::string("S"), std::string("9999-12-31"), 123456789.1234,
       0.0},
  });
  return source;
}

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(templ); }
  test::TempDir dir;
  std::string templ = dir.file("DatSource.mdb");
  std::string target = dir.file("converted.mdb");
  ConversionOutcome convert(TableSource& source) {
    return convertAccessLedger(source, target, templ, {dir.file("old.mdb"), templ, dir.file("Zuvivev.mdb")});
  }
};

TEST_F(ConversionTest, CopiesCompaniesWithTheirIdsAndEveryTradeExactly) {
  FakeSource source = ledgerShaped();
  const ConversionOutcome outcome = convert(source);
  ASSERT_TRUE(outcome.made) << outcome.message;
  EXPECT_EQ(outcome.trades, 3u);
  EXPECT_EQ(outcome.companies, 3u);
  EXPECT_EQ(test::readAll(target, "SELECT CompanyID, CompanySymbol FROM Companies ORDER BY CompanyID"),
            (Rows{{"5", "AAPL"}, {"9", "Ums\xC3\xA4tze AG"}, {"32767", "LAST"}}));
  EXPECT_EQ(test::readAll(target, "SELECT CompanyID, CompanySymbol, quote(Quantity), [Buy/Sell], Date, quote(Price), "
                                  "quote(Commission) FROM Trade ORDER BY rowid"),
            (Rows{{"5", "AAPL", "10.0", "B", "2001-02-03", "12.3456", "9.95"},
                  {"9", "Ums\xC3\xA4tze AG", "3.0", "S", "1899-12-30", "0.0001", "NULL"},
                  {"32767", "LAST", "0.0001", "S", "9999-12-31", "123456789.1234", "0.0"}}));
  // It is a ledger of this program: it opens, and its queries run.
  EXPECT_NO_THROW(openLedger(target).openRecordset("[Profit/Loss]"));
}

TEST_F(ConversionTest, TableAndColumnNamesInAnyLetterCase) {
  FakeSource source;
  source.tables["TRADE"] = {{"companyid", "companysymbol", "QUANTITY", "buy/sell", "date", "price", "commission"},
                            {{std::int64_t{1}, std::string("X"), 1.0, std::string("B"), std::string("2020-01-01"),
                              1.0, 0.0}}};
  source.tables["companies"] = {{"CompanyId", "CompanySymbol"}, {{std::int64_t{1}, std::string("X")}}};
  EXPECT_TRUE(convert(source).made);
  EXPECT_EQ(test::readAll(target, "SELECT count(*) FROM Trade"), (Rows{{"1"}}));
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> tables;  // the fake's tables (ledger-shaped ones keep their columns)
  const char* target;               // "" for the normal target
  std::string message;
};

class ConversionRefusalTest : public ConversionTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ConversionRefusalTest, SaysWhyAndMakesNothing) {
  const RefusalCase& c = GetParam();
  FakeSource full = ledgerShaped();
  FakeSource source;
  for (const std::string& name : c.tables)
    source.tables[name] = full.tables.count(name) ? full.tables[name] : SourceTable{{"A"}, {}};
  if (*c.target) target = dir.file(c.target);
  const auto before = fs::exists(target) ? test::readBytes(target) : std::string();
  const ConversionOutcome outcome = convert(source);
  EXPECT_FALSE(outcome.made);
  EXPECT_EQ(outcome.message, c.message);
  EXPECT_EQ(fs::exists(target) ? test::readBytes(target) : std::string(), before);
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_TRUE(entry.path().filename() == "DatSource.mdb") << "left behind: " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ConversionRefusalTest,
    ::testing::Values(
        RefusalCase{"no_trade", {"Companies", "Orders"}, "",
                    "This file cannot be made into a ledger: it has no Trade table.\r\n\r\n"
                    "The tables it has: Companies, Orders."},
        RefusalCase{"no_companies", {"Trade"}, "",
                    "This file cannot be made into a ledger: it has no Companies table.\r\n\r\nThe tables it has: Trade."},
        RefusalCase{"no_tables", {}, "",
                    "This file cannot be made into a ledger: it has no Trade table and no Companies table.\r\n\r\n"
                    "It has no tables at all."},
        RefusalCase{"template", {"Companies", "Trade"}, "DatSource.mdb", "You can not save to this file."},
        RefusalCase{"template_other_case", {"Companies", "Trade"}, "datsource.MDB", "You can not save to this file."},
        RefusalCase{"master", {"Companies", "Trade"}, "Zuvivev.mdb", "You can not save to this file."},
        RefusalCase{"source", {"Companies", "Trade"}, "old.mdb", "You can not save to this file."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConversionTest, AMissingColumnIsNamed) {
  FakeSource source = ledgerShaped();
  source.tables["Trade"].columns[5] = "Cost";
  const ConversionOutcome outcome = convert(source);
  EXPECT_FALSE(outcome.made);
  EXPECT_EQ(outcome.message, "This file cannot be made into a ledger.\r\n\r\nThe table Trade has no column Price.\r\n");
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(ConversionTest, ARowTheLedgerRefusesStopsTheWholeConversion) {
  std::ofstream(target) << "an older file the user keeps";
  FakeSource source = ledgerShaped();
  source.tables["Trade"].rows[2][3] = std::string("X");  // neither B nor S
  const ConversionOutcome outcome = convert(source);
  EXPECT_FALSE(outcome.made);
  EXPECT_TRUE(outcome.message.starts_with("The new ledger was not made: row 3 of Trade does not fit it."))
      << outcome.message;
  EXPECT_EQ(test::readBytes(target), "an older file the user keeps");
}

TEST_F(ConversionTest, ASymbolNoLedgerMayHoldStopsTheConversionNamingItsRow) {
  FakeSource source = ledgerShaped();
  source.tables["Trade"].rows[1][1] = std::string("MU\nLTI");
  const ConversionOutcome outcome = convert(source);
  EXPECT_FALSE(outcome.made);
  EXPECT_TRUE(outcome.message.starts_with("The new ledger was not made: row 2 of Trade has a symbol holding U+000A"))
      << outcome.message;
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(ConversionTest, AnUnreadableSourceMakesNothing) {
  FakeSource source = ledgerShaped();
  source.failReading = true;
  const ConversionOutcome outcome = convert(source);
  EXPECT_FALSE(outcome.made);
  EXPECT_EQ(outcome.message, "The older ledger cannot be read.\r\n\r\npage 7 cannot be read");
  EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace ledger
