#pragma once
// Characters written as bytes of the Windows Western European code page
// (1252), as RTF writes its accented letters (\'hh).

#include <QChar>

namespace ledger {

// The character byte stands for; the five bytes the code page leaves
// undefined are U+FFFD.
QChar fromWindows1252(unsigned char byte);

}  // namespace ledger
