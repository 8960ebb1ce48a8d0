#include "startup.h"

#include <filesystem>

#include "engine/db_error.h"
#include "engine/durable_file.h"
#include "ledger/ledger_objects.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_schema.h"

namespace ledger {

namespace {

// Runs f; true when it finished, false when it threw a file or engine error.
template <typename F>
bool attempt(F&& f, std::string& why) {
  try {
    f();
    return true;
  } catch (const DbError& e) {
    why = e.what();
  } catch (const std::filesystem::filesystem_error& e) {
    why = e.what();
  }
  return false;
}

std::string joinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string rebuiltMessage(const std::string& master, const std::string& problem) {
  return "The master ledger" + std::string(kNewLine) + master + kNewLine + "was damaged: " + problem + kNewLine +
         kNewLine + "It has been made again from the ledger schema built into the program; new ledgers start "
         "from it as before.";
}

std::string notRebuiltMessage(const std::string& master, const std::string& problem, const std::string& why) {
  return "The master ledger" + std::string(kNewLine) + master + kNewLine + "is damaged: " + problem + kNewLine +
         kNewLine + "It could not be made again (" + why + "). New ledgers are made from the ledger schema "
         "built into the program instead.";
}

}  // namespace

std::optional<std::string> masterProblem(const std::string& path) {
  try {
    Database db = openLedger(path);
    // quick_check reads every page of the small master; "ok" is its one
    // row when nothing is wrong.
    const auto check = db.scalar("PRAGMA quick_check");
    const std::string verdict = check ? toDisplayText(*check) : std::string();
    if (verdict != "ok") return "it fails the database's integrity check (" + verdict + ").";
    const auto extra = findForeignObjects(db, templateLedgerObjects());
    if (!extra.empty())
      return "it holds objects the template does not:" + std::string(kNewLine) + describeForeignObjects(extra);
    const auto missing = findMissingObjects(db, templateLedgerObjects());
    if (!missing.empty()) return "it lacks " + joinNames(missing) + ".";
    return std::nullopt;
  } catch (const DbError& e) {
    return std::string(e.what());
  }
}

std::optional<StartupMessage> refreshTemplate(AppContext& app) {
  const std::string master = app.masterPath();
  const std::string target = app.templatePath();
  std::optional<StartupMessage> told;
  std::string why;
  bool masterUsable = true;
  if (!fileExists(master)) {
    attempt([&] { writeLedgerFromSchema(master); }, why);
  } else if (const auto problem = masterProblem(master)) {
    std::string rebuildFailure;
    if (attempt([&] { writeLedgerFromSchema(master); }, rebuildFailure)) {
      told = StartupMessage{rebuiltMessage(master, *problem), MsgIcon::Information};
    } else {
      told = StartupMessage{notRebuiltMessage(master, *problem, rebuildFailure), MsgIcon::Information};
      masterUsable = false;
    }
  }

  if (masterUsable && fileExists(master)) {
    if (attempt([&] {
          TempFileBeside temp(target);
          temp.copyFrom(master);
          temp.commitOver(target);
        }, why)) {
      app.setTemplateSource(target);
    } else {
      app.setTemplateSource(master);
    }
    return told;
  }

  // No master to copy: a template made from the schema, in the program
  // folder, or else in a folder of the temporary folder that no other user
  // can reach (a fixed name there could be planted by anyone).
  if (attempt([&] { writeLedgerFromSchema(target); }, why)) {
    app.setTemplateSource(target);
    return told;
  }
  if (attempt([&] {
        auto folder = std::make_unique<PrivateTempFolder>("ShareLedger-");
        const std::string spare = folder->path() + "/" + kTemplateFileName;
        writeLedgerFromSchema(spare);
        app.setTemplateSource(spare);
        app.keepTemplateFolder(std::move(folder));
      }, why)) {
    return told;
  }
  std::string text = "The ledger template could not be prepared, so no new ledger can be made." +
                     std::string(kNewLine) + why;
  if (told) text = told->text + kNewLine + kNewLine + text;
  return StartupMessage{text, MsgIcon::Critical};
}

}  // namespace ledger
