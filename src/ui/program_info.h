#pragma once
// What the program knows about itself: its folder, version and title.

#include <QString>

namespace ledger {

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
