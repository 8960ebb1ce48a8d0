#pragma once
// The program's one settings file and the folder it lies in: the only place
// that knows their names. The file is QSettings' INI file of the user scope,
// ~/.config/shareledger/shareledger.ini (tests move it with
// QSettings::setPath). Beside it lies this user's key for the figures kept
// in ledgers (figures_seal.h).

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

#include "ledger/figures_seal.h"

namespace ledger {

// The settings file: the recent ledgers, the window places, the import
// mappings and the gains view's methods are all read and written through
// the one AppContext keeps. Opened on first use, so that a test can move
// the file (QSettings::setPath) after making its context. Mappings of the
// import window that an earlier version kept in ShareLedger/ShareLedger.ini
// are carried over once (that file is left as it was).
class ProgramSettings {
 public:
  QSettings& file();

 private:
  std::unique_ptr<QSettings> m_file;
};

// The folder of the settings file.
QString settingsFolder();

// This user's key, made on first use: 32 random bytes in the settings
// folder, readable by the user alone (the folder is made for the user
// alone when it is missing). A key file that others could read, or that is
// not a key, is replaced by a new one. nullopt when no key can be read or
// made: then no figures are kept or trusted.
std::optional<KeptFiguresKey> loadKeptFiguresKey();

}  // namespace ledger
