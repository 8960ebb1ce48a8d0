#pragma once
// Work on the open ledger that takes too long for the windows' thread (the
// Gains window's figures at a million trades), done on a thread of Qt's
// pool so that the window opens at once and the program answers
// meanwhile. One job at a time: a new one stops the one under way, and
// what a stopped or replaced job finds is never handed on. Deleting the
// object stops the work; the thread then ends by itself, soon, and hands
// nothing on.
//
// A job opens a connection of its own to the ledger (a connection is
// never used by two threads) and returns what is to be done with its
// result on this object's thread; that runs only while the job is still
// the latest, so it may use the object's owner.

#include <QObject>

#include <functional>
#include <memory>

#include "figures/work_progress.h"

namespace ledger {

class LedgerWork : public QObject {
  Q_OBJECT
 public:
  // Runs on the pool's thread; progress tells how far it has come and
  // throws WorkStopped when the job is to stop. Any other exception
  // leaving it is a failure the job should have made its result: the job
  // then ends with nothing handed on but finished().
  using Job = std::function<std::function<void()>(const WorkProgress& progress)>;

  explicit LedgerWork(QObject* parent = nullptr);
  ~LedgerWork() override;

  // Waits until every job started, stopped ones included, has ended: for
  // tests and benchmarks that must not run into work left over.
  static void waitForAll();

  // Starts job; the one under way, if any, is stopped.
  void start(Job job);
  // Stops the job under way; nothing more comes of it.
  void stop();
  // Whether a job is under way: started, and neither finished nor stopped.
  bool working() const { return m_run != nullptr; }
  // How much of the job under way is done, 0 to 100.
  int percent() const { return m_percent; }

 signals:
  // The job under way has come further; each percent once.
  void progressed(int percent);
  // The job under way has handed on its result.
  void finished();

 private:
  struct Run;

  std::shared_ptr<Run> m_run;
  int m_percent = 0;
};

}  // namespace ledger
