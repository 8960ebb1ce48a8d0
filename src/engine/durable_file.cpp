#include "engine/durable_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "engine/db_error.h"
#include "engine/sqlite_util.h"

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

// A write that was killed leaves its temporary file (and journal) behind.
// The next write beside the same target removes those whose program no
// longer runs, so they cannot pile up; the number after the prefix is the
// writer's process id.
void removeStaleTemporaries(const fs::path& dir, const std::string& prefix) {
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    const long pid = std::atol(name.c_str() + prefix.size());
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still running
    std::error_code ignored;
    fs::remove(it->path(), ignored);
  }
}

}  // namespace

TempFileBeside::TempFileBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const fs::path t(target);
  const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
  std::string prefix = ".";  // joined step by step: GCC 12 warns on "." + s + ".tmp"
  prefix += t.filename().string();
  prefix += ".tmp";
  removeStaleTemporaries(dir, prefix);
  for (;;) {
    std::string name = prefix;
    name += std::to_string(::getpid()) + "-" + std::to_string(counter++);
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
  try {
    fs::copy_file(source, m_path, fs::copy_options::overwrite_existing);
  } catch (const fs::filesystem_error& e) {
    // A full disk reads the same whether a trade or a new file met it.
    if (e.code() == std::errc::no_space_on_device) detail::throwSqlite(nullptr, SQLITE_FULL, "");
    throw;
  }
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

void removeLeftoverJournals(const std::string& databaseFile) {
  for (const char* suffix : {"-journal", "-wal", "-shm"}) fs::remove(databaseFile + suffix);
}

PrivateTempFolder::PrivateTempFolder(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
  // mkdtemp makes the folder with mode 0700 and fails rather than use one
  // that is there already.
  if (!::mkdtemp(pattern.data()))
    throw fs::filesystem_error("cannot make a private temporary folder", pattern,
                               std::error_code(errno, std::generic_category()));
  m_path = pattern;
}

PrivateTempFolder::~PrivateTempFolder() {
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

}  // namespace ledger
