// The Gains window's figures as its worker works them out
// (workOutGains): the same as the window's read on the session's
// connection, read again when the file changes under the work, and
// stopped when the progress says so.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/gains_data.h"
#include "app/own_connection.h"
#include "core_fixture.h"
#include "gains_ledger.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"
#include "transfer/gains_csv.h"

namespace ledger {
namespace {

// Everything the window shows of a read, as text.
std::string shownText(const GainsRead& read) {
  if (!read.report) return "failed: " + read.failure.value_or("");
  std::ostringstream out;
  writeHoldingsCsv(out, *read.report);
  writeGainsCsv(out, *read.report);
  writeYearlyCsv(out, *read.report);
  for (const CashDividend& d : read.income->dividends) out << d.date << ' ' << d.symbol << ' ' << d.net().toPlainString() << '\n';
  for (const std::string& note : read.notes) out << note << '\n';
  return out.str();
}

class GainsWorkTest : public test::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    test::makeLedger(path, test::kIncomeTrades);
    test::addEvents(path, test::kIncomeDividendsSql);
    app.session().LedgerPath = path;
  }
  std::string path = dir.file("work.mdb");
  WorkConnection connection;
};

TEST_F(GainsWorkTest, GivesTheFiguresOfTheReadOnTheSessionsConnection) {
  for (CostMethod method : {CostMethod::Fifo, CostMethod::Average}) {
    const std::string expected = shownText(readGains(app.session(), method));
    EXPECT_EQ(shownText(workOutGains(connection, {path, method}, {})), expected) << costMethodName(method);
  }
  // A ledger that cannot be opened gives the window's message for it.
  const std::string missing = dir.file("missing.mdb");
  const GainsRead read = workOutGains(connection, {missing, CostMethod::Fifo}, {});
  ASSERT_TRUE(read.failure.has_value());
  EXPECT_EQ(read.failure->rfind(openFailureMessage(missing, "Trade"), 0), 0u) << *read.failure;
}

// The connection kept between jobs belongs to the file it opened: a ledger
// put in its place (saved over by another program) is read afresh, never
// the old file's figures.
TEST_F(GainsWorkTest, ALedgerReplacedUnderTheKeptConnectionIsReadAfresh) {
  const std::string before = shownText(workOutGains(connection, {path, CostMethod::Fifo}, {}));
  const std::string other = dir.file("other.mdb");
  test::makeLedger(other, {{1, "NEW", 10, "B", "2024-01-02", 5, 0}});
  ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
  const std::string after = shownText(workOutGains(connection, {path, CostMethod::Fifo}, {}));
  EXPECT_NE(after, before);
  EXPECT_NE(after.find("NEW"), std::string::npos) << after;
}

// A trade committed by another connection once the trades are read (the
// second half of the progress, while they are worked out) is in the
// figures: the work saw the file change and read it again. That the write
// could commit at all shows that no lock was held while the work went on.
TEST_F(GainsWorkTest, AChangeCommittedWhileWorkingIsReadAgain) {
  int reads = 0;
  bool written = false;
  const WorkProgress progress = [&](std::uint64_t done, std::uint64_t whole) {
    if (done == 0) ++reads;
    if (!written && done * 2 >= whole && whole > 0) {
      written = true;
      Database other = openLedger(path);
      other.execute("INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) "
                    "VALUES (9, 'NEW', 4, 'B', '2024-07-01', 10, 1)");
    }
  };
  const GainsRead read = workOutGains(connection, {path, CostMethod::Fifo}, progress);
  ASSERT_TRUE(read.report) << read.failure.value_or("");
  EXPECT_TRUE(written);
  EXPECT_EQ(reads, 2);
  // NEW: 4 shares for 4 x 10 + 1 = 41.
  const Holding& added = read.report->holdings.back();
  EXPECT_EQ(added.symbol + " " + added.shares.toPlainString() + " " + added.cost.toPlainString(), "NEW 4 41");
}

TEST_F(GainsWorkTest, StopsWhenTheProgressSaysSo) {
  for (int stopAt : {0, 1}) {  // while reading, while working out
    int calls = 0;
    const WorkProgress progress = [&](std::uint64_t, std::uint64_t) {
      if (calls++ == stopAt) throw WorkStopped();
    };
    EXPECT_THROW(workOutGains(connection, {path, CostMethod::Fifo}, progress), WorkStopped) << stopAt;
  }
}

}  // namespace
}  // namespace ledger
