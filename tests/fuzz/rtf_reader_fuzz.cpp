// Feeds arbitrary bytes to the RTF reader and lays the result out, as the
// help window would. Any crash, sanitizer report or hang is a finding.
#include <QGuiApplication>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/info/rtf_reader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Laying out text needs fonts, and fonts need a GUI application.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTextDocument doc;
  ledger::readRtf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &doc);
  doc.setTextWidth(600);
  (void)doc.documentLayout()->documentSize();
  return 0;
}
