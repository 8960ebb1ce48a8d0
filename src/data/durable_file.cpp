#include "durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace ledger {

namespace fs = std::filesystem;

namespace {

void syncPath(const fs::path& p, bool required) {
  const int fd = ::open(p.c_str(), O_RDONLY);
  if (fd < 0) {
    if (required) throw fs::filesystem_error("cannot open for flushing", p, std::error_code(errno, std::generic_category()));
    return;
  }
  const int rc = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  if (rc != 0 && required)
    throw fs::filesystem_error("cannot flush to disk", p, std::error_code(err, std::generic_category()));
}

}  // namespace

TempFileBeside::TempFileBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const fs::path t(target);
  const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
  for (;;) {
    std::string name = ".";
    name += t.filename().string();
    name += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const fs::path candidate = dir / name;
    if (!fs::exists(candidate)) {
      m_path = candidate.string();
      break;
    }
  }
}

TempFileBeside::~TempFileBeside() {
  if (!m_committed) {
    std::error_code ignored;
    fs::remove(m_path, ignored);
    fs::remove(m_path + "-journal", ignored);
  }
}

void TempFileBeside::copyFrom(const std::string& source) {
  fs::copy_file(source, m_path, fs::copy_options::overwrite_existing);
  // A read-only source (an installed template) must not make a read-only copy.
  fs::permissions(m_path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
}

void TempFileBeside::commitOver(const std::string& target) {
  syncPath(m_path, true);
  fs::rename(m_path, target);
  m_committed = true;
  const fs::path t(target);
  syncPath(t.has_parent_path() ? t.parent_path() : fs::path("."), false);
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

}  // namespace ledger
