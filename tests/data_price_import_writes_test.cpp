// Writing an import of closing prices: a date already priced kept or
// replaced, a bad row leaving the ledger as it was, a price saved since the
// preview, and one undo taking the import back exactly.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "case_names.h"
#include "ledger/ledger_open.h"
#include "ledger/price_writes.h"
#include "ledger/undo_journal.h"
#include "test_ledger.h"
#include "transfer/import_source.h"
#include "transfer/price_import_run.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Decimal dec(const char* text) { return *Decimal::parse(text); }

// The options the window starts with for a file of MSFT's closes.
PriceImportOptions msftOptions(const ImportTable& table) {
  PriceImportOptions options;
  options.hasHeader = table.hasHeader;
  options.mapping = guessPriceMapping(*table.header());
  options.symbol = "MSFT";
  return options;
}

class PriceImportWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { makePricedLedger(); }
  // MSFT at 412.5 on 2025-04-10 and 400 on 2025-04-11.
  void makePricedLedger() {
    test::makeLedger(path);
    Database db = openLedger(path);
    addPrice(db, {"MSFT", "2025-04-10", dec("412.5")});
    addPrice(db, {"MSFT", "2025-04-11", dec("400")});
  }
  // The closes as SQLite quotes them: a REAL exact to the bit.
  Rows prices() const {
    return test::readAll(path, "SELECT CompanySymbol, Date, quote(Close) FROM Price ORDER BY CompanySymbol, Date");
  }
  std::optional<UndoStepInfo> lastStep() {
    Database db = openLedger(path);
    return stepToUndo(db);
  }
  PriceImportRun import(const char* csv, bool replaceHeld) {
    const ImportTable table = readImportCsv(csv);
    PriceImportOptions options = msftOptions(table);
    options.replaceHeld = replaceHeld;
    Database db = openLedger(path);
    return importPriceRecords(db, table.records, options);
  }

  test::TempDir dir;
  std::string path = dir.file("l.mdb");
};

// The file: 04-10 at another close, 04-11 at the same, 04-14 new.
constexpr const char* kHeldAndNew = "Date,Close\n2025-04-10,415\n2025-04-11,400.00\n2025-04-14,420\n";

TEST_F(PriceImportWriteTest, ADatePricedAlreadyKeepsTheLedgersCloseOrTakesTheFiles) {
  struct Case {
    bool replace;
    const char* label;
    std::size_t kept, same, replacing;
    Rows after;
  };
  const Case cases[] = {
      {false, "Import of 1 Price", 1, 1, 0,
       {{"MSFT", "2025-04-10", "412.5"}, {"MSFT", "2025-04-11", "400.0"}, {"MSFT", "2025-04-14", "420.0"}}},
      {true, "Import of 2 Prices", 0, 1, 1,
       {{"MSFT", "2025-04-10", "415.0"}, {"MSFT", "2025-04-11", "400.0"}, {"MSFT", "2025-04-14", "420.0"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    path = dir.file(test::caseName(c.label) + ".mdb");
    makePricedLedger();
    const PriceImportRun run = import(kHeldAndNew, c.replace);
    EXPECT_EQ(run.outcome, ImportOutcome::Written);
    EXPECT_EQ(run.plan.kept.size(), c.kept);
    EXPECT_EQ(run.plan.same.size(), c.same);
    EXPECT_EQ(run.plan.replacing, c.replacing);
    EXPECT_EQ(prices(), c.after);
    ASSERT_TRUE(lastStep());
    EXPECT_EQ(lastStep()->label, c.label);
  }
}

TEST_F(PriceImportWriteTest, OneBadRowWritesNothingAtAll) {
  const Rows before = prices();
  const auto stepBefore = lastStep();
  // Three good rows, one replacing, and a close of zero in the middle.
  const PriceImportRun run = import("Date,Close\n2025-04-10,415\n2025-04-15,0\n2025-04-14,420\n", true);
  EXPECT_EQ(run.outcome, ImportOutcome::Blocked);
  ASSERT_EQ(run.plan.bad.size(), 1u);
  EXPECT_EQ(run.plan.bad[0].row, 3u);
  EXPECT_EQ(prices(), before);
  EXPECT_EQ(lastStep(), stepBefore);
}

TEST_F(PriceImportWriteTest, OneUndoTakesTheImportBackExactlyAndRedoMakesItAgain) {
  const Rows before = prices();
  ASSERT_EQ(import(kHeldAndNew, true).outcome, ImportOutcome::Written);
  const Rows after = prices();
  ASSERT_NE(after, before);
  {
    Database db = openLedger(path);
    ASSERT_TRUE(undoStep(db));
  }
  // 412.5 is back at 04-10 and 04-14 is gone; the step before is next.
  EXPECT_EQ(prices(), before);
  EXPECT_EQ(lastStep()->label, "New Price of MSFT 2025-04-11 (400)");
  {
    Database db = openLedger(path);
    ASSERT_TRUE(redoStep(db));
  }
  EXPECT_EQ(prices(), after);
}

TEST_F(PriceImportWriteTest, APriceSavedSinceThePreviewStopsTheImport) {
  const ImportTable table = readImportCsv(kHeldAndNew);
  const PriceImportOptions options = msftOptions(table);
  PricePlan preview;
  {
    Database db = openLedger(path);
    preview = planPriceImport(table.records, options, PriceLedgerIndex::read(db));
    addPrice(db, {"MSFT", "2025-04-14", dec("419")});
  }
  const Rows held = prices();
  Database db = openLedger(path);
  const PriceImportRun run = importPriceRecords(db, table.records, options, &preview);
  EXPECT_EQ(run.outcome, ImportOutcome::LedgerChanged);
  EXPECT_EQ(run.plan.kept.size(), 2u);  // 04-10 and now 04-14
  EXPECT_EQ(prices(), held);
}

}  // namespace
}  // namespace ledger
