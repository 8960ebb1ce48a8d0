#pragma once
// The Windows "Western European" code page (1252), in which help documents
// write their accented letters as \'hh escapes.

#include <QChar>

namespace ledger {

// The character that byte stands for in code page 1252. The five bytes the
// code page leaves undefined become U+FFFD.
QChar fromWindows1252(unsigned char byte);

}  // namespace ledger
