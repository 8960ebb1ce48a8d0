#pragma once
// How the program's flows talk to the user: a message box with a text, an
// icon and OK or Yes/No. The program's windows implement it with real
// message boxes; tests pass a scripted one.

#include <string>

#include "ledger/notifier.h"

namespace ledger {

inline constexpr const char* kAppTitle = "Torvik's Dozeza Dovezir";

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class Prompter : public Notifier {
 public:
  // Shows text and waits for an answer.
  virtual MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok,
                         const std::string& title = kAppTitle) = 0;
  // What the ledger layer tells is an OK message box like any other.
  void notify(const std::string& text, MsgIcon icon) final { show(text, icon); }
};

}  // namespace ledger
