// TUserPort: the one way the core talks to the user.
//
// A rule asks its questions, shows its messages, progress windows and the
// wait cursor through this interface and never knows who answers: the Qt
// program (real boxes and dialogs), ledgora-cli (its options or the
// terminal) or a test (a script that records every text shown).
//
// Header-only interface: the lowest layers include it without linking.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

// The program name used in captions ("%s [%s]" titles, default captions).
inline constexpr std::string_view kProgramName = "Ledgora";

enum class TIcon { None, Information, Exclamation, Question, Stop };

// Button identities (the values of the classic message-box answers).
enum class TButton {
  None = 0,
  Ok = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7
};

enum class TButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// The buttons of a set, in the order they are shown.
inline std::vector<TButton> ButtonsOf(TButtons set) {
  switch (set) {
    case TButtons::Ok:
      return {TButton::Ok};
    case TButtons::OkCancel:
      return {TButton::Ok, TButton::Cancel};
    case TButtons::YesNo:
      return {TButton::Yes, TButton::No};
    case TButtons::YesNoCancel:
      return {TButton::Yes, TButton::No, TButton::Cancel};
    case TButtons::RetryCancel:
      return {TButton::Retry, TButton::Cancel};
    case TButtons::AbortRetryIgnore:
      return {TButton::Abort, TButton::Retry, TButton::Ignore};
  }
  return {TButton::Ok};
}

struct TMessage {
  std::string text;
  std::string caption;  // empty: the program name
  TIcon icon = TIcon::None;
  TButtons buttons = TButtons::Ok;
  // Own button texts ("&Oui", "&Non", "&Annuler"), one per button of the
  // set in its order; empty: the standard texts.
  std::vector<std::string> labels;
  int default_index = 0;  // which button of the set is the default
  bool task_modal = false;
  std::string help_topic;
  // Further lines shown under the text (the in-use dialog's explanation).
  std::vector<std::string> details;
};

// The button pressed, and whether the Ctrl key was held while pressing it
// (the in-use dialog forces an opening only with Ctrl).
struct TReply {
  TButton button = TButton::None;
  bool ctrl_held = false;
};

// A file dialog. The filter is written as "Name (*.X)|*.X|Tous (*.*)|*.*|".
struct TFileChoice {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string caption;
  std::string filter;
  std::string default_extension;
  std::string initial_folder;
  std::string initial_name;
  bool must_exist = false;
  bool confirm_overwrite = false;
};

// A one-field dialog: a text, a password or a date.
struct TTextRequest {
  enum class Kind { Text, Password, Date };
  Kind kind = Kind::Text;
  std::string caption;
  std::string prompt;
  std::string initial;
  std::size_t max_chars = 0;  // 0: no limit
  bool upper_case = false;
  std::string help_topic;
  // With a browse button that fills the field from a file dialog.
  std::optional<TFileChoice> browse;
};

class TUserPort {
 public:
  virtual ~TUserPort() = default;

  virtual TReply Message(const TMessage& message) = 0;
  // The text typed, or none when the user cancelled.
  virtual std::optional<std::string> AskText(const TTextRequest& request) = 0;
  // The chosen path, or none when the user cancelled.
  virtual std::optional<std::string> ChooseFile(const TFileChoice& choice) = 0;

  // A progress window with one text line and a percentage.
  virtual void BeginProgress(std::string_view text) = 0;
  virtual void SetProgress(int percent) = 0;
  virtual void EndProgress() = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // Identifier of the control that has the keyboard focus in the active
  // window (the validators accept everything while it is 20062, the control
  // that cancels a dialog); 0 when none or unknown.
  virtual int FocusedControlId() const { return 0; }

  // Conveniences over Message.
  TButton Show(std::string text, TIcon icon = TIcon::None, std::string caption = {},
               bool task_modal = false) {
    TMessage m;
    m.text = std::move(text);
    m.icon = icon;
    m.caption = std::move(caption);
    m.task_modal = task_modal;
    return Message(m).button;
  }
  TButton Ask(std::string text, TButtons buttons, TIcon icon = TIcon::Question,
              std::string caption = {}) {
    TMessage m;
    m.text = std::move(text);
    m.buttons = buttons;
    m.icon = icon;
    m.caption = std::move(caption);
    return Message(m).button;
  }
};

// The wait cursor for the lifetime of the object.
class TWaitCursor {
 public:
  explicit TWaitCursor(TUserPort& port) : port_(port) { port_.BeginWaitCursor(); }
  ~TWaitCursor() { port_.EndWaitCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  TUserPort& port_;
};

// A progress window for the lifetime of the object.
class TProgressWindow {
 public:
  TProgressWindow(TUserPort& port, std::string_view text) : port_(port) {
    port_.BeginProgress(text);
  }
  ~TProgressWindow() { port_.EndProgress(); }
  void Set(int percent) { port_.SetProgress(percent); }
  TProgressWindow(const TProgressWindow&) = delete;
  TProgressWindow& operator=(const TProgressWindow&) = delete;

 private:
  TUserPort& port_;
};

}  // namespace ledgora
