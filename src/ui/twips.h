#pragma once
// Window measures are kept in twips (1440 to the inch), converted with the
// screen's logical resolution, so layouts keep their proportions on any
// screen.

#include <QRect>
#include <QSize>

class QWidget;

namespace ledger {

inline constexpr int kTwipsPerInch = 1440;

int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);
QRect twipsRect(int left, int top, int width, int height);
QSize twipsSize(int width, int height);

// Places a control at a measure in twips. Where its font needs more height
// than the measure gives, it grows downwards rather than clip its text.
void placeTwips(QWidget* control, int left, int top, int width, int height);

}  // namespace ledger
