#include "app_context.h"

namespace ledger {

AppContext::AppContext(Prompter& prompter, FileChooser& files, std::string programDir)
    : m_prompter(prompter),
      m_files(files),
      m_programDir(std::move(programDir)),
      m_templateSource(templatePath()),
      m_session(prompter) {}

}  // namespace ledger
