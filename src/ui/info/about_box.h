#pragma once
// frmAbout: the program's name, version and description, and a button
// that starts the system's information program, found through the
// registry.

#include <QString>

#include <cstdint>
#include <memory>

#include "app/prompter.h"
#include "program_starter.h"
#include "registry.h"
#include "ui/mdi_child.h"

class QKeyEvent;
class QPaintEvent;
class QPushButton;

namespace ledger {

class AboutBox : public MdiChild {
  Q_OBJECT
 public:
  // Reads the registry of this system and starts programs for real.
  explicit AboutBox(Prompter& prompter, QMdiArea* area = nullptr);
  // Uses the given registry and starter, which must outlive the window.
  AboutBox(Prompter& prompter, Registry& registry, ProgramStarter& starter, QMdiArea* area = nullptr);
  ~AboutBox() override;

  // Starts the system information program: the path the registry gives
  // for it, or MSINFO32.EXE in the folder the registry names for it. When
  // neither can be started, says so in a plain message box.
  void StartSysInfo();

  // Reads a value from the registry into keyValue: a string as it stands,
  // a 32-bit number as "&h" and hexadecimal digits, most significant byte
  // first. A value of any other type leaves keyValue as it was. Returns
  // false and empties keyValue when the key or the value cannot be read.
  bool GetKeyValue(std::uint32_t rootKey, const QString& keyPath, const QString& valueName, QString& keyValue);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildControls();

  Prompter& m_prompter;
  std::unique_ptr<Registry> m_ownRegistry;
  std::unique_ptr<ProgramStarter> m_ownStarter;
  Registry* m_registry;
  ProgramStarter* m_starter;
  QPushButton* m_ok = nullptr;
};

}  // namespace ledger
