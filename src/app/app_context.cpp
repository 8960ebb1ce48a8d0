#include "app_context.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include "engine/durable_file.h"

namespace ledger {

AppContext::AppContext(Prompter& prompter, FileChooser& files, std::string programDir)
    : m_prompter(prompter),
      m_files(files),
      m_programDir(std::move(programDir)),
      m_templateSource(templatePath()),
      m_session(prompter) {}

namespace {

std::string lowered(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

}  // namespace

bool AppContext::isProgramLedger(const std::string& path) const {
  for (const std::string& own : {templatePath(), masterPath()}) {
    if (lowered(path) == lowered(own)) return true;
    std::error_code ec;
    if (std::filesystem::equivalent(path, own, ec) && !ec) return true;
  }
  return false;
}

AppContext::~AppContext() = default;

void AppContext::keepTemplateFolder(std::unique_ptr<PrivateTempFolder> folder) {
  m_templateFolder = std::move(folder);
}

}  // namespace ledger
