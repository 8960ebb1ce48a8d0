#include "splash.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include "ui/pictures.h"
#include "app/program_info.h"
#include "ui/twips.h"

namespace ledger {

namespace {

// The logo, painted to fill its box whatever the screen's scale.
class LogoView final : public QWidget {
 public:
  explicit LogoView(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    paintLogo(painter, rect());
  }
};

QFont arial(qreal pointSize, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

// A label at left, top (twips, inside parent), sized to its text.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->move(twipsToPixelsX(left), twipsToPixelsY(top));
  return label;
}

void sizeToText(QLabel* label, const QFont& font) {
  label->setFont(font);
  label->adjustSize();
}

}  // namespace

SplashScreen::SplashScreen(QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  // Closing the splash must not end the program: the main window follows.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  const int border = frameWidth();
  setFixedSize(twipsSize(7380, 5595) + QSize(2 * border, 2 * border));

  auto* frame = new QGroupBox(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(twipsRect(150, 60, 7080, 5235).translated(border, border));

  auto* logo = new LogoView(frame);
  logo->setObjectName(QStringLiteral("imgLogo"));
  logo->setGeometry(twipsRect(360, 795, 1815, 2385));

  sizeToText(addLabel(frame, "lblCompanyProduct", QStringLiteral("Torvik's"), 2355, 705), arial(18, true));
  sizeToText(addLabel(frame, "lblProductName", QStringLiteral("Dozeza Dovezir"), 2400, 1140), arial(27.75, true));
  QLabel* platform = addLabel(frame, "lblPlatform", QStringLiteral("Windows98, 2000"), 4215, 2340);
  platform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  sizeToText(platform, arial(15.75, true));
  QLabel* version = addLabel(frame, "lblVersion", versionText(), 5445, 2700);
  version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  sizeToText(version, arial(12, true));

  QLabel* copyright = addLabel(frame, "lblCopyright", QStringLiteral("Copyright \u00A9 Torvik's"), 4440, 3060);
  copyright->setFont(arial(8.25, false));
  copyright->resize(twipsSize(2535, 255));
  QLabel* warning = addLabel(frame, "lblWarning",
                             QStringLiteral("This program may be copied and passed on to others freely, "
                                            "as long as it is passed on whole and unchanged."),
                             150, 3660);
  warning->setFont(arial(8.25, false));
  warning->setWordWrap(true);
  warning->resize(twipsSize(6615, 435));
  addLabel(frame, "Label1", QStringLiteral("Loading ..."), 3360, 4440)->adjustSize();

  m_pb = new QProgressBar(frame);
  m_pb->setObjectName(QStringLiteral("pb"));
  m_pb->setGeometry(twipsRect(2160, 4800, 3015, 255));
  m_pb->setRange(0, kTicks);
  m_pb->setValue(0);
  m_pb->setTextVisible(false);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  setCursor(Qt::WaitCursor);

  m_timer = new QTimer(this);
  m_timer->setObjectName(QStringLiteral("Timer1"));
  m_timer->setInterval(1);
  m_timer->setTimerType(Qt::PreciseTimer);
  connect(m_timer, &QTimer::timeout, this, &SplashScreen::Timer1_Timer);
  m_timer->start();
}

void SplashScreen::Timer1_Timer() {
  // A tick already queued when a key ended the splash counts for nothing.
  if (m_ended) return;
  ++m_ticks;
  m_pb->setValue(m_ticks);
  if (m_ticks == kTicks) endSplash();
}

void SplashScreen::Form_KeyPress() { endSplash(); }

void SplashScreen::keyPressEvent(QKeyEvent*) { Form_KeyPress(); }

void SplashScreen::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  // Keys come to the splash itself; none of its controls takes them.
  activateWindow();
  setFocus();
}

void SplashScreen::endSplash() {
  if (m_ended) return;
  m_ended = true;
  unsetCursor();
  m_timer->stop();
  close();
  emit finished();
}

}  // namespace ledger
