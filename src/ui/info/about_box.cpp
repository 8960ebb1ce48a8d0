#include "about_box.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <exception>

#include "program_icon.h"
#include "app/program_info.h"
#include "ui/twips.h"

namespace ledger {

namespace {

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3555;
constexpr int kIconTwips = 480;  // 32 pixels at 96 dots per inch

// Where the system information program is recorded.
constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSysInfoPathValue = "PATH";
constexpr const char* kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kSysInfoFolderValue = "MSINFO";
constexpr const char* kSysInfoProgram = "\\MSINFO32.EXE";
constexpr int kValueBufferSize = 1024;

constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

constexpr const char* kDescription =
    "Torvik's Dozeza Dovezir makes it easy to manage your shares: record every purchase and sale as you "
    "make it, and see at a glance what you paid, what you received and what you gained or lost.";
constexpr const char* kDisclaimer =
    "\u00A9 The Dozeza Dovezir authors. All rights reserved. Provided as is, without any warranty.";
constexpr const char* kContact = "Contact us: ledger@dozeza.example";

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& place) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& text, const QRect& place) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  // Enter presses the focused button, as in a dialog.
  button->setAutoDefault(true);
  return button;
}

// A number's bytes, stored least significant first, as hexadecimal digits
// most significant first.
QString hexMostSignificantFirst(const QByteArray& bytes) {
  QString digits;
  for (qsizetype i = bytes.size() - 1; i >= 0; --i)
    digits += QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
  return digits;
}

}  // namespace

AboutBox::AboutBox(Prompter& prompter, QMdiArea* area)
    : MdiChild(area, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter),
      m_ownRegistry(makeSystemRegistry()),
      m_ownStarter(makeSystemProgramStarter()),
      m_registry(m_ownRegistry.get()),
      m_starter(m_ownStarter.get()) {
  buildControls();
}

AboutBox::AboutBox(Prompter& prompter, Registry& registry, ProgramStarter& starter, QMdiArea* area)
    : MdiChild(area, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter),
      m_registry(&registry),
      m_starter(&starter) {
  buildControls();
}

AboutBox::~AboutBox() = default;

void AboutBox::buildControls() {
  setObjectName("frmAbout");
  setWindowTitle("About Torvik's Dozeza Dovezir");
  // A fixed dialog border. The workspace's frame does not follow its
  // content's fixed size by itself, so it is fixed to fit it.
  setFixedSize(twipsSize(kClientWidth, kClientHeight));
  if (QWidget* outer = frame(); outer != this) outer->setFixedSize(outer->minimumSizeHint());

  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  icon->setGeometry(twipsRect(240, 240, 540, 540));
  icon->setAlignment(Qt::AlignCenter);
  icon->setPixmap(drawProgramIcon(twipsToPixelsX(kIconTwips)));

  QLabel* title = addLabel(this, "lblTitle", "Torvik's Dozeza Dovezir", twipsRect(1050, 240, 3885, 480));
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->setWordWrap(false);

  addLabel(this, "lblVersion", versionText(), twipsRect(1050, 780, 3885, 225));
  addLabel(this, "lblDescription", kDescription, twipsRect(1050, 1125, 3885, 1170));
  QLabel* disclaimer = addLabel(this, "lblDisclaimer", QString::fromUtf8(kDisclaimer), twipsRect(255, 2625, 3870, 465));
  QFont small = disclaimer->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  disclaimer->setFont(small);
  QLabel* contact = addLabel(this, "Label1", kContact, twipsRect(255, 3120, 0, 0));
  contact->setFont(small);
  contact->setWordWrap(false);
  contact->adjustSize();

  m_ok = addButton(this, "cmdOK", "OK", twipsRect(4245, 2625, 1260, 345));
  m_ok->setDefault(true);
  QPushButton* sysInfo = addButton(this, "cmdSysInfo", "&System Info...", twipsRect(4260, 3075, 1245, 345));
  setTabOrder(m_ok, sysInfo);
  m_ok->setFocus();

  connect(m_ok, &QPushButton::clicked, this, [this] { frame()->close(); });
  connect(sysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });
}

void AboutBox::StartSysInfo() {
  try {
    QString path;
    bool found = GetKeyValue(kHkeyLocalMachine, kSysInfoKey, kSysInfoPathValue, path);
    if (!found) {
      QString folder;
      if (GetKeyValue(kHkeyLocalMachine, kSysInfoFolderKey, kSysInfoFolderValue, folder)) {
        const QString candidate = folder + kSysInfoProgram;
        found = m_starter->fileExists(candidate);
        if (found) path = candidate;
      }
    }
    if (found && m_starter->start(path)) return;
  } catch (const std::exception&) {
    // Whatever went wrong, the user learns only that it is unavailable.
  }
  m_prompter.show(kSysInfoUnavailable, MsgIcon::None);
}

bool AboutBox::GetKeyValue(std::uint32_t rootKey, const QString& keyPath, const QString& valueName,
                           QString& keyValue) {
  const std::optional<Registry::Key> key = m_registry->openKey(rootKey, keyPath);
  if (!key) {
    keyValue.clear();
    return false;
  }
  const std::optional<RegistryValue> value = m_registry->queryValue(*key, valueName, kValueBufferSize);
  m_registry->closeKey(*key);
  if (!value) {
    keyValue.clear();
    return false;
  }
  QByteArray data = value->data;
  // The reported size counts a string's terminating zero.
  if (!data.isEmpty() && data.back() == '\0') data.chop(1);
  if (value->type == kRegSz) keyValue = QString::fromLocal8Bit(data);
  else if (value->type == kRegDword) keyValue = "&h" + hexMostSignificantFirst(data);
  return true;
}

// OK is both the default and the cancel button: Enter and Escape that no
// button took close the window.
void AboutBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: m_ok->click(); return;
    default: MdiChild::keyPressEvent(event);
  }
}

// The etched separator: a grey line with a white one just below it.
void AboutBox::paintEvent(QPaintEvent* event) {
  MdiChild::paintEvent(event);
  QPainter painter(this);
  const int greyLeft = twipsToPixelsX(90);
  const int whiteLeft = twipsToPixelsX(105);
  const int right = twipsToPixelsX(5654);
  painter.fillRect(QRect(greyLeft, twipsToPixelsY(2445), right - greyLeft, 1), QColor(128, 128, 128));
  painter.fillRect(QRect(whiteLeft, twipsToPixelsY(2460), right - whiteLeft, 2), Qt::white);
}

}  // namespace ledger
