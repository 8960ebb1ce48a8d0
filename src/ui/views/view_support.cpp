#include "view_support.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>


namespace ledger {

RightPressFilter::RightPressFilter(QWidget* target, std::function<void()> onPress)
    : QObject(target), m_onPress(std::move(onPress)) {
  target->installEventFilter(this);
}

bool RightPressFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    m_onPress();
    return true;
  }
  return QObject::eventFilter(watched, event);
}


QTableView* makeGrid(QWidget* parent, const QString& objectName) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(objectName);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid->setContextMenuPolicy(Qt::PreventContextMenu);
  grid->setWordWrap(false);
  // Row selectors without numbers: counting a million rows to size them
  // would defeat the lazy reading.
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setMinimumWidth(16);
  return grid;
}

QLabel* makeCaption(QWidget* parent, const QString& text, const QString& objectName) {
  auto* caption = new QLabel(text, parent);
  caption->setObjectName(objectName);
  caption->setAlignment(Qt::AlignCenter);
  caption->setFrameShape(QFrame::Panel);
  caption->setFrameShadow(QFrame::Raised);
  caption->setAutoFillBackground(true);
  return caption;
}

}  // namespace ledger
