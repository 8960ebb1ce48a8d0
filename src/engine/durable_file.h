#pragma once
// Writing a file so that a crash or a failure leaves either the old file or
// the complete new one, never a mix: write under a temporary name in the
// same folder, flush it to the disk, then rename it over the target.

#include <string>

namespace ledger {

class TempFileBeside {
 public:
  // Picks an unused temporary name in the folder of target. Nothing is
  // created yet. Temporary files of earlier writes to target whose program
  // no longer runs (killed mid-write) are removed.
  explicit TempFileBeside(const std::string& target);
  // Removes the temporary file unless commitOver ran.
  ~TempFileBeside();
  TempFileBeside(const TempFileBeside&) = delete;
  TempFileBeside& operator=(const TempFileBeside&) = delete;

  const std::string& path() const { return m_path; }

  // Fills the temporary file with a copy of source.
  // Throws DbError(kDiskFull) when the disk is full, otherwise
  // std::filesystem::filesystem_error.
  void copyFrom(const std::string& source);

  // Flushes the temporary file and renames it over target.
  // Throws std::filesystem::filesystem_error.
  void commitOver(const std::string& target);

 private:
  std::string m_path;
  bool m_committed = false;
};

// A new folder in the system's temporary folder that only this user can
// enter (mode 0700), under a name nobody can know beforehand, so no other
// user of the machine can put a file there first. Removed, with what it
// holds, on destruction.
class PrivateTempFolder {
 public:
  // prefix starts the folder's name. Throws std::filesystem::filesystem_error.
  explicit PrivateTempFolder(const std::string& prefix);
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

bool fileExists(const std::string& path);

// Removes the journal files SQLite may have left beside databaseFile after
// a crash. Call it before replacing the file: a journal left by the old
// file would otherwise be played back into the new one when it is opened.
void removeLeftoverJournals(const std::string& databaseFile);

}  // namespace ledger
