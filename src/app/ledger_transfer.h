#pragma once
// The window-free flows of getting trades out of a ledger and of bringing
// an older ledger in: they talk to the user only through the prompter and
// the file chooser, so that tests can script them.

#include <functional>
#include <optional>
#include <string>

#include "app/app_context.h"

namespace ledger {

// The save dialog's settings for a CSV file.
FileDialogSettings csvSaveSettings(const std::string& fileName);

// Asks for a CSV file and writes the rows of source (a table or query of
// the session's open ledger) there. A cancelled dialog writes nothing; a
// failure is told to the user and leaves any file of that name as it was.
// The ledger itself, the template and the master are refused. Returns true
// when the file was written.
bool exportToCsv(AppContext& app, const std::string& source, const std::string& suggestedName);

// The same with write doing the writing into the chosen file (it throws
// DbError or std::filesystem::filesystem_error on failure).
bool exportToCsvWith(AppContext& app, const std::string& ledgerPath, const std::string& suggestedName,
                     const std::function<void(const std::string& file)>& write);

// Open met a file in the older (Access) format: says so and offers a copy
// in the program's format. The file's tables are checked before anything
// is asked further; then the save dialog asks where the copy goes, and the
// conversion makes it. Returns the new ledger's path, or nullopt when
// nothing was made (declined, refused, cancelled, failed: each told).
std::optional<std::string> offerConversion(AppContext& app, const std::string& accessPath);

}  // namespace ledger
