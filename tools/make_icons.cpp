// Renders the program's icon into PNG files of the sizes given, for the
// desktop's icon theme. The icon is the one the program paints for its
// windows, so the installed pictures always match it.
// Usage: make_icons <output-dir> <size>...   (writes <dir>/<size>.png)
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "ui/info/program_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output-dir> <size>...\n", argv[0]);
    return 2;
  }
  // Runs at build time, where there is no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "make_icons: cannot make %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
      return 2;
    }
    const QString file = out.filePath(QStringLiteral("%1.png").arg(size));
    if (!ledger::drawProgramIcon(size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
