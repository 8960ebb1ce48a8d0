#pragma once
// How the ledger layer tells the user something: a message and its icon,
// never a question. What to ask, and what to do with the answer, is decided
// above this layer (app/prompter.h), whose prompter is also a notifier.

#include <string>

namespace ledger {

// Lines of a message are joined the way the ledger's messages always were.
inline constexpr const char* kNewLine = "\r\n";

enum class MsgIcon { None, Critical, Question, Information };

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows text with an OK button and waits until it is read.
  virtual void notify(const std::string& text, MsgIcon icon) = 0;
};

}  // namespace ledger
