// The Gains window on ledgers of 100k and 1M trades: the time from asking
// for the window until it is on the screen (its figures are worked out on
// another thread, so this is the window alone), and the time until its
// figures are in the grids. A window made and shown with the windows'
// platform plugin for no screen ("offscreen") unless another is set.

#include <QApplication>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/app_context.h"
#include "bench_form.h"
#include "ledger_generator.h"
#include "ui/views/gains_view.h"

namespace ledger::bench {

namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "ledger_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

class NoFiles final : public FileChooser {
 public:
  std::optional<std::string> chooseOpen(const FileDialogSettings&) override { return std::nullopt; }
  std::optional<std::string> chooseSave(const FileDialogSettings&) override { return std::nullopt; }
};

class BenchHost final : public ViewHost {
 public:
  int entryFormWidthTwips() override { return 6000; }
  int entryFormHeightTwips() override { return 5000; }
  int mainWindowWidthTwips() override { return 21000; }
  QString generalTabSymbol() override { return {}; }
  void popupRestoreMenu(ViewTag) override {}
};

// What a Gains window stands on, over the ledger of trades.
struct GainsBench {
  explicit GainsBench(std::int64_t trades) {
    application();
    const std::string settings = (std::filesystem::temp_directory_path() / "ledger-bench-settings").string();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings));
    app.session().LedgerPath = cachedLedger(trades);
  }
  SilentPrompter prompter;
  NoFiles files;
  AppContext app{prompter, files, std::filesystem::temp_directory_path().string()};
  BenchHost host;
};

// Stopped work ends on its own thread; it is let end between iterations so
// that it does not run into the next one's time.
void settle() {
  LedgerWork::waitForAll();
  QCoreApplication::processEvents();
}

void gainsWindowShown(benchmark::State& state) {
  GainsBench bench(state.range(0));
  for (auto _ : state) {
    auto view = std::make_unique<GainsView>(bench.app, bench.host);
    view->show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(view->isVisible());
    state.PauseTiming();
    view.reset();
    settle();
    state.ResumeTiming();
  }
}

void gainsWindowFigures(benchmark::State& state) {
  GainsBench bench(state.range(0));
  std::size_t sales = 0;
  for (auto _ : state) {
    GainsView view(bench.app, bench.host);
    view.show();
    // Sleeps until an event comes, so that the CPU time is the window's own work.
    while (view.working()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!view.report()) throw std::runtime_error("the figures could not be worked out");
    sales = view.report()->sales.size();
  }
  state.counters["sales"] = static_cast<double>(sales);
}

const bool registered = [] {
  benchmark::RegisterBenchmark("GainsWindowShown", gainsWindowShown)
      ->Arg(100'000)
      ->Arg(1'000'000)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("GainsWindowFigures", gainsWindowFigures)
      ->Arg(100'000)
      ->Arg(1'000'000)
      ->Iterations(3)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

}  // namespace ledger::bench
