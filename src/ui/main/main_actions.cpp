// The one place that builds the main window's menus, popup menus and
// toolbar, from the tables below.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <span>

#include "app/command_guard.h"
#include "ui/main/mdi_main.h"
#include "ui/pictures.h"

namespace ledger {

namespace {

// An item of a menu array: its index, caption ("-" for a separator) and
// shortcut in portable text ("" for none).
struct MenuItemDef {
  int index;
  const char* caption;
  const char* shortcut;
};

constexpr MenuItemDef kFileItems[] = {
    {1, "&New Database...", ""}, {2, "&New Record", "Ctrl+N"}, {3, "&Open...", "Ctrl+O"},
    {4, "-", ""},                {5, "&Save", ""},             {6, "&Delete...", ""},
    {7, "-", ""},
    // Added after the first eight, which keep their numbers; shown before Exit.
    {9, "&Import Trades\u2026", ""}, {12, "Import P&rices\u2026", ""}, {10, "Ex&port Trades\u2026", ""}, {11, "-", ""},
    {8, "E&xit", "Ctrl+X"},
};
// Undo and Redo name their step after the verb ("&Undo Delete of ...").
constexpr MenuItemDef kEditItems[] = {
    {1, "&Records", "Ctrl+R"}, {2, "&Add Company...", "Ctrl+A"}, {3, "&Undo", "Ctrl+Z"}, {4, "Re&do", "Ctrl+Y"},
    {5, "-", ""}, {6, "&Splits and Dividends...", "Ctrl+E"}, {7, "&Prices...", ""}};
constexpr MenuItemDef kViewItems[] = {
    {1, "&Chart", "Ctrl+C"}, {2, "&DataSheet", "Ctrl+D"}, {3, "&History", "Ctrl+H"}, {4, "&Profit/Loss", "Ctrl+P"},
    {5, "&Gains", "Ctrl+G"}};
constexpr MenuItemDef kHelpItems[] = {{1, "&Help", "F1"}, {2, "-", ""}, {3, "&About", ""}};
// Item 4 of the ShortHand menu is its View submenu, made separately.
constexpr MenuItemDef kSHItems[] = {{1, "&About", ""}, {2, "Mi&nimize All", ""}, {3, "Ma&ximize All", ""}};
constexpr MenuItemDef kSHViewItems[] = {
    {1, "&Chart", ""}, {2, "&Datasheet", ""}, {3, "&History", ""}, {4, "&Profit/Loss", ""}, {5, "&Gains", ""}};
// Item 3 shows only when the menu is raised over a grid.
constexpr MenuItemDef kRestoreItems[] = {{1, "&Refresh", ""}, {2, "Refresh &All", ""}, {3, "Export to &CSV\u2026", ""}};

// A toolbar button, in position order: its key, tooltip, picture number
// (0 for a separator) and tag.
struct ButtonDef {
  const char* key;
  const char* toolTip;
  int picture;
  const char* tag;
};

constexpr ButtonDef kButtons[] = {
    {"New Database", "New Database", 1, ""},
    {"New", "New Record", 2, ""},
    {"Open", "Open Database", 3, ""},
    {"Edit", "Edit Record", 4, ""},
    {"Sep1", "", 0, ""},
    {"Save", "Save Record", 6, ""},
    {"Delete", "Delete Record", 5, ""},
    {"Sep2", "", 0, ""},
    {"Close", "Close", 7, "Close"},
    {"Sep3", "", 0, ""},
    {"Help", "Help", 9, ""},
    {"Undo", "Undo", 10, ""},
    {"Redo", "Redo", 11, ""},
};

QString itemName(const char* array, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index); }

// Adds the items to menu, keeps them by index in items, and routes a click
// to click(index).
template <class Click>
void addItems(QMenu* menu, const char* array, std::span<const MenuItemDef> defs, QHash<int, QAction*>& items,
              Click click) {
  for (const MenuItemDef& def : defs) {
    // A caption of "-" stands for a separator line.
    const QString caption = QString::fromUtf8(def.caption);
    QAction* action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(itemName(array, def.index));
    if (*def.shortcut) {
      action->setShortcut(QKeySequence(QString::fromLatin1(def.shortcut), QKeySequence::PortableText));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    const int index = def.index;
    QObject::connect(action, &QAction::triggered, menu, [click, index] { click(index); });
    items.insert(index, action);
  }
}

QMenu* addMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
  menu->setObjectName(QLatin1String(name));
  return menu;
}

}  // namespace

