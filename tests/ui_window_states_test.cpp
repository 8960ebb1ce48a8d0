// The main window's three states: each operation sets exactly its
// properties and leaves every other one as the previous operation left it.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

#include <functional>

#include "app/app_context.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"

namespace ledger {
namespace {

// One property of the window: how to read it and how to force it, so that
// an operation's "unchanged" cells can be told from the ones it sets.
struct Property {
  std::string name;
  std::function<QString(MDIMain&)> read;
  std::function<void(MDIMain&, const QString&)> force;
};

Property enabled(const std::string& name, std::function<QAction*(MDIMain&)> action) {
  return {name, [action](MDIMain& w) { return QString(action(w)->isEnabled() ? "on" : "off"); },
          [action](MDIMain& w, const QString& v) { action(w)->setEnabled(v == "on"); }};
}

Property visible(const std::string& name, std::function<QMenu*(MDIMain&)> menu) {
  return {name, [menu](MDIMain& w) { return QString(menu(w)->menuAction()->isVisible() ? "on" : "off"); },
          [menu](MDIMain& w, const QString& v) { menu(w)->menuAction()->setVisible(v == "on"); }};
}

// "on" when every trade box is locked, "off" when every one is open.
Property locks(const std::string& name, bool ticker) {
  const auto boxes = [ticker](MDIMain& w) {
    QList<QLineEdit*> chosen;
    for (QLineEdit* b : w.entryForm()->textBoxes())
      if ((b->objectName() == "txtTicker") == ticker) chosen << b;
    return chosen;
  };
  return {name,
          [boxes](MDIMain& w) {
            int locked = 0;
            const auto all = boxes(w);
            for (QLineEdit* b : all) locked += b->isReadOnly();
            return QString(locked == all.size() ? "on" : locked == 0 ? "off" : "mixed");
          },
          [boxes](MDIMain& w, const QString& v) {
            for (QLineEdit* b : boxes(w)) b->setReadOnly(v == "on");
          }};
}

std::vector<Property> properties() {
  std::vector<Property> p;
  for (int i : {1, 2, 3, 4, 6, 7, 11})
    p.push_back(enabled("button " + std::to_string(i), [i](MDIMain& w) { return w.tbMainButton(i); }));
  p.push_back({"button 9",
               [](MDIMain& w) {
                 QAction* b = w.tbMainButton(9);
                 return QString("%1/%2/%3").arg(b->property("Image").toInt()).arg(b->toolTip(),
                                                                                 b->property("Tag").toString());
               },
               [](MDIMain& w, const QString& v) {
                 QAction* b = w.tbMainButton(9);
                 MDIMain::setButtonPicture(b, v.section('/', 0, 0).toInt());
                 b->setToolTip(v.section('/', 1, 1));
                 b->setProperty("Tag", v.section('/', 2, 2));
               }});
  for (int i : {1, 2, 3, 5, 6, 8})
    p.push_back(enabled("file " + std::to_string(i), [i](MDIMain& w) { return w.mnuFileItem(i); }));
  p.push_back(visible("edit menu", [](MDIMain& w) { return w.mnuEdit(); }));
  for (int i : {1, 2}) p.push_back(enabled("edit " + std::to_string(i), [i](MDIMain& w) { return w.mnuEditItem(i); }));
  p.push_back(visible("view menu", [](MDIMain& w) { return w.mnuView(); }));
  for (int i : {1, 2, 3, 4, 5})
    p.push_back(enabled("view " + std::to_string(i), [i](MDIMain& w) { return w.mnuViewItem(i); }));
  for (int i : {1, 3}) p.push_back(enabled("help " + std::to_string(i), [i](MDIMain& w) { return w.mnuHelpItem(i); }));
  for (int i : {1, 2, 3}) p.push_back(enabled("sh " + std::to_string(i), [i](MDIMain& w) { return w.mnuSHItem(i); }));
  for (int i : {1, 2, 3, 4, 5})
    p.push_back(enabled("sh view " + std::to_string(i), [i](MDIMain& w) { return w.mnuSHViewItem(i); }));
  for (int i : {1, 2})
    p.push_back(enabled("restore " + std::to_string(i), [i](MDIMain& w) { return w.mnuRestoreItem(i); }));
  p.push_back(locks("trade boxes locked", false));
  p.push_back(locks("txtTicker locked", true));
  return p;
}

// What each operation sets; a property it does not list keeps its value.
const std::map<std::string, std::map<std::string, QString>> kStateTable = {
    {"ResetButtons",
     {{"button 2", "off"}, {"button 3", "on"}, {"button 4", "off"}, {"button 6", "off"}, {"button 7", "off"},
      {"file 2", "off"}, {"file 3", "on"}, {"file 5", "off"}, {"file 6", "off"},
      {"edit menu", "off"}, {"view menu", "off"},
      {"sh 2", "off"}, {"sh 3", "off"},
      {"sh view 1", "off"}, {"sh view 2", "off"}, {"sh view 3", "off"}, {"sh view 4", "off"},
      {"sh view 5", "off"},
      {"restore 1", "off"}, {"restore 2", "off"}}},
    {"DataBeingViewd",
     {{"button 2", "on"}, {"button 3", "on"}, {"button 4", "on"}, {"button 6", "off"}, {"button 7", "on"},
      {"button 9", "7/Close/Close"},
      {"file 1", "on"}, {"file 2", "on"}, {"file 3", "on"}, {"file 5", "off"}, {"file 6", "on"},
      {"edit menu", "on"}, {"edit 1", "on"}, {"edit 2", "on"},
      {"view menu", "on"}, {"view 1", "on"}, {"view 2", "on"}, {"view 3", "on"},
      {"sh 2", "on"}, {"sh 3", "on"},
      {"sh view 1", "on"}, {"sh view 2", "on"}, {"sh view 3", "on"}, {"sh view 4", "on"},
      {"sh view 5", "on"},
      {"restore 1", "on"}, {"restore 2", "on"},
      {"trade boxes locked", "on"}}},
    {"DataBeingEntered",
     {{"button 2", "off"}, {"button 3", "off"}, {"button 4", "off"}, {"button 6", "on"}, {"button 7", "off"},
      {"button 9", "8/Cancel/Cancel"},
      {"file 1", "off"}, {"file 2", "off"}, {"file 3", "off"}, {"file 5", "on"}, {"file 6", "off"},
      {"edit 1", "off"}, {"edit 2", "off"},
      {"view 1", "off"}, {"view 2", "off"}, {"view 3", "off"},
      {"sh view 1", "off"}, {"sh view 2", "off"},
      {"trade boxes locked", "off"}, {"txtTicker locked", "off"}}},
};

class WindowStatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
    app.session().LedgerPath = dir.file("l.mdb");
  }
  void TearDown() override {
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  test::TempDir dir;
  test::ScriptedPrompter prompter;
  test::ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  MDIMain window{app};
};

TEST_F(WindowStatesTest, EachOperationSetsItsCellsAndLeavesTheRest) {
  const std::map<std::string, std::function<void()>> operations = {
      {"ResetButtons", [&] { window.ResetButtons(); }},
      {"DataBeingViewd", [&] { window.DataBeingViewd(); }},
      {"DataBeingEntered", [&] { window.DataBeingEntered(); }},
  };
  // Loaded before any property is forced: its tab change renders the
  // window's state again.
  window.entryForm();
  // Before each operation every property is forced to a value no operation
  // sets, so that an untouched property shows as untouched.
  const std::vector<std::pair<QString, QString>> befores = {{"on", "1/before/before"}, {"off", "2/earlier/x"}};
  for (const auto& [opName, run] : operations) {
    for (const auto& [flag, button9] : befores) {
      for (const Property& p : properties()) {
        if (p.name == "button 9") p.force(window, button9);
        else if (p.name == "record mode") p.force(window, "Prior");
        else p.force(window, flag);
      }
      run();
      const auto& sets = kStateTable.at(opName);
      for (const Property& p : properties()) {
        QString expected = p.name == "button 9" ? button9 : p.name == "record mode" ? "Prior" : flag;
        if (auto it = sets.find(p.name); it != sets.end()) expected = it->second;
        EXPECT_EQ(p.read(window).toStdString(), expected.toStdString()) << opName << ", " << p.name;
      }
    }
  }
}

TEST_F(WindowStatesTest, OperationsInSequenceAfterStartUp) {
  // Start-up left the no-ledger state; the entry state keeps Profit/Loss
  // and the ShortHand History and Profit/Loss as the view state left them.
  EXPECT_FALSE(window.tbMainButton(2)->isEnabled());
  EXPECT_TRUE(window.tbMainButton(1)->isEnabled());
  window.DataBeingViewd();
  window.DataBeingEntered();
  EXPECT_TRUE(window.tbMainButton(1)->isEnabled());
  EXPECT_FALSE(window.mnuFileItem(1)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(8)->isEnabled());
  EXPECT_TRUE(window.mnuViewItem(4)->isEnabled());
  EXPECT_TRUE(window.mnuSHViewItem(3)->isEnabled());
  EXPECT_TRUE(window.mnuSHViewItem(4)->isEnabled());
  EXPECT_FALSE(window.mnuSHViewItem(1)->isEnabled());

  window.entryForm()->box("Quantity", 2)->setText("5");
  window.entryForm()->txtTicker()->setText("X");
  window.ClearForm();
  for (QLineEdit* box : window.entryForm()->textBoxes()) EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
}

}  // namespace
}  // namespace ledger
