#pragma once
// What the program knows about itself: its folder, version and title.

#include <QString>

namespace ledger {

// The program's own files: the master ledger, the template new ledgers are
// copied from and the help document, in the program folder; this user's key
// for kept figures beside the settings file, whose folder and name are
// kSettingsName (shareledger/shareledger.ini).
inline constexpr const char* kMasterFileName = "Zuvivev.mdb";
inline constexpr const char* kTemplateFileName = "DatSource.mdb";
inline constexpr const char* kHelpFileName = "ReadMe.rtf";
inline constexpr const char* kSettingsName = "shareledger";
inline constexpr const char* kKeyFileName = "kept-figures.key";

// The folder holding the master ledger, the template and the help
// document, without a trailing separator: the executable's folder when the
// master is there (a build), else <executable's folder>/../share/shareledger
// when it is there (an installed program), else the executable's folder.
QString programDirectory();
// The same rule for an executable in executableDir.
QString programFolderFor(const QString& executableDir);

int versionMajor();
int versionMinor();
int versionRevision();
// "Version 1.0.0".
QString versionText();

// The main window's title: the prefix alone, or followed by the ledger path.
inline constexpr const char* kTitlePrefix = "Torvik's Dozeza Dovezir - ";

}  // namespace ledger
