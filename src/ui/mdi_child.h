#pragma once
// Base of the program's child windows. A child puts itself into the main
// window's workspace when it is made (or stands alone when there is none,
// as in tests), so its constructor can place and size its frame the way its
// load step says. Closing the frame destroys the window.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace ledger {

class MdiChild : public QWidget {
  Q_OBJECT
 public:
  // area may be null: the window is then a top-level window of its own.
  explicit MdiChild(QMdiArea* area, Qt::WindowFlags flags = Qt::SubWindow);

  // The window that frames this one: its sub-window in the workspace, or
  // itself.
  QWidget* frame();
  const QWidget* frame() const;

  // Outer place and size in twips, relative to the workspace.
  void setFrameGeometryTwips(int left, int top, int width, int height);
  int frameWidthTwips() const;
  int frameHeightTwips() const;
  // Sizes the frame so that the client area is width x height twips.
  void setClientSizeTwips(int width, int height);
};

}  // namespace ledger
