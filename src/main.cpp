// The share ledger: start-up.
#include <QApplication>
#include <QMainWindow>

#include "app/app_context.h"
#include "app/startup.h"
#include "ui/program_info.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_prompter.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ledger::kAppTitle));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                          .arg(ledger::versionMajor())
                                          .arg(ledger::versionMinor())
                                          .arg(ledger::versionRevision()));

  ledger::QtPrompter prompter;
  ledger::QtFileChooser files;
  ledger::AppContext app(prompter, files, ledger::programDirectory().toStdString());

  QMainWindow window;
  window.setWindowTitle(QString::fromUtf8(ledger::kTitlePrefix));
  prompter.setParent(&window);
  files.setParent(&window);

  if (auto problem = ledger::refreshTemplate(app)) prompter.show(*problem, ledger::MsgIcon::Critical);
  window.showMaximized();
  return application.exec();
}
