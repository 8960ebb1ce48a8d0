// The window's states. Each operation sets exactly the properties of its
// state and leaves every other one as it was: the state is the set of
// properties, not a value of its own.

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/entry/entry_form.h"

#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::groupChangeCommands() {
  // An action of a disabled group stays off when its state turns it on,
  // and takes the state's value again when the group is enabled.
  m_changeCommands = new QActionGroup(this);
  m_changeCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
  for (int position : {2, 4, 6, 7, 12, 13}) m_changeCommands->addAction(tbMainButton(position));
  for (int index : {2, 5, 6, 9}) m_changeCommands->addAction(mnuFileItem(index));
  for (int index : {1, 2, 3, 4}) m_changeCommands->addAction(mnuEditItem(index));
}

void MDIMain::ResetButtons() {
  tbMainButton(3)->setEnabled(true);
  for (int position : {2, 4, 6, 7}) tbMainButton(position)->setEnabled(false);

  mnuFileItem(3)->setEnabled(true);
  for (int index : {2, 5, 6}) mnuFileItem(index)->setEnabled(false);

  for (int index : {1, 2}) mnuRestoreItem(index)->setEnabled(false);
  for (int index : {2, 3}) mnuSHItem(index)->setEnabled(false);
  for (int index : {1, 2, 3, 4, 5}) mnuSHViewItem(index)->setEnabled(false);

  mnuEdit()->menuAction()->setVisible(false);
  mnuView()->menuAction()->setVisible(false);
  updateUndoActions();
}

}  // namespace ledger

namespace ledger {

void MDIMain::DataBeingViewd() {
  tbMainButton(6)->setEnabled(false);
  for (int position : {2, 3, 4, 7}) tbMainButton(position)->setEnabled(true);

  mnuFileItem(5)->setEnabled(false);
  for (int index : {1, 2, 3, 6}) mnuFileItem(index)->setEnabled(true);
  for (int index : {1, 2}) mnuSHViewItem(index)->setEnabled(true);
  mnuEdit()->menuAction()->setVisible(true);
  mnuView()->menuAction()->setVisible(true);
  for (int index : {1, 2}) mnuEditItem(index)->setEnabled(true);
  for (int index : {1, 2, 3}) mnuViewItem(index)->setEnabled(true);
  for (int index : {1, 2}) mnuRestoreItem(index)->setEnabled(true);
  for (int index : {2, 3}) mnuSHItem(index)->setEnabled(true);
  for (int index : {1, 2, 3, 4, 5}) mnuSHViewItem(index)->setEnabled(true);

  QAction* close = tbMainButton(9);
  setButtonPicture(close, 7);
  close->setToolTip(QStringLiteral("Close"));
  close->setProperty("Tag", QStringLiteral("Close"));

  // The trade fields become read-only; the ticker search stays usable.
  if (EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain")))
    for (QLineEdit* box : form->textBoxes())
      if (box->objectName() != QLatin1String("txtTicker")) box->setReadOnly(true);
  updateUndoActions();
}

void MDIMain::DataBeingEntered() {
  tbMainButton(6)->setEnabled(true);
  for (int position : {2, 3, 4, 7}) tbMainButton(position)->setEnabled(false);

  mnuFileItem(5)->setEnabled(true);
  for (int index : {1, 2, 3, 6}) mnuFileItem(index)->setEnabled(false);
  for (int index : {1, 2}) mnuEditItem(index)->setEnabled(false);
  for (int index : {1, 2, 3}) mnuViewItem(index)->setEnabled(false);
  for (int index : {1, 2}) mnuSHViewItem(index)->setEnabled(false);

  QAction* cancel = tbMainButton(9);
  setButtonPicture(cancel, 8);
  cancel->setToolTip(QStringLiteral("Cancel"));
  cancel->setProperty("Tag", QStringLiteral("Cancel"));

  if (EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain")))
    for (QLineEdit* box : form->textBoxes()) box->setReadOnly(false);
  updateUndoActions();
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

void MDIMain::updateUndoActions() {
  UndoOffer offer;
  guardedSilently([&] { offer = m_commands.undoOffer(); });
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
