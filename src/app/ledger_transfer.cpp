#include "app/ledger_transfer.h"

#include <filesystem>
#include <memory>

#include "access/access_conversion.h"
#include "access/access_file.h"
#include "transfer/csv_export.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "ledger/ledger_open.h"

namespace ledger {

namespace {

bool samePath(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec) && !ec) return true;
  auto norm = [](const std::string& p) {
    std::error_code e;
    std::string s = std::filesystem::absolute(p, e).lexically_normal().string();
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  return norm(a) == norm(b);
}

}  // namespace

FileDialogSettings csvSaveSettings(const std::string& fileName) {
  FileDialogSettings settings;
  settings.filter = "CSV File (*.csv)|*.csv";
  settings.defaultExtension = "csv";
  settings.fileName = fileName;
  return settings;
}

bool exportToCsv(AppContext& app, const std::string& source, const std::string& suggestedName) {
  return exportToCsvWith(app, app.session().LedgerPath, suggestedName, [&](const std::string& file) {
    Database db = app.session().ledgerConnection();
    exportSourceCsvFile(db, source, file);
  });
}

bool exportToCsvWith(AppContext& app, const std::string& ledgerPath, const std::string& suggestedName,
                     const std::function<void(const std::string& file)>& write) {
  const std::optional<std::string> chosen = app.files().chooseSave(csvSaveSettings(suggestedName));
  if (!chosen || chosen->empty()) return false;
  for (const std::string& ours : {ledgerPath, app.templatePath(), app.masterPath()}) {
    if (samePath(*chosen, ours)) {
      app.prompter().show("You can not save to this file.", MsgIcon::Critical);
      return false;
    }
  }
  std::string why;
  try {
    write(*chosen);
  } catch (const DbError& e) {
    why = e.what();
  } catch (const std::filesystem::filesystem_error& e) {
    why = e.code().message();
  }
  if (why.empty()) return true;
  app.prompter().show("The CSV file could not be written to" + std::string(kNewLine) + *chosen + kNewLine +
                          kNewLine + why,
                      MsgIcon::Critical);
  return false;
}

std::optional<std::string> offerConversion(AppContext& app, const std::string& accessPath) {
  const MsgAnswer answer = app.prompter().show(
      accessPath + kNewLine + "is a ledger in the older format, which this program cannot open as it is." +
          kNewLine + kNewLine + "Make a copy of it in the program's format? The file itself is not changed.",
      MsgIcon::Question, MsgButtons::YesNo);
  if (answer != MsgAnswer::Yes) return std::nullopt;

  std::unique_ptr<TableSource> source;
  try {
    source = openAccessFile(accessPath);
    if (const std::string refused = checkLedgerTables(*source); !refused.empty()) {
      app.prompter().show(refused, MsgIcon::Information);
      return std::nullopt;
    }
  } catch (const SourceError& e) {
    app.prompter().show(accessPath + kNewLine + "cannot be read." + kNewLine + kNewLine + e.what(),
                        MsgIcon::Critical);
    return std::nullopt;
  }

  const std::optional<std::string> target = app.files().chooseSave(FileDialogSettings{});
  if (!target || target->empty()) return std::nullopt;
  const ConversionOutcome outcome =
      convertAccessLedger(*source, *target, app.templateSource(), {accessPath, app.templatePath(), app.masterPath()});
  if (!outcome.made) {
    app.prompter().show(outcome.message, MsgIcon::Critical);
    return std::nullopt;
  }
  return *target;
}

}  // namespace ledger
