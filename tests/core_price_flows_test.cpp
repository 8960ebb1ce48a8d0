// The Prices window's flows through a fake window: refusals that write
// nothing, the replace and delete questions, the Undo offer after each
// change with the open views read again, and a ledger open for reading only.
#include <gtest/gtest.h>

#include <functional>

#include "app/price_flows.h"
#include "core_fixture.h"

namespace ledger {
namespace {

using test::Log;

Decimal dec(const char* text) { return *Decimal::parse(text); }

class PriceFlowsTest : public test::CoreTest {
 protected:
  void open() {
    test::makeLedger(ledger());
    ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened);
    window.log.clear();
  }
  std::string ledger() { return dir.file("l.mdb"); }
  std::string undoOffer() {
    const auto& step = window.states.back().undo.undo;
    return step ? step->label : "";
  }

  PriceFlows prices{app, commands, window};
};

TEST_F(PriceFlowsTest, ARefusalIsToldAndWritesNothing) {
  struct Row {
    const char* name;
    std::string symbol, date, close;
    std::string message;
  };
  const Row rows[] = {
      {"a close that is not a number", "MSFT", "2024-06-03", "412,5",
       "The closing price must be a number written with '.' as the point, for example 412.50."},
      {"a close of zero", "MSFT", "2024-06-03", "0", "The closing price must be a number above 0, up to 1000000000000."},
      {"a date that is not a date", "MSFT", "2024-02-30", "1", "The date must be a real date, written YYYY-MM-DD."},
      {"a symbol not in the list", "ZZZZ", "2024-06-03", "1", "The symbol ZZZZ is not in the list of companies."},
  };
  open();
  const std::string before = test::readBytes(ledger());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    window.log.clear();
    answers.expect(MsgAnswer::Ok);
    EXPECT_FALSE(prices.addPrice(row.symbol, row.date, row.close));
    EXPECT_EQ(window.log, (Log{"message " + row.message}));
  }
  EXPECT_EQ(test::readBytes(ledger()), before);
}

// Add, a second of that date replaced only when the user says so, a change
// of date and close, a delete asked first: each offered to Undo at once,
// the open views (the Prices window among them) read again.
TEST_F(PriceFlowsTest, EachChangeIsOfferedToUndoAndTheOpenViewsReadAgain) {
  open();
  ASSERT_TRUE(prices.addPrice(" MSFT ", "2024-06-03", "412.50"));
  EXPECT_EQ(window.log, (Log{"refresh views"}));
  EXPECT_EQ(undoOffer(), "New Price of MSFT 2024-06-03 (412.5)");

  window.log.clear();
  answers.expect(MsgAnswer::No);
  EXPECT_FALSE(prices.addPrice("MSFT", "2024-06-03", "413"));
  EXPECT_EQ(window.log, (Log{"message There is already a price of MSFT on 2024-06-03. Replace it?"}));
  EXPECT_EQ(prices.read("MSFT"), (std::vector<ClosePrice>{{"MSFT", "2024-06-03", dec("412.5")}}));

  answers.expect(MsgAnswer::Yes);
  ASSERT_TRUE(prices.addPrice("MSFT", "2024-06-03", "413"));
  EXPECT_EQ(undoOffer(), "Edit of Price of MSFT 2024-06-03 (413)");

  ASSERT_TRUE(prices.changePrice({"MSFT", "2024-06-03", dec("413")}, "2024-06-04", "0.5"));
  EXPECT_EQ(undoOffer(), "Edit of Price of MSFT 2024-06-04 (0.5)");
  EXPECT_EQ(prices.read("MSFT"), (std::vector<ClosePrice>{{"MSFT", "2024-06-04", dec("0.5")}}));

  const ClosePrice shown{"MSFT", "2024-06-04", dec("0.5")};
  answers.expect(MsgAnswer::No);
  EXPECT_FALSE(prices.deletePrice(shown));
  EXPECT_EQ(answers.shown.back().text, "Delete the price of MSFT 2024-06-04 (0.5)?");
  answers.expect(MsgAnswer::Yes);
  ASSERT_TRUE(prices.deletePrice(shown));
  EXPECT_EQ(undoOffer(), "Delete of Price of MSFT 2024-06-04 (0.5)");
  EXPECT_TRUE(prices.read("MSFT").empty());

  // Undo from the Edit menu lists the window again too.
  window.log.clear();
  window.pricesWindowOpen = true;
  views.refreshOpen();
  EXPECT_EQ(window.log, (Log{"reload prices"}));
}

// A table the program did not make opens the ledger for reading only: a
// change is refused before any question, and nothing is written.
TEST_F(PriceFlowsTest, ALedgerOpenForReadingOnlyIsNotChanged) {
  test::makeLedger(ledger());
  Database::openFile(ledger(), false).executeScript("CREATE TABLE notes(body TEXT);");
  answers.expect(MsgAnswer::Ok);  // the notes table is named once
  ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened);
  const std::string before = test::readBytes(ledger());
  window.log.clear();
  answers.expect(MsgAnswer::Ok);
  EXPECT_FALSE(prices.addPrice("MSFT", "2024-06-03", "412.5"));
  EXPECT_EQ(window.log, (Log{std::string("message ") + kPricesReadOnly}));
  EXPECT_EQ(test::readBytes(ledger()), before);
}

}  // namespace
}  // namespace ledger
