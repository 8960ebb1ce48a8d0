#include "new_ledger.h"

#include <filesystem>

#include "engine/db_error.h"
#include "engine/durable_file.h"
#include "ledger/empty_ledger.h"

namespace ledger {

bool NewLedger(AppContext& app) {
  LedgerSession& session = app.session();
  if (!fileExists(app.templateSource())) {
    app.prompter().show(app.templatePath() + " could not be found." + kNewLine +
                            "Make sure it is in the program working directory.",
                        MsgIcon::Critical);
    return false;
  }

  const std::optional<std::string> chosen = app.files().chooseSave(FileDialogSettings{});
  if (!chosen || chosen->empty()) {
    return false;
  }
  if (app.isProgramLedger(*chosen)) {
    app.prompter().show("You can not save to this file.", MsgIcon::Critical);
    return false;
  }

  std::string why;
  try {
    writeEmptyLedger(app.templateSource(), *chosen);
  } catch (const DbError& e) {
    why = e.what();
  } catch (const std::filesystem::filesystem_error& e) {
    why = e.code().message();
  }
  if (!why.empty()) {
    app.prompter().show("The new ledger could not be written to" + std::string(kNewLine) + *chosen + kNewLine +
                            kNewLine + why,
                        MsgIcon::Critical);
    return false;
  }

  if (!session.OpenLedgerTable("Trade", *chosen)) {
    return false;
  }
  session.LedgerPath = *chosen;
  return true;
}

}  // namespace ledger
