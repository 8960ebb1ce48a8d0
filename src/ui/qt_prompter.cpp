#include "qt_prompter.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace ledger {

MsgAnswer QtPrompter::show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                           const std::string& title) {
  QMessageBox box(m_parent);
  box.setWindowTitle(QString::fromStdString(title));
  // Messages join lines with CR LF; a label wants plain line feeds.
  box.setText(QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  box.setTextFormat(Qt::PlainText);
  switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  if (buttons == MsgButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else if (buttons == MsgButtons::YesNoCancel) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  // A busy pointer must not stand over a question.
  const bool busy = QGuiApplication::overrideCursor() != nullptr;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  switch (answer) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return buttons == MsgButtons::Ok ? MsgAnswer::Ok : buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
  }
}

}  // namespace ledger
