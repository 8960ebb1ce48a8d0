// The one settings file: where it lies, the old import mappings carried over
// once, and the key for the kept figures made once, for the user alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSettings>

#include <filesystem>
#include <functional>

#include "app/program_settings.h"
#include "test_ledger.h"

namespace ledger {
namespace {

class ProgramSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root()); }
  QString root() const { return QString::fromStdString(dir.file("settings")); }
  std::string keyFile() const { return dir.file("settings/shareledger/kept-figures.key"); }
  test::TempDir dir;
};

TEST_F(ProgramSettingsTest, OneFileAndTheOldMappingsCarriedOverOnce) {
  const QString mapping = QStringLiteral("ImportMappings/abc/map");
  {
    QSettings old(QSettings::IniFormat, QSettings::UserScope, "ShareLedger", "ShareLedger");
    old.setValue(mapping, "Symbol=A");
  }
  EXPECT_EQ(settingsFolder(), root() + "/shareledger");
  EXPECT_EQ(ProgramSettings().file().fileName().toStdString(), (root() + "/shareledger/shareledger.ini").toStdString());
  EXPECT_EQ(ProgramSettings().file().value(mapping).toString(), "Symbol=A");
  // Taken away in the one file, it does not come back from the old one.
  ProgramSettings().file().remove(mapping);
  EXPECT_FALSE(ProgramSettings().file().contains(mapping));
  const QSettings old(QSettings::IniFormat, QSettings::UserScope, "ShareLedger", "ShareLedger");
  EXPECT_EQ(old.value(mapping).toString(), "Symbol=A") << "the old file is left as it was";
}

TEST_F(ProgramSettingsTest, TheFileIsOpenedWhereItLiesAtFirstUse) {
  ProgramSettings settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root() + "/moved");
  EXPECT_EQ(settings.file().fileName().toStdString(), (root() + "/moved/shareledger/shareledger.ini").toStdString());
}

TEST_F(ProgramSettingsTest, TheKeyIsMadeOnceForTheUserAlone) {
  const auto first = loadKeptFiguresKey();
  ASSERT_TRUE(first.has_value());
  struct stat st {};
  ASSERT_EQ(::stat(keyFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(dir.file("settings/shareledger").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(loadKeptFiguresKey(), first);

  // A key others could read may be known to them: a new one replaces it.
  // So does a file that is no key.
  const struct {
    const char* name;
    std::function<void()> spoil;
  } cases[] = {
      {"readable by the group", [&] { std::filesystem::permissions(keyFile(), std::filesystem::perms::group_read,
                                                                   std::filesystem::perm_options::add); }},
      {"too short", [&] { std::filesystem::resize_file(keyFile(), 31); }},
  };
  for (const auto& c : cases) {
    const auto before = loadKeptFiguresKey();
    c.spoil();
    const auto after = loadKeptFiguresKey();
    ASSERT_TRUE(after.has_value()) << c.name;
    EXPECT_NE(after, before) << c.name;
    ASSERT_EQ(::stat(keyFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << c.name;
  }
}

}  // namespace
}  // namespace ledger
