#include "platform/scripted_user_port.h"

namespace ledgora {
namespace {

const char* ButtonName(TButton b) {
  switch (b) {
    case TButton::Ok:
      return "Ok";
    case TButton::Cancel:
      return "Cancel";
    case TButton::Abort:
      return "Abort";
    case TButton::Retry:
      return "Retry";
    case TButton::Ignore:
      return "Ignore";
    case TButton::Yes:
      return "Yes";
    case TButton::No:
      return "No";
    case TButton::None:
      break;
  }
  return "None";
}

}  // namespace

TScriptedUserPort& TScriptedUserPort::Answer(TButton button, bool ctrl_held) {
  buttons_.push_back(TReply{button, ctrl_held});
  return *this;
}

TScriptedUserPort& TScriptedUserPort::AnswerText(std::optional<std::string> text) {
  texts_.push_back(std::move(text));
  return *this;
}

TScriptedUserPort& TScriptedUserPort::AnswerFile(std::optional<std::string> path) {
  files_.push_back(std::move(path));
  return *this;
}

TReply TScriptedUserPort::Message(const TMessage& message) {
  Entry e;
  e.kind = Entry::Kind::Message;
  e.text = message.text;
  e.caption = message.caption;
  e.icon = message.icon;
  e.buttons = message.buttons;
  e.labels = message.labels;
  e.details = message.details;
  TReply reply;
  if (message.buttons == TButtons::Ok &&
      (buttons_.empty() || buttons_.front().button != TButton::Ok)) {
    reply.button = TButton::Ok;  // a plain message needs no answer
  } else if (!buttons_.empty()) {
    reply = buttons_.front();
    buttons_.pop_front();
  } else {
    log_.push_back(e);
    throw TUnscriptedQuestion("unscripted question: " + message.text);
  }
  e.answer = ButtonName(reply.button);
  if (reply.ctrl_held) e.answer += "+Ctrl";
  log_.push_back(std::move(e));
  return reply;
}

std::optional<std::string> TScriptedUserPort::AskText(const TTextRequest& request) {
  Entry e;
  e.kind = Entry::Kind::Text;
  e.text = request.prompt;
  e.caption = request.caption;
  if (texts_.empty()) {
    log_.push_back(e);
    throw TUnscriptedQuestion("unscripted text request: " + request.caption + " " + request.prompt);
  }
  auto answer = std::move(texts_.front());
  texts_.pop_front();
  e.answer = answer ? *answer : "<cancel>";
  log_.push_back(std::move(e));
  return answer;
}

std::optional<std::string> TScriptedUserPort::ChooseFile(const TFileChoice& choice) {
  Entry e;
  e.kind = Entry::Kind::File;
  e.text = choice.caption;
  e.caption = choice.filter;
  if (files_.empty()) {
    log_.push_back(e);
    throw TUnscriptedQuestion("unscripted file choice: " + choice.caption);
  }
  auto answer = std::move(files_.front());
  files_.pop_front();
  e.answer = answer ? *answer : "<cancel>";
  log_.push_back(std::move(e));
  return answer;
}

void TScriptedUserPort::BeginProgress(std::string_view text) {
  ++progress_depth_;
  Entry e;
  e.kind = Entry::Kind::Progress;
  e.text = std::string(text);
  log_.push_back(std::move(e));
}

void TScriptedUserPort::SetProgress(int percent) {
  progress_.push_back(percent);
}

void TScriptedUserPort::EndProgress() {
  --progress_depth_;
}

std::vector<std::string> TScriptedUserPort::Messages() const {
  std::vector<std::string> out;
  for (const auto& e : log_) {
    if (e.kind == Entry::Kind::Message) out.push_back(e.text);
  }
  return out;
}

std::string TScriptedUserPort::LastMessage() const {
  for (auto it = log_.rbegin(); it != log_.rend(); ++it) {
    if (it->kind == Entry::Kind::Message) return it->text;
  }
  return {};
}

void TScriptedUserPort::Clear() {
  buttons_.clear();
  texts_.clear();
  files_.clear();
  log_.clear();
  progress_.clear();
}

}  // namespace ledgora
