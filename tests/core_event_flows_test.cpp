// The Splits and Dividends window's flows through a fake window: refusals
// that write nothing, the replace question, the Undo offer after a change,
// and the holding a split being typed would leave.
#include <gtest/gtest.h>

#include <functional>

#include "app/event_flows.h"
#include "core_fixture.h"

namespace ledger {
namespace {

using test::Log;
using Rows = std::vector<std::vector<std::string>>;

class EventFlowsTest : public test::CoreTest {
 protected:
  void open(const std::vector<test::TradeRow>& trades = {}) {
    test::makeLedger(ledger(), trades);
    ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened);
    window.log.clear();
  }
  std::string ledger() { return dir.file("l.mdb"); }
  Rows rows(const char* table) {
    return test::readAll(ledger(), std::string("SELECT * FROM sqlite_schema WHERE name = '") + table + "'").empty()
               ? Rows{}
               : test::readAll(ledger(), std::string("SELECT * FROM ") + table + " ORDER BY rowid");
  }
  DividendText dividend(std::string date, std::string gross, std::string withheld = "") {
    return {"MSFT", std::move(date), std::move(gross), std::move(withheld), "", ""};
  }

  EventFlows events{app, commands, window};
};

TEST_F(EventFlowsTest, ARefusedAddIsToldAndWritesNothing) {
  struct Row {
    const char* name;
    std::function<bool()> add;
    std::string message;
  };
  const Row rows[] = {
      {"a ratio with a zero", [&] { return events.addSplit("MSFT", "2024-06-03", "2:0"); }, kSplitRatioRule},
      {"a ratio that is one number", [&] { return events.addSplit("MSFT", "2024-06-03", "2"); }, kSplitRatioRule},
      {"a date that is not a date", [&] { return events.addSplit("MSFT", "2024-02-30", "2:1"); },
       "The date must be a real date, written YYYY-MM-DD."},
      {"a symbol not in the list", [&] { return events.addSplit("ZZZZ", "2024-06-03", "2:1"); },
       "The symbol ZZZZ is not in the list of companies."},
      {"a negative amount", [&] { return events.addDividend(dividend("2024-06-03", "-5")); },
       "The gross amount must be a number from 0 to 1000000000000."},
      {"tax withheld above the gross", [&] { return events.addDividend(dividend("2024-06-03", "5", "6")); },
       "The tax withheld must not be more than the gross amount."},
      {"an amount that is not a number", [&] { return events.addDividend(dividend("2024-06-03", "5,5")); },
       "The gross amount must be a number written with '.' as the point, for example 12.50."},
  };
  open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    window.log.clear();
    answers.expect(MsgAnswer::Ok);
    EXPECT_FALSE(row.add());
    EXPECT_EQ(window.log, (Log{"message " + row.message}));
    EXPECT_EQ(this->rows("Split"), Rows{});
    EXPECT_EQ(this->rows("Dividend"), Rows{});
  }
}

TEST_F(EventFlowsTest, AnAddIsOfferedToUndoAtOnceAndTheOpenViewsReadAgain) {
  open();
  ASSERT_TRUE(events.addSplit(" MSFT ", "2024-06-03", "2:1"));
  EXPECT_EQ(window.log, (Log{"refresh views"}));
  ASSERT_TRUE(window.states.back().undo.undo);
  EXPECT_EQ(window.states.back().undo.undo->label, "New Split of MSFT 2024-06-03 (2:1)");
  EXPECT_EQ(events.read("MSFT").splits, (std::vector<StockSplit>{{"MSFT", "2024-06-03", 2, 1}}));

  // A dividend that bought shares adds a trade: the entry tab shows it.
  window.log.clear();
  ASSERT_TRUE(events.addDividend({"MSFT", "2024-07-01", "12.5", "1.25", "0.5", "25"}));
  EXPECT_EQ(window.log, (Log{"refresh views", "reload tab"}));
  EXPECT_EQ(window.states.back().undo.undo->label, "New Dividend of MSFT 2024-07-01 (12.5 gross)");

  // The flow's change and Undo from the Edit menu both list the window again.
  window.log.clear();
  window.eventsWindowOpen = true;
  views.refreshOpen();
  EXPECT_EQ(window.log, (Log{"reload events"}));
}

