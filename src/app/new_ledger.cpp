#include "new_ledger.h"

#include <filesystem>

#include "data/db_error.h"
#include "data/durable_file.h"
#include "data/empty_ledger.h"

namespace ledger {

void NewLedger(AppContext& app) {
  LedgerSession& session = app.session();
  if (!fileExists(app.templateSource())) {
    app.prompter().show(app.programDir() + "/DatSource.mdb could not be found." + kNewLine +
                            "Make sure it is in the program working directory.",
                        MsgIcon::Critical);
    session.LedgerCreated = false;
    return;
  }

  const std::optional<std::string> chosen = app.files().chooseSave(FileDialogSettings{});
  if (!chosen || chosen->empty()) {
    session.LedgerCreated = false;
    return;
  }
  if (app.isProgramLedger(*chosen)) {
    app.prompter().show("You can not save to this file.", MsgIcon::Critical);
    session.LedgerCreated = false;
    return;
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
    session.LedgerCreated = false;
    return;
  }

  if (!session.OpenLedgerTable("Trade", *chosen)) {
    session.LedgerCreated = false;
    return;
  }
  session.LedgerPath = *chosen;
  session.LedgerCreated = true;
}

}  // namespace ledger
