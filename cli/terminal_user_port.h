// TTerminalUserPort: the user port of ledgora-cli.
//
// Messages (a box with one OK button) are written to the error stream in
// French, as the rules show them. Questions are answered from the command
// line (--yes: Yes, or OK where there is no Yes; --no: No, or Cancel), else
// asked on the terminal when the program has one, else refused: the port
// throws TQuestionRefused and the command ends with exit code 1 without
// keeping its changes. An answer is never chosen silently: each question
// and the answer given are written to the error stream.
//
// Passwords come from --password (its first request), else from the
// terminal without echo; a second request (the first was wrong) without a
// terminal is a Cancel. File dialogs are not offered (Cancel). Progress
// windows and the wait cursor show nothing.
#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/user_port.h"

namespace ledgora::cli {

enum class TAnswerMode { Ask, Yes, No };

class TQuestionRefused : public std::runtime_error {
 public:
  explicit TQuestionRefused(const std::string& question)
      : std::runtime_error(question), question_(question) {}
  const std::string& Question() const { return question_; }

 private:
  std::string question_;
};

// Where the terminal is: the streams to read answers from and to write
// prompts to, and whether they are a terminal at all.
struct TTerminal {
  std::istream* in = nullptr;
  std::ostream* err = nullptr;
  bool interactive = false;  // standard input is a terminal
  // Reads a line without echo (passwords); the default reads from `in`.
  virtual std::optional<std::string> ReadSecret();
  virtual ~TTerminal() = default;
};

class TTerminalUserPort : public TUserPort {
 public:
  TTerminalUserPort(TTerminal& terminal, TAnswerMode mode, std::optional<std::string> password,
                    bool force);

  TReply Message(const TMessage& message) override;
  std::optional<std::string> AskText(const TTextRequest& request) override;
  std::optional<std::string> ChooseFile(const TFileChoice& choice) override;
  void BeginProgress(std::string_view) override {}
  void SetProgress(int) override {}
  void EndProgress() override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  // How many questions were answered (for tests and reports).
  int QuestionsAnswered() const { return answered_; }
  // The last message shown with an OK button only (the reason of a refusal).
  const std::string& LastMessage() const { return last_message_; }

 private:
  TButton Answer(const TMessage& message);
  std::ostream& Err() const;

  TTerminal& terminal_;
  TAnswerMode mode_;
  std::optional<std::string> password_;
  bool password_used_ = false;
  bool force_;
  int answered_ = 0;
  std::string last_message_;
};

// The text of a message as it is written: the text, then its detail lines.
std::string MessageText(const TMessage& message);

}  // namespace ledgora::cli
