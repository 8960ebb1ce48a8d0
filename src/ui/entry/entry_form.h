#pragma once
// The trade entry form "Your Shares": three tabs of boxes named after the
// columns they show (General: Trade, Bought Shares: Bought, Sold Shares:
// Sold), the Buy/Sell choice, the symbol list, the ticker search and a
// navigation toolbar per tab. The form holds no data of its own: the record
// operations fill and read its boxes through FormPort.

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

#include "app/form_port.h"
#include "ui/mdi_child.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolBar;

namespace ledger {

class AppContext;
class EntryHost;

class EntryForm final : public MdiChild, public FormPort {
  Q_OBJECT

 public:
  // Builds and loads the form: it stands at the workspace's top left and
  // shows the first trade of the General tab. app and host must outlive it.
  EntryForm(AppContext& app, EntryHost& host, QMdiArea* area = nullptr);

  QTabWidget* SSTab() const { return m_tab; }
  // The box showing column on tab (0 General, 1 Bought, 2 Sold); nullptr
  // when that tab has no such box.
  QLineEdit* box(const QString& column, int tab) const;
  // Every text box of the form, txtTicker included.
  QList<QLineEdit*> textBoxes() const;
  QComboBox* cboCompanySymbol() const { return m_cboCompanySymbol; }
  QLineEdit* txtTicker() const { return m_txtTicker; }
  QPushButton* cmdFind() const { return m_cmdFind; }
  QRadioButton* optBuy() const { return m_optBuy; }
  QRadioButton* optSell() const { return m_optSell; }
  // tbNavigateG, tbNavigateB, tbNavigateS by tab.
  QToolBar* navigationBar(int tab) const;

  // Shows the symbol list in place of the CompanySymbol box of the General
  // tab, or the box again.
  void showSymbolList(bool show);
  // Whether the symbol list stands in place of the box (a new trade).
  bool symbolListShown() const;

  // Reopens the selected tab's table, shows its first row and sets the main
  // toolbar's New, Edit and Delete. previousTab is not used. Every step runs
  // even when one before it failed.
  void SSTab_Click(int previousTab);
  // New (button 2) = enableNew; Edit and Delete (4, 7) = editDelete, or
  // enableNew when it is not given.
  void ResetButtons(bool enableNew, std::optional<bool> editDelete = std::nullopt);
  // A navigation button: "First", "Previous", "Next" or "Last" by its key.
  void tbNavigateG_ButtonClick(QAction* button);
  void tbNavigateB_ButtonClick(QAction* button) { tbNavigateG_ButtonClick(button); }
  void tbNavigateS_ButtonClick(QAction* button) { tbNavigateG_ButtonClick(button); }
  // The symbol check when the focus leaves the symbol list; also run by
  // Save before it reads the General tab.
  void cboCompanySymbol_Validate();
  // The Find button.
  void cmdFind_Click();
  // The symbol box's popup menu with its Splits and Dividends item, at
  // pos in the box. Shown, not waited for.
  QMenu* popupSymbolMenu(const QPoint& pos);

 signals:
  // The symbol box's menu asked for the company's splits and dividends.
  void companyEventsRequested(const QString& symbol);

 public:

  // FormPort
  int currentTab() const override;
  std::optional<std::string> boxText(std::string_view column, int tab) const override;
  bool setBoxText(std::string_view column, int tab, const std::string& text) override;
  bool isBuySelected() const override;
  bool isSellSelected() const override;
  void selectBuy(bool buy) override;
  void clearSide() override;
  void setStatusText(const std::string& text) override;
  std::string companySymbolText() const override;
  int companyListCount() const override;
  std::string companyListItem(int index) const override;
  void insertCompanyListItem(int index, const std::string& symbol) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the window asks first about a trade being typed.
  void closeEvent(QCloseEvent* event) override;

 private:
  // entry_layout.cpp
  void buildGeneralTab(QWidget* page);
  void buildTotalsTab(QWidget* page, int tab);
  QLineEdit* addBox(QWidget* parent, const QString& column, int tab, int top);
  QToolBar* addNavigation(QWidget* page, const QString& frameName, const QString& barName, int top);
  void placeOnPage(QWidget* w, int left, int top, int width, int height) const;

  AppContext& m_app;
  EntryHost& m_host;
  QTabWidget* m_tab = nullptr;
  QHash<QPair<QString, int>, QLineEdit*> m_boxes;
  QComboBox* m_cboCompanySymbol = nullptr;
  QLineEdit* m_txtTicker = nullptr;
  QPushButton* m_cmdFind = nullptr;
  QRadioButton* m_optBuy = nullptr;
  QRadioButton* m_optSell = nullptr;
  QToolBar* m_navigation[3] = {};
  int m_pageOffsetTwips = 0;
};

}  // namespace ledger
