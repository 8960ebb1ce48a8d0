#pragma once
// The file dialogs of the program.

#include <QPointer>
#include <QWidget>

#include "app/file_chooser.h"

namespace ledger {

class QtFileChooser final : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
  void setParent(QWidget* parent) { m_parent = parent; }
  std::optional<std::string> chooseOpen(const FileDialogSettings& settings) override;
  std::optional<std::string> chooseSave(const FileDialogSettings& settings) override;

 private:
  std::optional<std::string> run(const FileDialogSettings& settings, bool save);
  QPointer<QWidget> m_parent;
};

// "Trade Database (*.mdb)|*.mdb" -> "Trade Database (*.mdb)"; a description
// without the pattern gets it added in brackets. Several pairs
// ("A (*.a)|*.a|B (*.b)|*.b") become entries separated by ";;".
QString qtFilterFrom(const std::string& filter);

}  // namespace ledger
