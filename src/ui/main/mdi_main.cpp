#include "mdi_main.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/main/menu_shortcut_filter.h"
#include "ui/pictures.h"
#include "app/program_info.h"
#include "ui/recent_ledgers.h"
#include "ui/screen_fit.h"

namespace ledger {

MDIMain::MDIMain(AppContext& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_commands(app.session(), app.prompter(), *this) {
  setObjectName(QStringLiteral("MDIMain"));
  setWindowTitle(QString::fromUtf8(kTitlePrefix));
  setWindowIcon(picture(PictureId::NewDatabase));
  // Right clicks belong to the workspace popup, not to Qt's toolbar menu.
  setContextMenuPolicy(Qt::NoContextMenu);

  m_area = new QMdiArea(this);
  m_area->setObjectName(QStringLiteral("mdiArea"));
  m_area->viewport()->installEventFilter(this);
  setCentralWidget(m_area);

  createMenus();
  createPopupMenus();
  createToolBar();
  createStatusBar();
  groupChangeCommands();
  m_shortcutFilter = new MenuShortcutFilter(this);
  defineForms();

  // The window covers the screen's free area; its frame is fitted in once
  // the window system has drawn it.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  keepFrameOnScreen(this);
  ResetButtons();
  watchLedgerFile();
}

MDIMain::~MDIMain() {
  m_app.session().setLedgerFileListener({});
  // Child windows still open go while the window is whole: their
  // going is reported back to it (LedgerCommands::entryWindowClosed).
  for (QMdiSubWindow* sub : m_area->subWindowList()) delete sub;
}

void MDIMain::createStatusBar() {
  QStatusBar* sb = statusBar();
  sb->setObjectName(QStringLiteral("sb"));
  m_sbPanel = new QLabel(sb);
  m_sbPanel->setObjectName(QStringLiteral("sbPanel1"));
  sb->addWidget(m_sbPanel, 1);
}

void MDIMain::setStatusText(const QString& text) { m_sbPanel->setText(text); }

QString MDIMain::statusText() const { return m_sbPanel->text(); }

bool MDIMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_area->viewport() && event->type() == QEvent::MouseButtonPress)
    MDIForm_MouseDown(static_cast<QMouseEvent*>(event)->button());
  return QMainWindow::eventFilter(watched, event);
}

void MDIMain::closeEvent(QCloseEvent* event) {
  bool leave = true;
  guarded(m_app.prompter(), [&] { leave = m_commands.settleEntry(); });
  if (!leave) {
    event->ignore();
    return;
  }
  m_commands.forgetEntry();
  forms().unloadAll();
  // Windows the registry does not know of go too.
  for (QMdiSubWindow* sub : m_area->subWindowList()) {
    sub->hide();
    sub->deleteLater();
  }
  event->accept();
}

}  // namespace ledger
