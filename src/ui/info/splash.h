#pragma once
// frmSplash: the first window of the program. It shows the product, the
// version and the platform and fills a progress bar in 25 ticks of its
// timer; then, or at once when a key is pressed, it closes itself and
// reports that it has finished, so that start-up shows the main window.
// It does no work of its own: the bar only measures time.

#include <QFrame>

class QKeyEvent;
class QProgressBar;
class QTimer;

namespace ledger {

class SplashScreen : public QFrame {
  Q_OBJECT

 public:
  // Number of ticks after which the splash ends; also the bar's maximum.
  static constexpr int kTicks = 25;

  // Loads the window, centred on the screen, with the busy pointer over it
  // and its timer running. Not shown yet.
  explicit SplashScreen(QWidget* parent = nullptr);

  // Ticks counted so far; 0 at load.
  int tickCount() const { return m_ticks; }
  bool hasEnded() const { return m_ended; }

  // One tick of Timer1: advances the bar, and ends the splash at kTicks.
  void Timer1_Timer();
  // Any key: ends the splash now.
  void Form_KeyPress();

 signals:
  // Emitted once, after the splash has closed.
  void finished();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void endSplash();

  QProgressBar* m_pb = nullptr;
  QTimer* m_timer = nullptr;
  int m_ticks = 0;
  bool m_ended = false;
};

}  // namespace ledger
