// The splash window: it ends on its 25th tick or on a key, exactly once.

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "case_names.h"
#include "ui/info/splash.h"
#include "app/program_info.h"

namespace ledger {
namespace {

struct Ending {
  const char* name;
  int ticksBeforeKey;  // -1: no key is pressed
  int lastBarValue;
};

void PrintTo(const Ending& e, std::ostream* os) {
  *os << e.name << " (";
  if (e.ticksBeforeKey < 0) *os << "no key";
  else *os << "a key after " << e.ticksBeforeKey << " ticks";
  *os << ", the bar ends at " << e.lastBarValue << ")";
}

class SplashEndingTest : public ::testing::TestWithParam<Ending> {};

TEST_P(SplashEndingTest, EndsOnceClosedWithTheBarWhereItStopped) {
  const Ending& ending = GetParam();
  SplashScreen splash;
  auto* timer = splash.findChild<QTimer*>("Timer1");
  auto* bar = splash.findChild<QProgressBar*>("pb");
  ASSERT_TRUE(timer && bar);
  timer->stop();  // the test gives the ticks itself
  splash.show();
  QSignalSpy finished(&splash, &SplashScreen::finished);
  EXPECT_EQ(splash.cursor().shape(), Qt::WaitCursor);

  for (int tick = 1; tick <= SplashScreen::kTicks; ++tick) {
    if (tick - 1 == ending.ticksBeforeKey) QTest::keyClick(&splash, Qt::Key_Space);
    splash.Timer1_Timer();
  }
  // Whatever comes later changes nothing.
  splash.Form_KeyPress();
  splash.Timer1_Timer();

  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(bar->value(), ending.lastBarValue);
  EXPECT_EQ(splash.tickCount(), ending.lastBarValue);
  EXPECT_FALSE(splash.isVisible());
  EXPECT_FALSE(timer->isActive());
  EXPECT_NE(splash.cursor().shape(), Qt::WaitCursor);
}

INSTANTIATE_TEST_SUITE_P(Splash, SplashEndingTest,
                         ::testing::Values(Ending{"NoKey", -1, 25}, Ending{"KeyAtOnce", 0, 0},
                                           Ending{"KeyAfterTenTicks", 10, 10}, Ending{"KeyBeforeLastTick", 24, 24}),
                         test::ByCaseName());

TEST(SplashTest, ItsOwnTimerEndsItOnTheLastTick) {
  SplashScreen splash;
  QSignalSpy finished(&splash, &SplashScreen::finished);
  splash.show();
  ASSERT_TRUE(finished.wait(10000));
  EXPECT_EQ(splash.tickCount(), SplashScreen::kTicks);
  EXPECT_EQ(splash.findChild<QProgressBar*>("pb")->maximum(), SplashScreen::kTicks);
  EXPECT_FALSE(splash.isVisible());
}

TEST(SplashTest, ShowsProductVersionAndPlatform) {
  SplashScreen splash;
  const std::pair<const char*, QString> labels[] = {{"lblCompanyProduct", "Torvik's"},
                                                    {"lblProductName", "Dozeza Dovezir"},
                                                    {"lblPlatform", "Windows98, 2000"},
                                                    {"lblVersion", versionText()},
                                                    {"Label1", "Loading ..."}};
  for (const auto& [name, text] : labels) {
    auto* label = splash.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), text) << name;
  }
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
}

}  // namespace
}  // namespace ledger
