#include "cli/terminal_user_port.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace ledgora::cli {
namespace {

bool Contains(const std::vector<TButton>& buttons, TButton b) {
  return std::find(buttons.begin(), buttons.end(), b) != buttons.end();
}

std::string ButtonName(TButton b) {
  switch (b) {
    case TButton::Ok:
      return "OK";
    case TButton::Cancel:
      return "Annuler";
    case TButton::Abort:
      return "Abandonner";
    case TButton::Retry:
      return "Réessayer";
    case TButton::Ignore:
      return "Ignorer";
    case TButton::Yes:
      return "Oui";
    case TButton::No:
      return "Non";
    case TButton::None:
      break;
  }
  return "?";
}

// The standard label of a button without its accelerator ("&Oui" → "Oui").
std::string Label(const TMessage& message, std::size_t index, TButton b) {
  if (index < message.labels.size()) {
    std::string text = message.labels[index];
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
  }
  return ButtonName(b);
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

std::optional<std::string> TTerminal::ReadSecret() {
  if (!in) return std::nullopt;
  // Echo off while the password is typed, when the input is a terminal.
  termios saved{};
  const bool tty = interactive && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (tty) {
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  }
  std::string line;
  const bool ok = static_cast<bool>(std::getline(*in, line));
  if (tty) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    if (err) *err << "\n";
  }
  if (!ok) return std::nullopt;
  return line;
}

std::string MessageText(const TMessage& message) {
  std::string text = message.text;
  for (const auto& line : message.details) text += "\n" + line;
  return text;
}

TTerminalUserPort::TTerminalUserPort(TTerminal& terminal, TAnswerMode mode,
                                     std::optional<std::string> password, bool force)
    : terminal_(terminal), mode_(mode), password_(std::move(password)), force_(force) {}

std::ostream& TTerminalUserPort::Err() const {
  return terminal_.err ? *terminal_.err : std::cerr;
}

TReply TTerminalUserPort::Message(const TMessage& message) {
  const std::vector<TButton> buttons = ButtonsOf(message.buttons);
  if (buttons.size() == 1) {
    last_message_ = MessageText(message);
    Err() << "ledgora-cli: " << last_message_ << "\n";
    // The one button of the in-use dialog is pressed with Ctrl only on --force.
    return {buttons.front(), force_};
  }
  return {Answer(message), false};
}

TButton TTerminalUserPort::Answer(const TMessage& message) {
  const std::vector<TButton> buttons = ButtonsOf(message.buttons);
  const std::string text = MessageText(message);
  if (mode_ != TAnswerMode::Ask) {
    TButton b;
    if (mode_ == TAnswerMode::Yes) {
      b = Contains(buttons, TButton::Yes)  ? TButton::Yes
          : Contains(buttons, TButton::Ok) ? TButton::Ok
                                           : buttons.front();
    } else {
      b = Contains(buttons, TButton::No)       ? TButton::No
          : Contains(buttons, TButton::Cancel) ? TButton::Cancel
                                               : buttons.back();
    }
    const auto index =
        static_cast<std::size_t>(std::find(buttons.begin(), buttons.end(), b) - buttons.begin());
    Err() << "ledgora-cli: " << text << "\n  → " << Label(message, index, b)
          << (mode_ == TAnswerMode::Yes ? " (--yes)" : " (--no)") << "\n";
    ++answered_;
    return b;
  }
  if (!terminal_.interactive || !terminal_.in) throw TQuestionRefused(text);
  // On the terminal: the first letters of the buttons' labels.
  std::string choices;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (i) choices += "/";
    choices += Label(message, i, buttons[i]);
  }
  for (;;) {
    Err() << text << "\n[" << choices << "] ? " << std::flush;
    std::string line;
    if (!std::getline(*terminal_.in, line)) throw TQuestionRefused(text);
    line = Lower(line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.empty()) continue;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const std::string label = Lower(Label(message, i, buttons[i]));
      const bool english = (buttons[i] == TButton::Yes && (line == "y" || line == "yes")) ||
                           (buttons[i] == TButton::No && line == "no");
      if (english || label.compare(0, line.size(), line) == 0) {
        ++answered_;
        return buttons[i];
      }
    }
  }
}

std::optional<std::string> TTerminalUserPort::AskText(const TTextRequest& request) {
  if (request.kind == TTextRequest::Kind::Password) {
    if (password_ && !password_used_) {
      password_used_ = true;
      return password_;
    }
    if (!terminal_.interactive) return std::nullopt;
    Err() << (request.prompt.empty() ? std::string("Mot de passe :") : request.prompt) << " "
          << std::flush;
    return terminal_.ReadSecret();
  }
  if (!terminal_.interactive || !terminal_.in) throw TQuestionRefused(request.prompt);
  Err() << request.prompt << " " << std::flush;
  std::string line;
  if (!std::getline(*terminal_.in, line)) return std::nullopt;
  return line;
}

std::optional<std::string> TTerminalUserPort::ChooseFile(const TFileChoice&) {
  return std::nullopt;
}

}  // namespace ledgora::cli
