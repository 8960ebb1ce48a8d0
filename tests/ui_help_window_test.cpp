// The help window: loading the document, a missing document, and the
// layout that follows the window's outer size.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include <functional>

#include "fakes.h"
#include "ui/info/help_window.h"
#include "ui/twips.h"

namespace ledger {
namespace {

using test::ScriptedPrompter;

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTextBrowser* helpBox(QWidget* w) { return w->findChild<QTextBrowser*>("Help"); }
QPushButton* closeButton(QWidget* w) { return w->findChild<QPushButton*>("cmdClose"); }

void writeFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(content);
}

TEST(HelpWindow, MissingDocumentIsReportedOnceAndTheWindowStaysEmpty) {
  ScriptedPrompter prompter;
  prompter.expect(MsgAnswer::Ok);
  QTemporaryDir dir;
  QPointer<HelpWindow> help = new HelpWindow(prompter, dir.filePath("ReadMe.rtf"));
  help->show();
  help->resize(help->width() + 50, help->height() + 50);
  settle();

  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "ReadMe.rtf could not be found!");
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(prompter.shown[0].buttons, MsgButtons::Ok);
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->windowTitle(), "Help");
  EXPECT_TRUE(helpBox(help)->document()->isEmpty());
  delete help;
}

TEST(HelpWindow, EachOpeningReadsTheDocumentAfresh) {
  ScriptedPrompter prompter;
  QTemporaryDir dir;
  const QString path = dir.filePath("ReadMe.rtf");
  writeFile(path, R"({\rtf1 First edition})");
  auto* first = new HelpWindow(prompter, path);
  EXPECT_EQ(helpBox(first)->toPlainText(), "First edition");
  delete first;

  writeFile(path, R"({\rtf1 Second edition})");
  auto* second = new HelpWindow(prompter, path);
  EXPECT_EQ(helpBox(second)->toPlainText(), "Second edition");
  EXPECT_TRUE(helpBox(second)->isReadOnly());
  delete second;
}

// The document the build puts beside the program reads cleanly: no RTF
// leaks into the text, and it opens with a bold heading.
TEST(HelpWindow, ShowsTheHelpDocumentBesideTheProgram) {
  ScriptedPrompter prompter;
  auto* help = new HelpWindow(prompter, HelpWindow::defaultDocumentPath());
  const QTextDocument* doc = helpBox(help)->document();
  const QString text = doc->toPlainText();
  EXPECT_GT(doc->blockCount(), 20);
  EXPECT_FALSE(text.contains('\\') || text.contains('{') || text.contains('}') || text.contains(QChar(0xFFFD)));
  const QTextBlock heading = doc->begin();
  EXPECT_FALSE(heading.text().isEmpty());
  EXPECT_GE(heading.begin().fragment().charFormat().fontWeight(), QFont::Bold);
  // The Edit menu's windows are each explained under their menu item's name.
  for (const char* item : {"Edit, Splits and Dividends\u2026", "Edit, Prices\u2026"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(item))) << item;
  delete help;
}

