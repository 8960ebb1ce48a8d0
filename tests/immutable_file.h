#pragma once
// The immutable flag (chattr +i) of a file or folder, set while the object
// lives: nobody may change it then, root included, whom modes do not stop.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace ledger::test {

class ImmutableFile {
 public:
  explicit ImmutableFile(std::filesystem::path path) : m_path(std::move(path)) { m_set = setFlag(true); }
  ~ImmutableFile() {
    if (m_set) setFlag(false);
  }
  ImmutableFile(const ImmutableFile&) = delete;
  ImmutableFile& operator=(const ImmutableFile&) = delete;
  // False where the flag could not be set (no right to, or a file system
  // without it).
  bool set() const { return m_set; }

 private:
  bool setFlag(bool on) {
    const int fd = ::open(m_path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  std::filesystem::path m_path;
  bool m_set = false;
};

}  // namespace ledger::test
