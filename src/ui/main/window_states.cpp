// The window's state as the core works it out, rendered. Entering a mode
// sets exactly the properties of its look and leaves every other one as it
// was.

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>

#include "ui/entry/entry_form.h"

#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::groupChangeCommands() {
  // An action of a disabled group stays off when its state turns it on,
  // and takes the state's value again when the group is enabled.
  m_changeCommands = new QActionGroup(this);
  m_changeCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
  for (int position : {2, 4, 6, 7, 12, 13}) m_changeCommands->addAction(tbMainButton(position));
  for (int index : {2, 5, 6, 9, 12}) m_changeCommands->addAction(mnuFileItem(index));
  for (int index : {1, 2, 3, 4}) m_changeCommands->addAction(mnuEditItem(index));
}

void MDIMain::ResetButtons() { m_commands.enterMode(WindowMode::NoLedger); }

void MDIMain::DataBeingViewd() { m_commands.enterMode(WindowMode::Viewing); }

void MDIMain::DataBeingEntered() { m_commands.enterMode(WindowMode::Entering); }

void MDIMain::render(const WindowState& state) {
  renderLook(state.look);
  renderLook(state.since);
  renderLedgerState(state.ledger);
  renderUndoOffer(state.undo);
}

QAction* MDIMain::commandAt(CommandPlace place, int index) const {
  switch (place) {
    case CommandPlace::Toolbar: return tbMainButton(index);
    case CommandPlace::File: return mnuFileItem(index);
    case CommandPlace::Edit: return mnuEditItem(index);
    case CommandPlace::View: return mnuViewItem(index);
    case CommandPlace::ShortHand: return mnuSHItem(index);
    case CommandPlace::ShortHandView: return mnuSHViewItem(index);
    case CommandPlace::Restore: return mnuRestoreItem(index);
  }
  return nullptr;
}

void MDIMain::renderLook(const ModeLook& look) {
  for (const CommandSwitch& command : look.commands) commandAt(command.place, command.index)->setEnabled(command.on);
  if (look.ledgerMenusShown) {
    mnuEdit()->menuAction()->setVisible(*look.ledgerMenusShown);
    mnuView()->menuAction()->setVisible(*look.ledgerMenusShown);
  }
  if (look.lastButtonCancels) {
    const QString caption = *look.lastButtonCancels ? QStringLiteral("Cancel") : QStringLiteral("Close");
    QAction* button = tbMainButton(9);
    setButtonPicture(button, *look.lastButtonCancels ? 8 : 7);
    button->setToolTip(caption);
    button->setProperty("Tag", caption);
  }
  if (look.tradeBoxesLocked)
    if (EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain")))
      for (QLineEdit* box : form->textBoxes())
        if (!*look.tradeBoxesLocked || box->objectName() != QLatin1String("txtTicker"))
          box->setReadOnly(*look.tradeBoxesLocked);
}

namespace {

// "&Undo Delete of AT&&T ...": the step's own ampersands are no mnemonics.
QString undoCaption(const char* verb, const std::optional<UndoStepInfo>& step) {
  QString caption = QString::fromLatin1(verb);
  if (step)
    caption += QLatin1Char(' ') + QString::fromStdString(step->label).replace(QLatin1Char('&'), QLatin1String("&&"));
  return caption;
}

}  // namespace

void MDIMain::renderUndoOffer(const UndoOffer& offer) {
  const struct {
    QAction* item;
    QAction* button;
    const char* verb;
    const char* caption;
    const std::optional<UndoStepInfo>& step;
  } rows[] = {{mnuEditItem(3), tbMainButton(12), "Undo", "&Undo", offer.undo},
              {mnuEditItem(4), tbMainButton(13), "Redo", "Re&do", offer.redo}};
  for (const auto& row : rows) {
    row.item->setText(undoCaption(row.caption, row.step));
    row.item->setEnabled(row.step.has_value());
    const QString tip = QString::fromStdString(undoMenuText(row.verb, row.step));
    row.button->setText(tip);
    row.button->setToolTip(tip);
    row.button->setEnabled(row.step.has_value());
  }
}

void MDIMain::ClearForm() {
  if (EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain")))
    for (QLineEdit* box : form->textBoxes()) box->clear();
}

}  // namespace ledger
