// The about box: finding and starting the system information program
// through a fake registry and starter, reading registry values, and the
// keys that close the window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <optional>
#include <utility>

#include "case_names.h"
#include "fakes.h"
#include "ui/info/about_box.h"
#include "app/program_info.h"
#include "ui/twips.h"

namespace ledger {
namespace {

using test::ScriptedPrompter;

const QString kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kUnavailable = "System Information Is Unavailable At This Time";

// Keys under HKEY_LOCAL_MACHINE holding raw values; keeps count of the
// keys left open.
class FakeRegistry final : public Registry {
 public:
  void set(const QString& keyPath, const QString& name, std::uint32_t type, const QByteArray& data) {
    m_keys[keyPath][name] = RegistryValue{type, data};
  }
  void addKey(const QString& keyPath) { m_keys[keyPath]; }

  std::optional<Key> openKey(std::uint32_t root, const QString& keyPath) override {
    if (root != kHkeyLocalMachine || !m_keys.contains(keyPath)) return std::nullopt;
    m_paths.push_back(keyPath);
    const Key key = m_paths.size();
    m_open.insert(key);
    return key;
  }
  std::optional<RegistryValue> queryValue(Key key, const QString& name, int bufferSize) override {
    EXPECT_TRUE(m_open.contains(key));
    EXPECT_EQ(bufferSize, 1024);
    const auto& values = m_keys[m_paths[key - 1]];
    if (!values.contains(name)) return std::nullopt;
    return values[name];
  }
  void closeKey(Key key) override { EXPECT_TRUE(m_open.remove(key)) << "closed twice or never opened"; }

  qsizetype openKeys() const { return m_open.size(); }

 private:
  QMap<QString, QMap<QString, RegistryValue>> m_keys;
  std::vector<QString> m_paths;  // by key handle - 1
  QSet<Key> m_open;
};

class FakeStarter final : public ProgramStarter {
 public:
  bool fileExists(const QString& path) override {
    asked.push_back(path);
    return existing.contains(path);
  }
  bool start(const QString& path) override {
    started.push_back(path);
    return startWorks;
  }