void MDIMain::createMenus() {
  QMenuBar* bar = menuBar();
  m_mnuFile = addMenu(bar, "mnuFile", "&File");
  addItems(m_mnuFile, "mnuFileItem", kFileItems, m_fileItems, [this](int i) { mnuFileItem_Click(i); });
  setUpTransferItems();
  m_mnuEdit = addMenu(bar, "mnuEdit", "&Edit");
  addItems(m_mnuEdit, "mnuEditItem", kEditItems, m_editItems, [this](int i) { mnuEditItem_Click(i); });
  // Redo answers to both the Windows key and the one common elsewhere.
  mnuEditItem(4)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  // Another copy of the program may have added or taken a step meanwhile.
  connect(m_mnuEdit, &QMenu::aboutToShow, this, [this] { guardedSilently([&] { m_commands.publish(); }); });
  m_mnuView = addMenu(bar, "mnuView", "&View");
  addItems(m_mnuView, "mnuViewItem", kViewItems, m_viewItems, [this](int i) { mnuViewItem_Click(i); });
  m_mnuHelp = addMenu(bar, "mnuHelp", "&Help");
  addItems(m_mnuHelp, "mnuHelpItem", kHelpItems, m_helpItems, [this](int i) { mnuHelpItem_Click(i); });
}

void MDIMain::createPopupMenus() {
  // Owned by the window but kept out of the menu bar: they only pop up.
  m_mnuSH = new QMenu(QStringLiteral("ShortHand"), this);
  m_mnuSH->setObjectName(QStringLiteral("mnuSH"));
  addItems(m_mnuSH, "mnuSHItem", kSHItems, m_shItems, [this](int i) { mnuSHItem_Click(i); });
  m_mnuSHView = m_mnuSH->addMenu(QStringLiteral("&View"));
  m_mnuSHView->setObjectName(QStringLiteral("mnuSHView"));
  m_mnuSHView->menuAction()->setObjectName(itemName("mnuSHItem", 4));
  m_shItems.insert(4, m_mnuSHView->menuAction());
  addItems(m_mnuSHView, "mnuSHViewItem", kSHViewItems, m_shViewItems, [this](int i) { mnuSHViewItem_Click(i); });

  m_mnuRestore = new QMenu(QStringLiteral("Restore"), this);
  m_mnuRestore->setObjectName(QStringLiteral("mnuRestore"));
  addItems(m_mnuRestore, "mnuRestoreItem", kRestoreItems, m_restoreItems,
           [this](int i) { mnuRestoreItem_Click(i); });
  m_restoreItems.value(3)->setVisible(false);
}

void MDIMain::createToolBar() {
  m_tbMain = new QToolBar(QStringLiteral("tbMain"), this);
  m_tbMain->setObjectName(QStringLiteral("tbMain"));
  m_tbMain->setMovable(false);
  m_tbMain->setFloatable(false);
  m_tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
  m_tbMain->setIconSize(kPictureSize);
  addToolBar(Qt::TopToolBarArea, m_tbMain);

  int position = 0;
  for (const ButtonDef& def : kButtons) {
    QAction* button = def.picture == 0 ? m_tbMain->addSeparator() : m_tbMain->addAction(QString());
    button->setObjectName(QString::fromLatin1(def.key));
    if (def.picture != 0) {
      button->setText(QString::fromLatin1(def.toolTip));
      button->setToolTip(QString::fromLatin1(def.toolTip));
      setButtonPicture(button, def.picture);
    }
    if (*def.tag) button->setProperty("Tag", QString::fromLatin1(def.tag));
    m_buttons.insert(++position, button);
  }
  connect(m_tbMain, &QToolBar::actionTriggered, this, &MDIMain::tbMain_ButtonClick);
}

void MDIMain::setButtonPicture(QAction* button, int number) {
  button->setProperty("Image", number);
  button->setIcon(pictureListItem(number));
}

}  // namespace ledger
