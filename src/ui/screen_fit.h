#pragma once
// Keeping windows where the user can see them: on a screen that is there
// now, and child windows inside the workspace.

#include <QRect>

class QWidget;

namespace ledger {

// rect moved inside area by as little as it takes, and cut to area's size
// where it is larger.
QRect placedInside(const QRect& rect, const QRect& area);

// Keeps the frame of a top-level window, title bar included, on the free
// area of its screen (without the panels and docks). The frame's size is
// known only once the window system has framed the window, so the window
// is watched until then and fitted once.
void keepFrameOnScreen(QWidget* window);

}  // namespace ledger
