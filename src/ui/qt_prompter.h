#pragma once
// The program's message boxes.

#include <QPointer>
#include <QWidget>

#include "app/prompter.h"

namespace ledger {

class QtPrompter final : public Prompter {
 public:
  // parent: the window the boxes stand over (may be set later).
  explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
  void setParent(QWidget* parent) { m_parent = parent; }
  MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok,
                 const std::string& title = kAppTitle) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace ledger
