#pragma once
// The busy mouse pointer over the whole program, set for the life of a
// scope: it goes back to the default on every path out, errors included.

#include <QCursor>
#include <QGuiApplication>

namespace ledger {

class Hourglass {
 public:
  Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~Hourglass() {
    if (m_on) QGuiApplication::restoreOverrideCursor();
  }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;
  // Puts the default pointer back before the scope ends.
  void release() {
    if (m_on) QGuiApplication::restoreOverrideCursor();
    m_on = false;
  }

 private:
  bool m_on = true;
};

// True while some scope shows the busy pointer.
inline bool hourglassShown() { return QGuiApplication::overrideCursor() != nullptr; }

}  // namespace ledger
