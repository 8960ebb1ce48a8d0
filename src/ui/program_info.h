#pragma once
// What the program knows about itself: its folder, version and title.

#include <QString>

namespace ledger {

// The folder of the executable, without a trailing separator.
QString programDirectory();

int versionMajor();
int versionMinor();
int versionRevision();
// "Version 1.0.0".
QString versionText();

// The main window's title: the prefix alone, or followed by the ledger path.
inline constexpr const char* kTitlePrefix = "Torvik's Dozeza Dovezir - ";

}  // namespace ledger
