#pragma once
// Remembers where the main window and the view windows were, and how big,
// so that the next start puts them back there.

#include <QObject>
#include <QString>

class QSettings;
class QWidget;

namespace ledger {

class WindowSettings : public QObject {
  Q_OBJECT
 public:
  // settings must outlive this object.
  explicit WindowSettings(QSettings& settings, QObject* parent = nullptr);

  // Puts the main window where it was last time, when that is known, and
  // from now on records each move and resize of it.
  void restoreMainWindow(QWidget* window);
  // The same for a child window's frame, kept under name. A saved place
  // replaces the one the window's load step chose, moved into the shown
  // workspace where it lies outside.
  void restoreChild(const QString& name, QWidget* frame);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void save(QWidget* window);

  QSettings& m_settings;
};

}  // namespace ledger
