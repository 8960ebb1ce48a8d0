#pragma once
// Files in the Access database format (Jet 3, Jet 4 and ACE), read through
// mdbtools' libmdb. Never written.

#include <memory>
#include <optional>
#include <string>

#include "access/table_source.h"

namespace ledger {

enum class AccessFormat { Jet3, Jet4, Ace };

// The format the first bytes of the file at path say, whatever the file is
// called; nullopt for any other file (an SQLite ledger, text, nothing).
std::optional<AccessFormat> accessFormatOf(const std::string& path);

// "Jet 3 (Access 97)" and so on.
const char* accessFormatName(AccessFormat format);

// Opens the file for reading. Throws SourceError when libmdb cannot read it.
std::unique_ptr<TableSource> openAccessFile(const std::string& path);

// A DateTime value (days since 1899-12-30, the fraction the time of day)
// as YYYY-MM-DD, with " HH:MM:SS" when it has a time. nullopt outside the
// years 1 to 9999.
std::optional<std::string> accessDateText(double days);

}  // namespace ledger
