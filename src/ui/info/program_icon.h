#pragma once
// The program's own icon, drawn rather than loaded: a ledger book with a
// rising price line.

#include <QPixmap>

namespace ledger {

// The icon at size x size pixels, on a transparent background.
QPixmap drawProgramIcon(int size);

}  // namespace ledger
