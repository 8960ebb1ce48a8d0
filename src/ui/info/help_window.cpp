#include "help_window.h"

#include <QFile>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTextBrowser>

#include <algorithm>

#include "help_find_bar.h"
#include "rtf_reader.h"
#include "app/program_info.h"
#include "ui/twips.h"

namespace ledger {

namespace {

// Outer size at load, in twips.
constexpr int kWidth = 9690;
constexpr int kHeight = 7545;
// What the box leaves free of the outer size, and where the button stands
// from the outer bottom right corner.
constexpr int kBoxMarginRight = 100;
constexpr int kBoxMarginBottom = 1100;
constexpr int kCloseFromRight = 1410;
constexpr int kCloseFromBottom = 900;
constexpr int kCloseWidth = 1095;
constexpr int kCloseHeight = 375;
constexpr int kFindBarLeft = 120;

const std::string kMissingDocument = std::string(kHelpFileName) + " could not be found!";

}  // namespace

HelpWindow::HelpWindow(Prompter& prompter, const QString& documentPath, QMdiArea* area)
    : MdiChild(area),
      m_prompter(prompter),
      m_help(new QTextBrowser(this)),
      m_close(new QPushButton(this)),
      m_findBar(new HelpFindBar(m_help, this)) {
  setObjectName("frmHelp");
  setWindowTitle("Help");

  m_help->setObjectName("Help");
  m_help->setOpenLinks(false);
  m_close->setObjectName("cmdClose");
  m_close->setText("&Close");
  m_close->resize(twipsSize(kCloseWidth, kCloseHeight));
  setTabOrder(m_help, m_close);
  connect(m_close, &QPushButton::clicked, this, [this] { frame()->close(); });
  auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
  find->setContext(Qt::WidgetWithChildrenShortcut);
  connect(find, &QShortcut::activated, m_findBar, &HelpFindBar::open);

  setFrameGeometryTwips(0, 0, kWidth, kHeight);
  layOut();
  loadDocument(documentPath);
}

QString HelpWindow::defaultDocumentPath() {
  return programDirectory() + QLatin1Char('/') + QLatin1String(kHelpFileName);
}

void HelpWindow::loadDocument(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    m_prompter.show(kMissingDocument, MsgIcon::Critical);
    return;
  }
  readRtf(file.readAll(), m_help->document());
  m_help->moveCursor(QTextCursor::Start);  // open at the top, not where reading ended
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  MdiChild::resizeEvent(event);
  layOut();
}

// Follows the outer size of the window. A size the window is too small for
// is not applied, so the box keeps the last one that fitted.
void HelpWindow::layOut() {
  const int outerWidth = frameWidthTwips();
  const int outerHeight = frameHeightTwips();
  const int boxWidth = outerWidth - kBoxMarginRight;
  const int boxHeight = outerHeight - kBoxMarginBottom;
  m_help->move(0, 0);
  if (boxWidth >= 0) m_help->resize(twipsToPixelsX(boxWidth), m_help->height());
  if (boxHeight >= 0) m_help->resize(m_help->width(), twipsToPixelsY(boxHeight));
  m_close->move(twipsToPixelsX(outerWidth - kCloseFromRight), twipsToPixelsY(outerHeight - kCloseFromBottom));
  // The find bar takes the row of the Close button, left of it.
  m_findBar->setGeometry(twipsToPixelsX(kFindBarLeft), m_close->y(),
                         std::max(0, m_close->x() - twipsToPixelsX(2 * kFindBarLeft)), m_close->height());
}

}  // namespace ledger
