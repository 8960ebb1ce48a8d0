#include "startup.h"

#include <filesystem>

#include "data/db_error.h"
#include "data/durable_file.h"
#include "data/ledger_schema.h"

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

}  // namespace

std::optional<std::string> refreshTemplate(AppContext& app) {
  const std::string master = app.masterPath();
  const std::string target = app.templatePath();
  std::string why;
  if (!fileExists(master)) attempt([&] { writeLedgerFromSchema(master); }, why);

  if (fileExists(master) && attempt([&] {
        TempFileBeside temp(target);
        temp.copyFrom(master);
        temp.commitOver(target);
      }, why)) {
    app.setTemplateSource(target);
    return std::nullopt;
  }
  if (fileExists(master)) {
    app.setTemplateSource(master);
    return std::nullopt;
  }
  // Neither file can be written in the program folder: keep a template in
  // the temporary folder for this run.
  const std::string spare = (std::filesystem::temp_directory_path() / "ShareLedger-DatSource.mdb").string();
  if (attempt([&] { writeLedgerFromSchema(spare); }, why)) {
    app.setTemplateSource(spare);
    return std::nullopt;
  }
  return "The ledger template could not be prepared, so no new ledger can be made." + std::string(kNewLine) +
         why;
}

}  // namespace ledger
