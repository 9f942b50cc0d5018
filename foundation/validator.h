// TValidator: the check of one dialog edit field.
//
// The field asks its validator, while the user types, whether the text so
// far can still become valid (CheckTyping, which may store characters as the
// validator wants them and complete literals), and before the value is
// accepted for the final verdict (CheckFinal); when the verdict is negative
// it calls ShowError, or does both at once with Validate. An edit field of
// any toolkit drives a validator through these three calls alone.
//
// Every validator has a required mode (optional: an empty text is valid
// without further check; required: an empty text is invalid) and reports to
// a user port, which it does not own. While the focus of the active window
// is on the control kBypassControlId (the button that cancels a dialog),
// CheckFinal accepts every text, so that leaving a dialog is never blocked
// by a field. Without a port there is no bypass and ShowError shows nothing.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/user_port.h"

namespace ledgora {

enum class TRequiredMode : int { Optional = 0, Required = 1 };

// The control whose focus suspends validation: the one that cancels a dialog.
inline constexpr int kBypassControlId = 20062;

// Caption of every validator message.
inline constexpr std::string_view kValidatorCaption = "Erreur de saisie";

class TValidator {
 public:
  // A mask with a syntax error, refused at construction.
  class TXValidator : public std::runtime_error {
   public:
    TXValidator() : std::runtime_error("Erreur de syntaxe dans le validateur") {}
  };

  // Option bits.
  static constexpr unsigned kOptionCompleteLiterals = 1;  // complete literals while typing
  static constexpr unsigned kOptionMask = 4;              // set for every mask validator

  explicit TValidator(TRequiredMode mode = TRequiredMode::Optional, TUserPort* port = nullptr)
      : mode_(mode), port_(port) {}
  virtual ~TValidator() = default;
  TValidator(const TValidator&) = default;
  TValidator& operator=(const TValidator&) = default;

  // Shows ErrorText() through the port: a task-modal box with the
  // exclamation icon and the caption "Erreur de saisie".
  virtual void ShowError() const;
  // Whether the text typed so far can still become valid. May change text
  // (characters stored in capitals, literals completed) unless the caller
  // suppresses completion. The base accepts everything.
  virtual bool CheckTyping(std::string& text, bool suppress_completion = false) const;
  // The final verdict: the bypass, then the required mode, then CheckText.
  virtual bool CheckFinal(std::string_view text) const;

  // CheckFinal, and ShowError when it fails.
  bool Validate(std::string_view text) const;

  // The message shown by ShowError.
  virtual std::string ErrorText() const { return {}; }

  unsigned Options() const { return options_; }
  bool HasOption(unsigned bits) const { return (options_ & bits) == bits; }
  void SetOption(unsigned bits) { options_ |= bits; }
  void UnsetOption(unsigned bits) { options_ &= ~bits; }

  TRequiredMode Mode() const { return mode_; }
  bool IsRequired() const { return mode_ == TRequiredMode::Required; }
  void SetMode(TRequiredMode mode) { mode_ = mode; }

  TUserPort* Port() const { return port_; }
  void SetPort(TUserPort* port) { port_ = port; }

 protected:
  // The validator's own check of a text that is not empty.
  virtual bool CheckText(std::string_view text) const;

 private:
  unsigned options_ = 0;
  TRequiredMode mode_;
  TUserPort* port_;
};

}  // namespace ledgora
