#pragma once
// The open and save file dialogs, behind an interface so that tests can
// script the user's choice. A cancelled dialog is an empty optional, never
// a file name left over from an earlier use.

#include <optional>
#include <string>

namespace ledger {

struct FileDialogSettings {
  // The filter, written "description|pattern"; further entries follow as
  // more "|description|pattern" pairs.
  std::string filter = "Trade Database (*.mdb)|*.mdb";
  // Added to a typed name that has no extension. Lower case, because file
  // names are case-sensitive here and the filter lists *.mdb.
  std::string defaultExtension = "mdb";
  std::string initialDirectory;
  std::string fileName;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual std::optional<std::string> chooseOpen(const FileDialogSettings& settings) = 0;
  virtual std::optional<std::string> chooseSave(const FileDialogSettings& settings) = 0;
};

}  // namespace ledger
