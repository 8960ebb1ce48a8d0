#pragma once
// The one object that owns the program's shared state: the record
// engine's session, the services that talk to the user and the program's
// files. Windows receive it when they are made; tests build their own with
// scripted services. It knows no window: the main window keeps the
// registry of its child windows.

#include <memory>
#include <string>

#include "ledger/ledger_session.h"
#include "app/file_chooser.h"
#include "app/prompter.h"
#include "app/program_info.h"
#include "app/program_settings.h"

namespace ledger {

class PrivateTempFolder;

class AppContext {
 public:
  AppContext(Prompter& prompter, FileChooser& files, std::string programDir);
  ~AppContext();
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  LedgerSession& session() { return m_session; }
  Prompter& prompter() { return m_prompter; }
  FileChooser& files() { return m_files; }
  ProgramSettings& settings() { return m_settings; }

  // The program folder, without a trailing separator.
  const std::string& programDir() const { return m_programDir; }
  // The master ledger (Zuvivev.mdb) and the template (DatSource.mdb).
  std::string masterPath() const { return m_programDir + "/" + kMasterFileName; }
  std::string templatePath() const { return m_programDir + "/" + kTemplateFileName; }
  // Whether path names the template or the master, by file identity (a
  // symlinked folder or "/./" in the path is the same file) or, for a file
  // that does not exist yet, by its text in any letter case. Neither may
  // become the open ledger or the target of a new one.
  bool isProgramLedger(const std::string& path) const;
  // The file new ledgers are copied from: the template, or the master when
  // start-up could not write the template.
  const std::string& templateSource() const { return m_templateSource; }
  void setTemplateSource(std::string path) { m_templateSource = std::move(path); }
  // Keeps folder, which holds the template when the program folder cannot,
  // until the program ends; then it is removed.
  void keepTemplateFolder(std::unique_ptr<PrivateTempFolder> folder);

  // The chart's usage hint is no longer shown once the user says so; kept
  // for this run of the program only.
  bool HideChartHint = false;

 private:
  Prompter& m_prompter;
  FileChooser& m_files;
  ProgramSettings m_settings;
  std::string m_programDir;
  std::string m_templateSource;
  std::unique_ptr<PrivateTempFolder> m_templateFolder;
  LedgerSession m_session;
};

}  // namespace ledger