  QSet<QString> existing;
  bool startWorks = true;
  std::vector<QString> asked;
  std::vector<QString> started;
};

QByteArray zeroEnded(const QByteArray& text) { return text + '\0'; }

std::string printed(const std::optional<QByteArray>& value) {
  return value ? test::quoted(std::string_view(value->constData(), static_cast<size_t>(value->size()))) : "none";
}

std::string printed(const std::vector<QString>& paths) {
  std::string out = "{";
  for (size_t i = 0; i < paths.size(); ++i) out += (i ? ", " : "") + test::quoted(paths[i].toStdString());
  return out + "}";
}

struct AboutFixture {
  FakeRegistry registry;
  FakeStarter starter;
  ScriptedPrompter prompter;
};

// ---- StartSysInfo ----------------------------------------------------------

struct SysInfoCase {
  const char* name;
  std::optional<QByteArray> pathValue;    // MSINFO\PATH, when the key holds it
  std::optional<QByteArray> folderValue;  // Shared Tools Location\MSINFO
  bool programInFolder;
  bool startWorks;
  std::vector<QString> expectedStarts;
  bool expectMessage;
};

void PrintTo(const SysInfoCase& c, std::ostream* os) {
  *os << c.name << ": PATH " << printed(c.pathValue) << ", folder " << printed(c.folderValue)
      << (c.programInFolder ? ", program in the folder" : "") << (c.startWorks ? "" : ", starting fails")
      << "; starts " << printed(c.expectedStarts) << (c.expectMessage ? ", then says it is unavailable" : "");
}

class AboutSysInfo : public ::testing::TestWithParam<SysInfoCase>, public AboutFixture {};

TEST_P(AboutSysInfo, StartsTheProgramOrSaysItIsUnavailable) {
  const SysInfoCase& c = GetParam();
  if (c.pathValue) registry.set(kSysInfoKey, "PATH", kRegSz, *c.pathValue);
  else registry.addKey(kSysInfoKey);  // the key without its value
  if (c.folderValue) registry.set(kFolderKey, "MSINFO", kRegSz, *c.folderValue);
  if (c.programInFolder) starter.existing.insert("C:\\WINDOWS\\system32\\MSINFO32.EXE");
  starter.startWorks = c.startWorks;
  if (c.expectMessage) prompter.expect(MsgAnswer::Ok);

  auto* about = new AboutBox(prompter, registry, starter);
  about->findChild<QPushButton*>("cmdSysInfo")->click();

  EXPECT_EQ(starter.started, c.expectedStarts);
  // A path read from the first key is started without looking for the file.
  if (c.pathValue) {
    EXPECT_TRUE(starter.asked.empty());
  }
  ASSERT_EQ(prompter.shown.size(), c.expectMessage ? 1u : 0u);
  if (c.expectMessage) {
    EXPECT_EQ(prompter.shown[0].text, kUnavailable);
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(prompter.shown[0].buttons, MsgButtons::Ok);
  }
  EXPECT_EQ(registry.openKeys(), 0);
  delete about;
}

const QString kMsInfoPath = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";

INSTANTIATE_TEST_SUITE_P(
    AboutRegistryCases, AboutSysInfo,
    ::testing::Values(
        SysInfoCase{"FirstKeyPathIsStarted", zeroEnded(kMsInfoPath.toLatin1()), std::nullopt, false, true,
                    {kMsInfoPath}, false},
        SysInfoCase{"FirstKeyPathThatWillNotStart", zeroEnded(kMsInfoPath.toLatin1()), std::nullopt, false, false,
                    {kMsInfoPath}, true},
        SysInfoCase{"FolderHoldsTheProgram", std::nullopt, zeroEnded("C:\\WINDOWS\\system32"), true, true,
                    {"C:\\WINDOWS\\system32\\MSINFO32.EXE"}, false},
        SysInfoCase{"FolderLacksTheProgram", std::nullopt, zeroEnded("C:\\WINDOWS\\system32"), false, true, {},
                    true},
        SysInfoCase{"NeitherKey", std::nullopt, std::nullopt, false, true, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
TEST(AboutSystemRegistry, SystemInformationIsUnavailableWithoutARegistry) {
  ScriptedPrompter prompter;
  prompter.expect(MsgAnswer::Ok);
  auto* about = new AboutBox(prompter);
  about->findChild<QPushButton*>("cmdSysInfo")->click();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, kUnavailable);
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::None);
  delete about;
}
#endif

// ---- GetKeyValue -----------------------------------------------------------

struct KeyValueCase {
  const char* name;
  std::optional<RegistryValue> stored;  // nullopt: the key holds no such value
  bool keyExists;
  bool expectedResult;
  QString expectedText;  // the text starts as "before"
};

void PrintTo(const KeyValueCase& c, std::ostream* os) {
  *os << c.name << ": ";
  if (!c.keyExists) *os << "no key";
  else if (!c.stored) *os << "the key without the value";
  else *os << "type " << c.stored->type << ", data " << printed(std::optional<QByteArray>(c.stored->data));
  *os << "; reads " << (c.expectedResult ? "true" : "false") << ", text " << test::quoted(c.expectedText.toStdString());
}

class AboutKeyValue : public ::testing::TestWithParam<KeyValueCase>, public AboutFixture {};

TEST_P(AboutKeyValue, ReadsTheValue) {
  const KeyValueCase& c = GetParam();
  if (c.keyExists) registry.addKey("SOFTWARE\\Test");
  if (c.stored) registry.set("SOFTWARE\\Test", "Value", c.stored->type, c.stored->data);
  auto* about = new AboutBox(prompter, registry, starter);

  QString text = "before";
  EXPECT_EQ(about->GetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Test", "Value", text), c.expectedResult);
  EXPECT_EQ(text, c.expectedText);
  EXPECT_EQ(registry.openKeys(), 0);
  delete about;
}

RegistryValue dword(std::initializer_list<unsigned char> bytes) {
  QByteArray data;
  for (unsigned char b : bytes) data += static_cast<char>(b);
  return {kRegDword, data};
}

INSTANTIATE_TEST_SUITE_P(
    AboutValues, AboutKeyValue,
    ::testing::Values(
        KeyValueCase{"StringLosesItsTerminatingZero", RegistryValue{kRegSz, zeroEnded("C:\\Tools")}, true, true,
                     "C:\\Tools"},
        KeyValueCase{"StringWithoutTerminatorIsKeptWhole", RegistryValue{kRegSz, "C:\\Tools"}, true, true,
                     "C:\\Tools"},
        KeyValueCase{"EmptyString", RegistryValue{kRegSz, QByteArray(1, '\0')}, true, true, ""},
        KeyValueCase{"NumberMostSignificantByteFirst", dword({0x78, 0x56, 0x34, 0x12}), true, true,
                     "&h12345678"},
        KeyValueCase{"NumberWithZeroTopByte", dword({0x0A, 0x00, 0x01, 0x00}), true, true, "&h01000A"},
        KeyValueCase{"OtherTypeLeavesTheTextAlone", RegistryValue{3, "\x01\x02"}, true, true, "before"},
        KeyValueCase{"MissingValue", std::nullopt, true, false, ""},
        KeyValueCase{"MissingKey", std::nullopt, false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the window ----------------------------------------------------------------

class AboutWindow : public ::testing::Test, public AboutFixture {};

TEST_F(AboutWindow, ShowsVersionInAFixedSizeWindow) {
  QMdiArea area;
  area.show();
  auto* about = new AboutBox(prompter, registry, starter, &area);
  about->frame()->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(about->windowTitle(), "About Torvik's Dozeza Dovezir");
  EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), versionText());
  EXPECT_EQ(about->size(), twipsSize(5730, 3555));
  EXPECT_EQ(about->frame()->minimumSize(), about->frame()->maximumSize());
  EXPECT_FALSE(about->frame()->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

struct CloseKeyCase {
  const char* target;  // object name of the widget that has the key press
  Qt::Key key;
};

std::string keyName(Qt::Key key) { return QKeySequence(key).toString().toStdString(); }

void PrintTo(const CloseKeyCase& c, std::ostream* os) { *os << keyName(c.key) << " on " << c.target; }

class AboutCloseKeys : public ::testing::TestWithParam<CloseKeyCase>, public AboutFixture {};

TEST_P(AboutCloseKeys, CloseTheWindow) {
  QMdiArea area;
  area.show();
  QPointer<AboutBox> about = new AboutBox(prompter, registry, starter, &area);
  about->frame()->show();
  QCoreApplication::processEvents();
  QWidget* target = about->objectName() == GetParam().target ? about.data()
                                                              : about->findChild<QWidget*>(GetParam().target);
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, GetParam().key);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(about);
  EXPECT_TRUE(area.subWindowList().isEmpty());
  EXPECT_TRUE(starter.started.empty());
}

INSTANTIATE_TEST_SUITE_P(AboutKeys, AboutCloseKeys,
                         ::testing::Values(CloseKeyCase{"cmdOK", Qt::Key_Return}, CloseKeyCase{"cmdOK", Qt::Key_Enter},
                                           CloseKeyCase{"cmdOK", Qt::Key_Escape},
                                           CloseKeyCase{"cmdSysInfo", Qt::Key_Escape},
                                           CloseKeyCase{"frmAbout", Qt::Key_Return}),
                         [](const auto& info) { return test::caseName(keyName(info.param.key) + " on " + info.param.target); });

}  // namespace
}  // namespace ledger
