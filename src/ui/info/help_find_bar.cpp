#include "help_find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

namespace ledger {

HelpFindBar::HelpFindBar(QTextEdit* view, QWidget* parent)
    : QWidget(parent), m_view(view), m_text(new QLineEdit(this)), m_notFound(new QLabel(tr("Not found"), this)) {
  setObjectName("FindBar");
  m_text->setObjectName("txtFind");
  m_text->setPlaceholderText(tr("Find"));
  m_text->installEventFilter(this);
  // No mnemonics: Alt and a letter belong to the main window's menus.
  auto* next = new QPushButton(tr("Next"), this);
  next->setObjectName("cmdFindNext");
  auto* previous = new QPushButton(tr("Previous"), this);
  previous->setObjectName("cmdFindPrevious");
  for (QPushButton* button : {next, previous}) button->setAutoDefault(false);
  m_notFound->setObjectName("lblNotFound");
  m_notFound->hide();

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(m_text, 1);
  row->addWidget(next);
  row->addWidget(previous);
  row->addWidget(m_notFound);

  connect(next, &QPushButton::clicked, this, &HelpFindBar::findNext);
  connect(previous, &QPushButton::clicked, this, &HelpFindBar::findPrevious);
  // While typing, the match grows from where the last one began.
  connect(m_text, &QLineEdit::textEdited, this, [this] {
    QTextCursor from = m_view->textCursor();
    from.setPosition(from.selectionStart());
    findFrom(from, false);
  });
  hide();
}

void HelpFindBar::open() {
  show();
  m_text->setFocus();
  m_text->selectAll();
}

void HelpFindBar::findNext() { findFrom(m_view->textCursor(), false); }

void HelpFindBar::findPrevious() { findFrom(m_view->textCursor(), true); }

void HelpFindBar::findFrom(const QTextCursor& from, bool backward) {
  const QString text = m_text->text();
  QTextCursor found;
  if (!text.isEmpty()) {
    const QTextDocument* document = m_view->document();
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    found = document->find(text, from, flags);
    if (found.isNull()) found = document->find(text, backward ? document->characterCount() : 0, flags);
  }
  m_notFound->setVisible(!text.isEmpty() && found.isNull());
  if (!found.isNull()) m_view->setTextCursor(found);
}

void HelpFindBar::close() {
  hide();
  m_notFound->hide();
  m_view->setFocus();
}

bool HelpFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_text || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape) {
    close();
    return true;
  }
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    if (key->modifiers() & Qt::ShiftModifier) findPrevious();
    else findNext();
    return true;
  }
  return false;
}

}  // namespace ledger
