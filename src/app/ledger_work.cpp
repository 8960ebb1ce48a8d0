#include "app/ledger_work.h"

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace ledger {

// What a job's thread shares with the object that started it.
struct LedgerWork::Run {
  std::atomic<bool> stopped{false};
  // The object to hand results to; null once it stopped the job or went.
  // Posting to it under the lock means it cannot go meanwhile: its
  // destructor clears it under the same lock, and the calls posted before
  // are dropped with the object.
  QMutex lock;
  LedgerWork* owner = nullptr;

  // Runs call on the owner's thread while this run is the owner's latest.
  void post(const std::shared_ptr<Run>& self, std::function<void(LedgerWork&)> call) {
    const QMutexLocker held(&lock);
    if (!owner) return;
    LedgerWork* target = owner;
    QMetaObject::invokeMethod(
        target,
        [target, self, call = std::move(call)] {
          if (target->m_run == self) call(*target);
        },
        Qt::QueuedConnection);
  }
  void release() {
    stopped = true;
    const QMutexLocker held(&lock);
    owner = nullptr;
  }
};

namespace {

// The ledger's work has a pool of its own: Qt's global pool also paints
// the windows (the raster engine hands it pieces of a paint), and a paint
// that waits for long figures to end is a window that does not answer.
// The pool belongs to the application, which waits for it as it ends.
QThreadPool& workPool() {
  static QThreadPool* const pool = new QThreadPool(QCoreApplication::instance());
  return *pool;
}

}  // namespace

void LedgerWork::waitForAll() { workPool().waitForDone(); }

LedgerWork::LedgerWork(QObject* parent) : QObject(parent) {}

LedgerWork::~LedgerWork() { stop(); }

void LedgerWork::stop() {
  if (m_run) m_run->release();
  m_run.reset();
}

void LedgerWork::start(Job job) {
  stop();
  auto run = std::make_shared<Run>();
  run->owner = this;
  m_run = run;
  m_percent = 0;
  workPool().start([run, job = std::move(job)] {
    if (run->stopped) return;  // stopped before its turn came
    int told = 0;
    const WorkProgress progress = [&run, &told](std::uint64_t done, std::uint64_t whole) {
      if (run->stopped) throw WorkStopped();
      const int percent = whole == 0 ? 0 : static_cast<int>(std::min(done, whole) * 100 / whole);
      if (percent == told) return;
      told = percent;
      run->post(run, [percent](LedgerWork& work) {
        work.m_percent = percent;
        emit work.progressed(percent);
      });
    };
    std::function<void()> deliver;
    try {
      deliver = job(progress);
    } catch (const WorkStopped&) {
      return;
    } catch (const std::exception&) {
      // A failure the job should have turned into its result (memory, most
      // likely): nothing may leave the pool's thread, and the window is
      // told the work ended, with nothing to show.
    }
    run->post(run, [deliver = std::move(deliver)](LedgerWork& work) {
      work.m_run.reset();
      work.m_percent = 100;
      if (deliver) deliver();
      emit work.finished();
    });
  });
}

}  // namespace ledger
