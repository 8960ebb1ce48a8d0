#include "history_view.h"

#include <QResizeEvent>

#include <cmath>

#include "engine/db_error.h"
#include "ui/twips.h"
#include "ui/views/view_support.h"

namespace ledger {

namespace {

constexpr const char* kGridNames[] = {"DBGridBuy", "DBGridSell", "DBGridTotalBuy", "DBGridTotalSell", "DBGridPL"};
// The three small grids keep this size (twips).
constexpr int kSmallGridWidth = 2295;
constexpr int kSmallGridHeight = 975;

int twips(double value) { return static_cast<int>(std::lround(value)); }

// Places a grid with its caption strip on top, both in the rectangle the
// grid is given.
void placeCaptioned(QLabel* caption, QTableView* grid, const QRect& rect) {
  const int captionHeight = caption->sizeHint().height();
  caption->setGeometry(rect.x(), rect.y(), rect.width(), captionHeight);
  grid->setGeometry(rect.x(), rect.y() + captionHeight, rect.width(), std::max(0, rect.height() - captionHeight));
}

}  // namespace

HistoryView::HistoryView(AppContext& app, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_host(host) {
  setObjectName("frmHistory");
  for (int g = 0; g < kGridCount; ++g) {
    m_grids[g] = makeGrid(this, kGridNames[g]);
    m_models[g] = new RecordsetModel(m_grids[g]);
    m_grids[g]->setModel(m_models[g]);
    connect(m_models[g], &RecordsetModel::readFailed, this,
            [this](const QString& reason) {
              reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, reason.toStdString());
            },
            Qt::QueuedConnection);
  }
  for (int g : {TotalBuy, TotalSell, ProfitLoss}) m_grids[g]->resize(twipsSize(kSmallGridWidth, kSmallGridHeight));
  m_buyCaption = makeCaption(this, "Buying History", "lblBuyingHistory");
  m_sellCaption = makeCaption(this, "Selling History", "lblSellingHistory");
  for (int g = 0; g < kGridCount; ++g)
    new RightPressFilter(m_grids[g]->viewport(), [this, g] {
      const QString query = QString::fromLatin1(kHistoryQueryNames[static_cast<size_t>(g)]);
      m_host.popupGridMenu(ViewTag::History, GridExport{query, nullptr, query + ".csv"});
    });

  try {
    std::optional<HistoryRead> read = readHistory(m_app, m_host.generalTabSymbol().toStdString());
    setWindowTitle("History of " + m_host.generalTabSymbol());
    setFrameGeometryTwips(0, 5485, 9000, 7245);
    layoutGrids();
    if (read) bindGrids(*read);
  } catch (const std::exception& e) {
    reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, e.what());
  }
}

void HistoryView::bindGrids(HistoryRead& read) {
  const HistoryFigures& figures = read.figures;
  // The first grid that cannot be bound says why; the others are still tried.
  std::optional<std::string> failure;
  const std::optional<std::string>* figureOf[kGridCount] = {nullptr, nullptr, &figures.totalBuy, &figures.totalSell,
                                                            &figures.profitLoss};
  for (int g = 0; g < kGridCount; ++g) {
    const std::string query = kHistoryQueryNames[static_cast<size_t>(g)];
    try {
      if (const std::optional<std::string>* figure = figureOf[g]) {
        // One row, as a total's query always gives: a number (aligned as
        // one) shown as its exact text, or Null when there is nothing to
        // total.
        const std::optional<std::string> text = *figure;
        m_models[g]->setCellText([text](std::span<const Value>, int column) -> std::optional<std::string> {
          if (column != 0) return std::nullopt;
          return text.value_or(std::string());
        });
        std::vector<Value> row{text ? Value(std::strtod(text->c_str(), nullptr)) : Value()};
        m_models[g]->setKnownRows(read.ledger, query, std::move(row));
      } else {
        const std::optional<std::int64_t> count =
            read.listCounts ? std::optional((*read.listCounts)[static_cast<size_t>(g)]) : std::nullopt;
        m_models[g]->setSource(read.ledger, query, {}, count);
      }
      m_grids[g]->resizeColumnsToContents();
    } catch (const DbError& e) {
      if (!failure) failure = e.what();
    }
  }
  if (failure) reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, *failure);
}

void HistoryView::layoutGrids() {
  // Proportions of the window's outer size, so the two lists share the
  // height and the three figures stay in a row below them.
  const double w = frameWidthTwips();
  const double h = frameHeightTwips();
  placeCaptioned(m_buyCaption, m_grids[Buy], twipsRect(0, 0, twips(w), twips(0.39 * h)));
  const int buyHeight = twips(0.39 * h);
  placeCaptioned(m_sellCaption, m_grids[Sell], twipsRect(0, buyHeight, twips(w), twips(0.39 * h)));
  const int top = twipsToPixelsY(twips(0.78 * h));
  m_grids[TotalBuy]->move(twipsToPixelsX(480), top);
  m_grids[TotalSell]->move(twipsToPixelsX(twips(w / 2 - pixelsToTwipsX(m_grids[TotalSell]->width()) / 2.0)), top);
  m_grids[ProfitLoss]->move(twipsToPixelsX(twips(w - 2775)), top);
}

void HistoryView::resizeEvent(QResizeEvent* event) {
  MdiChild::resizeEvent(event);
  layoutGrids();
}

}  // namespace ledger
