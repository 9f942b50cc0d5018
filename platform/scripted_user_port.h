// The user port of the tests: answers from a script, records every text.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/user_port.h"

namespace ledgora {

// Thrown when a rule asks something the script did not foresee. A message
// with only an OK button needs no answer in the script: it takes one only
// when the next scripted answer is Ok (the in-use dialog, whose one button
// is pressed with or without Ctrl).
class TUnscriptedQuestion : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class TScriptedUserPort : public TUserPort {
 public:
  struct Entry {
    enum class Kind { Message, Text, File, Progress };
    Kind kind = Kind::Message;
    std::string text;  // message text, prompt, file caption, progress text
    std::string caption;
    TIcon icon = TIcon::None;
    TButtons buttons = TButtons::Ok;
    std::vector<std::string> labels;
    std::vector<std::string> details;
    std::string answer;  // what the script answered, as text
  };

  // Script, consumed in order by the questions of the matching kind.
  TScriptedUserPort& Answer(TButton button, bool ctrl_held = false);
  TScriptedUserPort& AnswerText(std::optional<std::string> text);
  TScriptedUserPort& AnswerFile(std::optional<std::string> path);

  TReply Message(const TMessage& message) override;
  std::optional<std::string> AskText(const TTextRequest& request) override;
  std::optional<std::string> ChooseFile(const TFileChoice& choice) override;
  void BeginProgress(std::string_view text) override;
  void SetProgress(int percent) override;
  void EndProgress() override;
  void BeginWaitCursor() override {
    ++wait_depth_;
    ++wait_count_;
  }
  void EndWaitCursor() override { --wait_depth_; }
  int FocusedControlId() const override { return focused_control_; }

  void SetFocusedControl(int id) { focused_control_ = id; }

  const std::vector<Entry>& Log() const { return log_; }
  // The texts of the messages shown, in order.
  std::vector<std::string> Messages() const;
  // The text of the last message shown ("" when none).
  std::string LastMessage() const;
  const std::vector<int>& ProgressValues() const { return progress_; }
  bool ScriptExhausted() const { return buttons_.empty() && texts_.empty() && files_.empty(); }
  int WaitDepth() const { return wait_depth_; }
  int WaitCount() const { return wait_count_; }
  int ProgressDepth() const { return progress_depth_; }
  void Clear();

 private:
  std::deque<TReply> buttons_;
  std::deque<std::optional<std::string>> texts_;
  std::deque<std::optional<std::string>> files_;
  std::vector<Entry> log_;
  std::vector<int> progress_;
  int wait_depth_ = 0;
  int wait_count_ = 0;
  int progress_depth_ = 0;
  int focused_control_ = 0;
};

}  // namespace ledgora
