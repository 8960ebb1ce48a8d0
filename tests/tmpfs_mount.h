#pragma once
// A small tmpfs mounted for one test and unmounted when the test ends, also
// when it fails: a disk that can be filled up or made read-only. Mounting
// needs root; where it is refused, why() says so and the test skips.

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_ledger.h"

namespace ledger::test {

class TmpfsMount {
 public:
  explicit TmpfsMount(size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", m_dir.path().c_str(), "tmpfs", 0, options.c_str()) == 0)
      m_mounted = true;
    else
      m_why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
  }
  ~TmpfsMount() {
    if (m_mounted) ::umount2(m_dir.path().c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool mounted() const { return m_mounted; }
  const std::string& why() const { return m_why; }
  std::string file(const std::string& name) const { return m_dir.file(name); }
  const std::filesystem::path& path() const { return m_dir.path(); }

  // Every file stays; nothing can be written any more.
  bool remountReadOnly() {
    if (::mount(nullptr, m_dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0) return true;
    m_why = std::string("cannot remount read-only: ") + std::strerror(errno);
    return false;
  }

  // Takes up all the free space with a filler file.
  void fill() {
    std::ofstream filler(file(".filler"), std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
    }
  }

 private:
  TempDir m_dir;
  bool m_mounted = false;
  std::string m_why;
};

}  // namespace ledger::test
