#pragma once
// How the record engine and the windows talk to the user: a message box
// with a text, an icon and OK or Yes/No. The program's windows implement it
// with real message boxes; tests pass a scripted one.

#include <string>

namespace ledger {

inline constexpr const char* kAppTitle = "Torvik's Dozeza Dovezir";
// Lines of a message are joined the way the ledger's messages always were.
inline constexpr const char* kNewLine = "\r\n";

enum class MsgIcon { None, Critical, Question, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows text and waits for an answer.
  virtual MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok,
                         const std::string& title = kAppTitle) = 0;
};

}  // namespace ledger
