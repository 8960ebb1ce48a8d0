#include "app_context.h"

#include "data/durable_file.h"

namespace ledger {

AppContext::AppContext(Prompter& prompter, FileChooser& files, std::string programDir)
    : m_prompter(prompter),
      m_files(files),
      m_programDir(std::move(programDir)),
      m_templateSource(templatePath()),
      m_session(prompter) {}

AppContext::~AppContext() = default;

void AppContext::keepTemplateFolder(std::unique_ptr<PrivateTempFolder> folder) {
  m_templateFolder = std::move(folder);
}

}  // namespace ledger
