#include "app/program_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

#include "app/program_info.h"

namespace ledger {

namespace {

const QString kName = QString::fromLatin1(kSettingsName);
// Where the import window kept its mappings before there was one file.
const QString kOldName = QStringLiteral("ShareLedger");
const QString kCarriedOverKey = QStringLiteral("Settings/oldSettingsCarriedOver");

// The file as QSettings opens it; QSettings can be neither copied nor moved.
QSettings settingsFile() { return QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName); }

void carryOverOldSettings(QSettings& settings) {
  if (settings.contains(kCarriedOverKey)) return;
  const QSettings old(QSettings::IniFormat, QSettings::UserScope, kOldName, kOldName);
  for (const QString& key : old.allKeys())
    if (!settings.contains(key)) settings.setValue(key, old.value(key));
  settings.setValue(kCarriedOverKey, true);
}

// The key in the file at path, when it is one: a plain file of this user's
// that no one else can read, of exactly the key's size.
std::optional<KeptFiguresKey> readKeyFile(const QByteArray& path) {
  const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<KeptFiguresKey> key;
  struct stat st {};
  KeptFiguresKey bytes;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0 &&
      st.st_size == static_cast<off_t>(bytes.size()) &&
      ::read(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()))
    key = bytes;
  ::close(fd);
  return key;
}

// Writes key to path through a new file of mode 0600 renamed over it, so
// that a reader never finds half a key.
bool writeKeyFile(const QByteArray& path, const KeptFiguresKey& key) {
  const QByteArray temporary = path + ".new";
  ::unlink(temporary.constData());
  const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = ::write(fd, key.data(), key.size()) == static_cast<ssize_t>(key.size()) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temporary.constData(), path.constData()) != 0) {
    ::unlink(temporary.constData());
    return false;
  }
  return true;
}

}  // namespace

QSettings& ProgramSettings::file() {
  if (!m_file) {
    m_file = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kName, kName);
    carryOverOldSettings(*m_file);
  }
  return *m_file;
}

QString settingsFolder() { return QFileInfo(settingsFile().fileName()).absolutePath(); }

std::optional<KeptFiguresKey> loadKeptFiguresKey() {
  const QString folder = settingsFolder();
  const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kKeyFileName));
  if (const auto key = readKeyFile(path)) return key;
  if (!QFileInfo::exists(folder)) {
    if (!QDir().mkpath(folder)) return std::nullopt;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  try {
    if (!writeKeyFile(path, makeKeptFiguresKey())) return std::nullopt;
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
  // Read back: of two programs starting at once, the key that stays is the
  // one both use.
  return readKeyFile(path);
}

}  // namespace ledger
