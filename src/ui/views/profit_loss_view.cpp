#include "profit_loss_view.h"

#include <QLabel>
#include <QMouseEvent>

#include "app/report_data.h"
#include "ui/twips.h"
#include "ui/views/view_support.h"

namespace ledger {

namespace {

constexpr int kLabelLeft = 240;
constexpr int kBoxLeft = 1560;
constexpr int kBoxWidth = 1815;
constexpr int kBoxHeight = 285;
constexpr int kLabelGap = 90;  // between a label and its box

void showFigure(QLineEdit* box, const std::optional<std::string>& text) {
  if (!text) return;
  box->setText(QString::fromStdString(*text));
  box->setCursorPosition(0);  // a long figure shows its leading digits
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
  // Labels size themselves to their text; where this screen's font makes
  // one wider than its place, the boxes and the window move over for it.
  int labelsRight = 0;
  for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
    labelsRight = std::max(labelsRight, findChild<QLabel*>(name)->geometry().right());
  const int shift = std::max(0, labelsRight + twipsToPixelsX(kLabelGap) - twipsToPixelsX(kBoxLeft));
  for (QLineEdit* box : {totalBought, totalSold, pl, percentage}) box->move(box->x() + shift, box->y());

  try {
    setFrameGeometryTwips(9000, m_host.entryFormHeightTwips(), 3825 + pixelsToTwipsX(shift), 2640);
    const ProfitLossFigures figures = readProfitLoss(m_app);
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
    m_host.popupRestoreMenu(ViewTag::ProfitLoss);
    return;
  }
  MdiChild::mousePressEvent(event);
}

}  // namespace ledger
