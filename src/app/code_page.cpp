#include "app/code_page.h"

#include "transfer/text_encoding.h"

namespace ledger {

QChar fromWindows1252(unsigned char byte) { return QChar(static_cast<char16_t>(windows1252CodePoint(byte))); }

}  // namespace ledger
