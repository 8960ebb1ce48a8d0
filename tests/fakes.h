#pragma once
// Scripted stand-ins for the services that talk to the user.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/prompter.h"
#include "app/file_chooser.h"

namespace ledger::test {

struct ShownMessage {
  std::string text;
  MsgIcon icon;
  MsgButtons buttons;
  std::string title;
};

// Answers message boxes from a queue and records every one shown. A message
// that the test did not queue an answer for fails the test.
class ScriptedPrompter final : public Prompter {
 public:
  void expect(MsgAnswer answer) { m_answers.push_back(answer); }
  MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                 const std::string& title) override {
    shown.push_back({text, icon, buttons, title});
    if (m_answers.empty()) {
      ADD_FAILURE() << "unexpected message: " << text;
      return buttons == MsgButtons::Ok ? MsgAnswer::Ok : buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    const MsgAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
  }
  // Messages queued but never shown.
  size_t pending() const { return m_answers.size(); }

  std::vector<ShownMessage> shown;

 private:
  std::deque<MsgAnswer> m_answers;
};

// Answers file dialogs from queues; nullopt stands for Cancel. A dialog
// with nothing queued fails the test and is cancelled.
class ScriptedFileChooser final : public FileChooser {
 public:
  void queueOpen(std::optional<std::string> answer) { m_open.push_back(std::move(answer)); }
  void queueSave(std::optional<std::string> answer) { m_save.push_back(std::move(answer)); }
  std::optional<std::string> chooseOpen(const FileDialogSettings& s) override { return next(m_open, s, "open"); }
  std::optional<std::string> chooseSave(const FileDialogSettings& s) override { return next(m_save, s, "save"); }

  std::vector<FileDialogSettings> shown;

 private:
  std::optional<std::string> next(std::deque<std::optional<std::string>>& q, const FileDialogSettings& s,
                                  const char* kind) {
    shown.push_back(s);
    if (q.empty()) {
      ADD_FAILURE() << "unexpected " << kind << " dialog";
      return std::nullopt;
    }
    auto a = q.front();
    q.pop_front();
    return a;
  }
  std::deque<std::optional<std::string>> m_open, m_save;
};

}  // namespace ledger::test
