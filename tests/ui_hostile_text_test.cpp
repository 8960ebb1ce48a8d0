// Hostile text typed into the windows: the add-company dialog, New Record's
// symbol list and Save, the ticker search, and the symbol the history and
// the datasheet show. The ledger holds exactly what was typed, the views
// show it, and nothing else in the file changes.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "app/app_context.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "engine/sql_translate.h"
#include "ledger/symbol_text.h"
#include "fakes.h"
#include "hostile_texts.h"
#include "test_ledger.h"
#include "ui/entry/add_company_dialog.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ui/views/datasheet_view.h"
#include "ui/views/history_view.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The schema apart from the queries the views write for themselves and the
// undo journal that the first change adds.
constexpr const char* kSchemaSql =
    "SELECT type, name, tbl_name, sql FROM sqlite_schema "
    "WHERE name NOT LIKE 'VBQry%' AND name NOT LIKE '%Sorted' "
    "AND name NOT IN ('UndoStep', 'UndoChange', 'UndoChangeByRow', 'KeptTotals') ORDER BY name";

std::string cell(QTableView* grid, int row, int column) {
  QAbstractItemModel* m = grid->model();
  while (m->canFetchMore({})) m->fetchMore({});
  return m->index(row, column).data().toString().toStdString();
}

class UiHostileTextTest : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    writeLedgerFromSchema(app.masterPath());
    ASSERT_FALSE(refreshTemplate(app).has_value());
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 3, "S", "2024-06-01", 410.5, 1.25}});
    files.queueOpen(path);
    window.mnuFileItem_Click(3);
    ASSERT_TRUE(form());
  }
  void TearDown() override {
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(prompter.pending(), 0u);
  }
  const std::string& text() const { return test::hostileTexts()[GetParam()].text; }
  QString qtext() const { return QString::fromStdString(text()); }
  EntryForm* form() { return window.forms().find<EntryForm>("frmMain"); }
  Rows rows(const std::string& sql) { return test::readAll(path, sql); }

  test::TempDir dir;
  std::string path = dir.file("l.mdb");
  test::ScriptedPrompter prompter;
  test::ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  MDIMain window{app};
};

TEST_P(UiHostileTextTest, TypedTextReachesTheLedgerAndTheViewsExactly) {
  const Rows schema = rows(kSchemaSql);
  Rows companies = rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid");
  Rows trades = rows("SELECT * FROM Trade ORDER BY rowid");

  window.mnuEditItem_Click(2);  // Add Company
  auto* dialog = window.forms().find<AddCompanyDialog>("frmAddCompany");
  ASSERT_TRUE(dialog);
  dialog->txtCompanySymbol()->setText(qtext());
  ASSERT_EQ(dialog->txtCompanySymbol()->text(), qtext());
  const auto unseen = unseenSymbolCharacter(text());
  if (unseen) prompter.expect(MsgAnswer::Ok);
  dialog->cmdAdd()->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (unseen) {
    // No symbol may hold it: refused with a message, nothing added.
    EXPECT_EQ(prompter.shown.back().text, unseenCharacterMessage(*unseen));
    EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);
    return;
  }
  const std::string id = std::to_string(companies.size() + 1);
  companies.push_back({id, text()});
  EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);

  window.mnuFileItem_Click(2);  // New Record: the symbol typed into the list
  EXPECT_NE(form()->cboCompanySymbol()->findText(qtext()), -1);
  form()->cboCompanySymbol()->setEditText(qtext());
  form()->box("Date", 0)->setText("2024-07-01");
  form()->box("Quantity", 0)->setText("2");
  form()->box("Price", 0)->setText("3");
  form()->box("Commission", 0)->setText("1");
  form()->optBuy()->setChecked(true);
  window.mnuFileItem_Click(5);
  trades.push_back({id, text(), "2", "B", "2024-07-01", "3", "1"});
  EXPECT_EQ(rows("SELECT * FROM Trade ORDER BY rowid"), trades);
  // Undo names the trade; an ampersand in it is no mnemonic.
  QString escaped = qtext();
  escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo New Record of " + escaped + " 2024-07-01 (2 shares)");
  EXPECT_EQ(window.tbMainButton(12)->toolTip(), "Undo New Record of " + qtext() + " 2024-07-01 (2 shares)");

  form()->txtTicker()->setText(qtext());
  form()->cmdFind()->click();
  EXPECT_EQ(form()->box("CompanySymbol", 0)->text(), qtext());
  EXPECT_EQ(form()->box("Date", 0)->text(), "2024-07-01");

  window.mnuViewItem_Click(3);  // History of the symbol the General tab shows
  auto* history = window.forms().find<HistoryView>("frmHistory");
  ASSERT_TRUE(history);
  EXPECT_EQ(history->windowTitle(), "History of " + qtext());
  EXPECT_EQ(history->grid(HistoryView::Buy)->model()->rowCount(), 1);
  EXPECT_EQ(cell(history->grid(HistoryView::Buy), 0, 0), text());
  EXPECT_EQ(cell(history->grid(HistoryView::TotalBuy), 0, 0), "7");
  EXPECT_NE(test::readAll(path, "SELECT sql FROM sqlite_schema WHERE name = 'VBQryBuy'")[0][0].find(
                "= " + quoteSqlString(text())),
            std::string::npos);

  window.mnuViewItem_Click(2);  // Datasheet: Trade by company number, the new one last
  auto* datasheet = window.forms().find<DatasheetView>("frmDatasheet");
  ASSERT_TRUE(datasheet);
  EXPECT_EQ(cell(datasheet->grid(), 2, 1), text());

  EXPECT_EQ(rows(kSchemaSql), schema);
  EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);
  EXPECT_EQ(rows("SELECT * FROM Trade ORDER BY rowid"), trades);
}

INSTANTIATE_TEST_SUITE_P(EachText, UiHostileTextTest, ::testing::Range<size_t>(0, test::hostileTexts().size()),
                         test::hostileTextName);

}  // namespace
}  // namespace ledger
