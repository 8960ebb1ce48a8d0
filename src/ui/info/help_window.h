#pragma once
// frmHelp: the program's help document, ReadMe.rtf from the program folder,
// read-only in a box that fills the window, with a Close button in the
// lower right corner and, after Ctrl+F, a find bar beside it. The document
// is read afresh each time the window is made.

#include <QString>

#include "app/prompter.h"
#include "ui/mdi_child.h"

class QPushButton;
class QResizeEvent;
class QTextBrowser;

namespace ledger {

class HelpFindBar;

class HelpWindow : public MdiChild {
  Q_OBJECT
 public:
  // Places the window at the workspace's top left corner, sizes it and
  // loads documentPath. A document that cannot be read is reported once
  // through prompter ("ReadMe.rtf could not be found!") and leaves the box
  // empty; the window stays either way.
  HelpWindow(Prompter& prompter, const QString& documentPath, QMdiArea* area = nullptr);

  // The help document of this installation: ReadMe.rtf beside the program.
  static QString defaultDocumentPath();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void loadDocument(const QString& path);
  void layOut();

  Prompter& m_prompter;
  QTextBrowser* m_help;
  QPushButton* m_close;
  HelpFindBar* m_findBar;
};

}  // namespace ledger
