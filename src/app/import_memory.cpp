#include "app/import_memory.h"

#include <QCryptographicHash>

#include <QSettings>

namespace ledger {

namespace {

QString mappingKey(const CsvRecord& header) {
  const QByteArray text = QByteArray::fromStdString(headerKey(header));
  return QStringLiteral("ImportMappings/") +
         QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex());
}

}  // namespace

std::optional<RememberedImport> recallImport(const QSettings& settings, const CsvRecord& header) {
  const QString key = mappingKey(header);
  if (!settings.contains(key + "/map")) return std::nullopt;
  const auto mapping = mappingFromText(settings.value(key + "/map").toString().toStdString());
  if (!mapping) return std::nullopt;
  return RememberedImport{*mapping, dateFormatFromName(settings.value(key + "/dateFormat").toString().toStdString()),
                          settings.value(key + "/decimalComma").toBool(),
                          settings.value(key + "/sideFromSign").toBool()};
}

void rememberImport(QSettings& settings, const CsvRecord& header, const ImportOptions& options) {
  const QString key = mappingKey(header);
  settings.setValue(key + "/header", QString::fromStdString(headerKey(header)));
  settings.setValue(key + "/map", QString::fromStdString(mappingToText(options.mapping)));
  settings.setValue(key + "/dateFormat", dateFormatName(options.dateFormat));
  settings.setValue(key + "/decimalComma", options.decimalComma);
  settings.setValue(key + "/sideFromSign", options.sideFromSign);
}

}  // namespace ledger