TEST_F(EventFlowsTest, ASecondOnTheSameDateIsReplacedOnlyWhenTheUserSaysSo) {
  open();
  ASSERT_TRUE(events.addSplit("MSFT", "2024-06-03", "2:1"));
  window.log.clear();
  answers.expect(MsgAnswer::No);
  EXPECT_FALSE(events.addSplit("MSFT", "2024-06-03", "3:1"));
  EXPECT_EQ(window.log, (Log{"message There is already a split of MSFT on 2024-06-03. Replace it?"}));
  EXPECT_EQ(events.read("MSFT").splits.at(0).newShares, 2);

  answers.expect(MsgAnswer::Yes);
  EXPECT_TRUE(events.addSplit("MSFT", "2024-06-03", "3:1"));
  EXPECT_EQ(events.read("MSFT").splits, (std::vector<StockSplit>{{"MSFT", "2024-06-03", 3, 1}}));
  EXPECT_EQ(window.states.back().undo.undo->label, "Edit of Split of MSFT 2024-06-03 (3:1)");

  // Delete asks first.
  answers.expect(MsgAnswer::Yes);
  EXPECT_TRUE(events.deleteSplit({"MSFT", "2024-06-03", 3, 1}));
  EXPECT_EQ(answers.shown.back().text, "Delete the split of MSFT 2024-06-03 (3:1)?");
  EXPECT_EQ(events.read("MSFT").splits, std::vector<StockSplit>{});
}

TEST_F(EventFlowsTest, TheHoldingBeforeAndAfterASplitBeingTyped) {
  // Bought 100 on 2024-01-10; the ledger's 2:1 split of 2024-03-01 makes
  // them 200; 50 sold on 2024-04-15 leave one lot of 150.
  open({{2, "MSFT", 100, "B", "2024-01-10", 10, 1},
        {2, "MSFT", 50, "S", "2024-04-15", 12, 1},
        {1, "AAPL", 999, "B", "2024-01-10", 1, 0}});
  ASSERT_TRUE(events.addSplit("MSFT", "2024-03-01", "2:1"));
  struct Row {
    const char* name;
    std::string date, ratio;
    std::optional<std::string> text;
  };
  const Row rows[] = {
      // 150 × 2 ÷ 1 = 300
      {"a 2:1 split", "2024-06-03", "2:1", "You hold 150 shares; after a 2:1 split you will hold 300."},
      // 150 × 1 ÷ 10 = 15
      {"a 1:10 reverse split", "2024-06-03", "1:10", "You hold 150 shares; after a 1:10 split you will hold 15."},
      // 150 ÷ 7 = 21.4285714..., half-even to 6 decimals 21.428571
      {"a fraction rounds as the gains do", "2024-06-03", "1:7",
       "You hold 150 shares; after a 1:7 split you will hold 21.428571."},
      // Acts before the sale of its day: 200 held, 200 ÷ 10 = 20.
      {"a split on a sale's date acts before it", "2024-04-15", "1:10",
       "You hold 200 shares; after a 1:10 split you will hold 20."},
      // In place of the ledger's split of that day: 100 held, 100 × 3 = 300.
      {"the ledger's split of that date is replaced", "2024-03-01", "3:1",
       "You hold 100 shares; after a 3:1 split you will hold 300."},
      {"nothing held yet", "2024-01-01", "2:1", "You hold 0 shares; after a 2:1 split you will hold 0."},
      {"a date being typed", "2024-06", "2:1", std::nullopt},
      {"a ratio being typed", "2024-06-03", "2:", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(events.splitPreview("MSFT", row.date, row.ratio), row.text);
  }
}

TEST_F(EventFlowsTest, TheWindowOpensOnTheCompanyShownOrTheListsFirst) {
  open();
  EXPECT_EQ(events.companyToShow("IBM"), "IBM");
  EXPECT_EQ(events.companyToShow("NONE"), "AAPL");
  EXPECT_EQ(events.companyToShow(""), "AAPL");
  EXPECT_EQ(events.companySymbols().size(), 10u);
}

}  // namespace
}  // namespace ledger
