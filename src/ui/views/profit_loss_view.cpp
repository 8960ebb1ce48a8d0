#include "profit_loss_view.h"

#include <QLabel>
#include <QMouseEvent>

#include "data/view_queries.h"
#include "ui/twips.h"
#include "ui/views/view_support.h"

namespace ledger {

namespace {

constexpr int kLabelLeft = 240;
constexpr int kBoxLeft = 1560;
constexpr int kBoxWidth = 1815;
constexpr int kBoxHeight = 285;

void showFigure(QLineEdit* box, const std::optional<std::string>& text) {
  if (text) box->setText(QString::fromStdString(*text));
}

}  // namespace

ProfitLossView::ProfitLossView(AppContext& app, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_host(host) {
  setObjectName("frmPL");
  setWindowTitle("Profit/Loss");
  // Top to bottom: purchased, sold, profit/loss, percentage.
  QLineEdit* totalBought = addFigure("Total Purchased:", "Label1", "TotalBought", 240);
  QLineEdit* totalSold = addFigure("Total Sold:", "Label4", "TotalSold", 720);
  QLineEdit* pl = addFigure("Profit/Loss:", "Label3", "PL", 1200);
  QLineEdit* percentage = addFigure("Percentage:", "Label2", "Percentage", 1680);
  setTabOrder(totalBought, percentage);
  setTabOrder(percentage, pl);
  setTabOrder(pl, totalSold);

  try {
    setFrameGeometryTwips(9000, m_host.entryFormHeightTwips(), 3825, 2640);
    const ProfitLossFigures figures = readProfitLossFigures(m_app.session());
    showFigure(totalBought, figures.totalBought);
    showFigure(totalSold, figures.totalSold);
    showFigure(pl, figures.profitLoss);
    showFigure(percentage, figures.percentage);
  } catch (const std::exception& e) {
    reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, e.what());
  }
}

QLineEdit* ProfitLossView::addFigure(const char* caption, const char* labelName, const char* boxName, int top) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(labelName);
  label->move(twipsToPixelsX(kLabelLeft), twipsToPixelsY(top));
  label->adjustSize();
  auto* box = new QLineEdit(this);
  box->setObjectName(boxName);
  box->setGeometry(twipsRect(kBoxLeft, top, kBoxWidth, kBoxHeight));
  return box;
}

void ProfitLossView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    popupRestoreMenu(m_app, m_host, "PL");
    return;
  }
  MdiChild::mousePressEvent(event);
}

}  // namespace ledger
