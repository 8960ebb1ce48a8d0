// Saving a new trade from the entry form and re-reading the General tab,
// as the Save command does, against the same statements run bare.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bare_sqlite.h"
#include "form_port.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "record_display.h"
#include "record_writes.h"

namespace ledger::bench {

namespace {

// The entry form's boxes as plain strings, holding one new trade.
class BenchForm final : public FormPort {
 public:
  BenchForm() {
    m_boxes = {{"CompanyID", "3"},   {"CompanySymbol", "IBM"}, {"Date", "2024-05-17"},
               {"Quantity", "250"},  {"Price", "131.45"},      {"Commission", "9.95"}};
  }
  int currentTab() const override { return kGeneralTab; }
  std::optional<std::string> boxText(std::string_view column, int) const override {
    auto it = m_boxes.find(std::string(column));
    return it == m_boxes.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  bool setBoxText(std::string_view column, int, const std::string& text) override {
    benchmark::DoNotOptimize(text.data());
    return m_boxes.count(std::string(column)) > 0;  // the shown row does not overwrite the trade to save
  }
  bool isBuySelected() const override { return true; }
  bool isSellSelected() const override { return false; }
  void selectBuy(bool) override {}
  void clearSide() override {}
  void setStatusText(const std::string&) override {}
  std::string companySymbolText() const override { return "IBM"; }
  int companyListCount() const override { return 0; }
  std::string companyListItem(int) const override { return {}; }
  void insertCompanyListItem(int, const std::string&) override {}

 private:
  std::map<std::string, std::string> m_boxes;
};

class SilentPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string& text, MsgIcon, MsgButtons, const std::string&) override {
    throw std::runtime_error("unexpected message: " + text);
  }
};

void saveAndReload(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  SilentPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = copy.path();
  BenchForm form;
  for (auto _ : state) {
    if (!SaveRecord(session, form)) throw std::runtime_error("save failed");
    // The General tab's tab change: reopen Trade, show its first row, count.
    OpenAndShow(session, form, "Trade");
    session.CurrentRecordset->moveNext();
    session.CurrentRecordset->moveFirst();
    benchmark::DoNotOptimize(session.CurrentRecordset->recordCount());
  }
}

void bareSaveAndReload(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  for (auto _ : state) {
    {
      BareConnection db = bareOpen(copy.path());
      BareStatement insert = barePrepare(db.get(),
                                         "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], "
                                         "Date, Price, Commission) VALUES (3, 'IBM', 250, 'B', '2024-05-17', "
                                         "131.45, 9.95)");
      bareRun(db.get(), insert.get());
    }
    BareConnection db = bareOpen(copy.path());
    BareStatement first = barePrepare(db.get(), "SELECT * FROM Trade ORDER BY rowid LIMIT 1");
    if (sqlite3_step(first.get()) == SQLITE_ROW) readRow(first.get());
    BareStatement count = barePrepare(db.get(), "SELECT count(*) FROM Trade");
    sqlite3_step(count.get());
    benchmark::DoNotOptimize(sqlite3_column_int64(count.get(), 0));
  }
}

const bool registered = registerPair("SaveAndReload", saveAndReload, bareSaveAndReload);

}  // namespace

}  // namespace ledger::bench
