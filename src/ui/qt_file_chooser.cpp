#include "qt_file_chooser.h"

#include <QFileDialog>
#include <QGuiApplication>

namespace ledger {

QString qtFilterFrom(const std::string& filter) {
  // "description|pattern|description|pattern...": each pair is one entry.
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  if (parts.size() < 2) return parts.value(0);
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    entries << (description.contains(pattern) ? description : description + " (" + pattern + ")");
  }
  return entries.join(QStringLiteral(";;"));
}

std::optional<std::string> QtFileChooser::run(const FileDialogSettings& settings, bool save) {
  QFileDialog dialog(m_parent);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(qtFilterFrom(settings.filter));
  dialog.setDefaultSuffix(QString::fromStdString(settings.defaultExtension));
  if (!settings.initialDirectory.empty()) dialog.setDirectory(QString::fromStdString(settings.initialDirectory));
  if (!settings.fileName.empty()) dialog.selectFile(QString::fromStdString(settings.fileName));
  const bool busy = QGuiApplication::overrideCursor() != nullptr;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (busy) QGuiApplication::restoreOverrideCursor();
  if (!accepted) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtFileChooser::chooseOpen(const FileDialogSettings& settings) {
  return run(settings, false);
}

std::optional<std::string> QtFileChooser::chooseSave(const FileDialogSettings& settings) {
  return run(settings, true);
}

}  // namespace ledger