TEST(HelpWindow, CloseButtonDestroysTheWindow) {
  ScriptedPrompter prompter;
  prompter.expect(MsgAnswer::Ok);
  QMdiArea area;
  area.show();
  QPointer<HelpWindow> help = new HelpWindow(prompter, "no such file", &area);
  help->frame()->show();
  settle();
  closeButton(help)->click();
  settle();
  EXPECT_FALSE(help);
  EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST(HelpWindow, CtrlFFindsTextInEitherDirectionWhateverItsCase) {
  ScriptedPrompter prompter;
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
  QTemporaryDir dir;
  // "alpha" at 0, 11 and 23.
  writeFile(dir.filePath("ReadMe.rtf"), R"({\rtf1 alpha beta Alpha gamma ALPHA})");
  auto* help = new HelpWindow(prompter, dir.filePath("ReadMe.rtf"), &area);
  help->frame()->show();
  settle();
  QTextBrowser* text = helpBox(help);
  text->setFocus();
  QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
  auto* find = help->findChild<QLineEdit*>("txtFind");
  ASSERT_TRUE(find && find->isVisible());
  ASSERT_TRUE(find->hasFocus());
  QWidget* notFound = help->findChild<QWidget*>("lblNotFound");

  struct Step {
    const char* what;
    std::function<void()> press;
    int selectedFrom;  // where the selection begins afterwards
    bool notFoundShown;
  };
  const Step steps[] = {
      {"typing", [&] { QTest::keyClicks(find, "alpha"); }, 0, false},
      {"Enter", [&] { QTest::keyClick(find, Qt::Key_Return); }, 11, false},
      {"Next", [&] { help->findChild<QPushButton*>("cmdFindNext")->click(); }, 23, false},
      {"Enter at the end goes round", [&] { QTest::keyClick(find, Qt::Key_Return); }, 0, false},
      {"Shift+Enter at the start goes round", [&] { QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier); }, 23,
       false},
      {"Previous", [&] { help->findChild<QPushButton*>("cmdFindPrevious")->click(); }, 11, false},
      {"typing what is nowhere", [&] { QTest::keyClicks(find, "x"); }, 11, true},
      {"taking it back", [&] { QTest::keyClick(find, Qt::Key_Backspace); }, 11, false},
  };
  for (const Step& step : steps) {
    step.press();
    EXPECT_EQ(text->textCursor().selectionStart(), step.selectedFrom) << step.what;
    EXPECT_EQ(text->textCursor().selectedText().compare("alpha", Qt::CaseInsensitive), 0) << step.what;
    EXPECT_EQ(notFound->isVisible(), step.notFoundShown) << step.what;
  }
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_FALSE(find->isVisible());
  EXPECT_TRUE(text->hasFocus());
  EXPECT_TRUE(closeButton(help)->isVisible());
}

// The outer sizes a user drags the window to, in order; a height below the
// box's margin leaves the box at its previous height.
struct ResizeStep {
  int width;  // outer size in twips
  int height;
  bool boxFits;
};

class HelpResize : public ::testing::TestWithParam<bool> {};

TEST_P(HelpResize, BoxAndButtonFollowTheOuterSize) {
  const bool inWorkspace = GetParam();
  ScriptedPrompter prompter;
  QMdiArea area;
  area.resize(1600, 1200);
  area.show();
  QTemporaryDir dir;
  writeFile(dir.filePath("ReadMe.rtf"), R"({\rtf1 Some help})");
  auto* help = new HelpWindow(prompter, dir.filePath("ReadMe.rtf"), inWorkspace ? &area : nullptr);
  QWidget* frame = help->frame();
  frame->show();
  settle();
  EXPECT_EQ(frame->pos(), QPoint(0, 0));

  const ResizeStep steps[] = {
      {9690, 7545, true},  // as loaded
      {6000, 4000, true}, {12000, 9000, true}, {3000, 1200, true}, {5000, 900, false}, {4000, 300, false},
      {8000, 5000, true},
  };
  int lastBoxHeight = -1;
  for (const ResizeStep& step : steps) {
    SCOPED_TRACE(std::to_string(step.width) + " x " + std::to_string(step.height));
    if (step.width != 9690) frame->resize(twipsToPixelsX(step.width), twipsToPixelsY(step.height));
    settle();
    ASSERT_NEAR(frame->width(), twipsToPixelsX(step.width), 1);
    ASSERT_NEAR(frame->height(), twipsToPixelsY(step.height), 1);

    const QRect box = helpBox(help)->geometry();
    const QPoint button = closeButton(help)->pos();
    EXPECT_EQ(box.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(box.width(), frame->width() - twipsToPixelsX(100), 1);
    if (step.boxFits) EXPECT_NEAR(box.height(), frame->height() - twipsToPixelsY(1100), 1);
    else EXPECT_EQ(box.height(), lastBoxHeight);
    EXPECT_NEAR(button.x(), frame->width() - twipsToPixelsX(1410), 1);
    EXPECT_NEAR(button.y(), frame->height() - twipsToPixelsY(900), 1);
    EXPECT_EQ(closeButton(help)->size(), twipsSize(1095, 375));
    lastBoxHeight = box.height();
  }
  delete frame;
}

INSTANTIATE_TEST_SUITE_P(HelpFrames, HelpResize, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "InWorkspace" : "TopLevel"; });

}  // namespace
}  // namespace ledger
