#pragma once
// The help window's find bar: a text box with Next and Previous that looks
// for the text in the help, whatever its case, round the document's end.
// Hidden until Ctrl+F; Enter finds the next match, Shift+Enter the one
// before, Esc hides the bar. "Not found" shows while the text is nowhere.

#include <QTextCursor>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextEdit;

namespace ledger {

class HelpFindBar : public QWidget {
  Q_OBJECT
 public:
  // Searches view, which must outlive the bar.
  HelpFindBar(QTextEdit* view, QWidget* parent);

  // Shows the bar with its text selected, ready for typing.
  void open();
  void findNext();
  void findPrevious();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Selects the first match from `from` on, going round the document's end.
  void findFrom(const QTextCursor& from, bool backward);
  void close();

  QTextEdit* m_view;
  QLineEdit* m_text;
  QLabel* m_notFound;
};

}  // namespace ledger
