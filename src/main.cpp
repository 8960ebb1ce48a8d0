// The share ledger: start-up. A command as the first argument ("report",
// "--help") runs without any window and ends the program; so does a
// mistyped one (two or more arguments), with the usage. Otherwise the
// main window is loaded hidden, the template ledger is refreshed from the
// master, and the splash runs; when the splash ends the main window
// appears, with no ledger open, or with the ledger named as the argument.
#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QTimer>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/command_line.h"
#include "app/program_settings.h"
#include "app/startup.h"
#include "ui/info/splash.h"
#include "ui/main/mdi_main.h"
#include "app/program_info.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_prompter.h"

int main(int argc, char** argv) {
  // Before any application object: a command, or a mistyped one, needs no
  // display.
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (ledger::runsWithoutWindows(args)) {
    std::ios::sync_with_stdio(false);  // reports can run to a million lines
    // An import keeps the figures current for the windows of the same user.
    ledger::setKeptFiguresKey(ledger::loadKeptFiguresKey());
    return ledger::runCommandLine(args, std::cout, std::cerr);
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ledger::kAppTitle));
  QApplication::setOrganizationName(QString::fromLatin1(ledger::kSettingsName));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                          .arg(ledger::versionMajor())
                                          .arg(ledger::versionMinor())
                                          .arg(ledger::versionRevision()));

  // The windows are laid out in twips for an 8-point dialog font.
  QFont font = QApplication::font();
  font.setPointSizeF(8);
  QApplication::setFont(font);

  ledger::QtPrompter prompter;
  ledger::QtFileChooser files;
  ledger::AppContext app(prompter, files, ledger::programDirectory().toStdString());

  // Figures kept in ledgers are trusted under this user's key only.
  ledger::setKeptFiguresKey(ledger::loadKeptFiguresKey());
  ledger::MDIMain mainWindow(app);
  // The recent ledgers and the window places, in the context's settings.
  mainWindow.useSettings(app.settings().file());
  // A ledger named on the command line opens once the main window is up.
  const QStringList arguments = QApplication::arguments();
  const QString ledgerArgument = arguments.size() > 1 ? QFileInfo(arguments.at(1)).absoluteFilePath() : QString();
  prompter.setParent(&mainWindow);
  files.setParent(&mainWindow);

  const std::optional<ledger::StartupMessage> problem = ledger::refreshTemplate(app);

  auto* splash = new ledger::SplashScreen;
  splash->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(splash, &ledger::SplashScreen::finished, &mainWindow, [&] {
    mainWindow.show();
    if (!ledgerArgument.isEmpty())
      QTimer::singleShot(0, &mainWindow, [&] { mainWindow.openLedgerFromCommandLine(ledgerArgument.toStdString()); });
    // Told once the main window is up, from the event loop rather than from
    // inside the splash's last tick.
    if (problem)
      QTimer::singleShot(0, &mainWindow, [&] { prompter.show(problem->text, problem->icon); });
  });
  splash->show();
  return application.exec();
}
