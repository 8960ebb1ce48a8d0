#pragma once
// The program's own pictures, painted from shapes rather than loaded from
// bitmaps, so they stay sharp at any screen scale.

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

namespace ledger {

// The toolbar's picture list keeps its numbers 1 to 9 (the buttons and the
// window states refer to pictures by number); the navigation arrows of the
// entry form follow, then Undo and Redo, which the list carries as its
// pictures 10 and 11.
enum class PictureId {
  NewDatabase = 1,
  NewRecord = 2,
  Open = 3,
  Edit = 4,
  Delete = 5,
  Save = 6,
  Close = 7,
  Cancel = 8,
  Help = 9,
  First,     // bar and left triangle
  Previous,  // left triangle
  Next,      // right triangle
  Last,      // right triangle and bar
  Undo,      // arrow turning back to the left
  Redo,      // the same, to the right
};

// Size of a toolbar picture at a scale of 1.
inline constexpr QSize kPictureSize{16, 15};
// Size the splash logo is drawn for; it is stretched to its box.
inline constexpr QSize kLogoSize{240, 180};

// An icon that paints the picture at whatever size and scale it is asked
// for; its disabled form is a faded grey.
QIcon picture(PictureId id);

// Picture number n of the toolbar's list (1..11); a null icon otherwise.
QIcon pictureListItem(int number);

// Paints the splash logo stretched over target.
void paintLogo(QPainter& painter, const QRectF& target);
// The logo as a pixmap of size (logical pixels) for a screen of the given
// device pixel ratio.
QPixmap logoPixmap(const QSize& size, qreal devicePixelRatio);

}  // namespace ledger
