// CQtUserPort: the Qt side of TUserPort.
//
// Messages become modal message boxes with the icon and buttons asked for
// (own button texts when given); the in-use dialog (a message with details
// and one OK button) is a dialog of its own that reports whether the Ctrl
// key was held when its button was pressed. Texts are asked in a small
// dialog (password fields masked, upper-cased, limited), dates with a date
// field, files with the file dialog. The progress window is a modeless
// window with one text line and a percentage; the wait cursor is the
// application's override cursor, nested.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/user_port.h"

class QProgressDialog;

namespace ledgora::app {

// "Name (*.X)|*.X|Tous (*.*)|*.*|" as a Qt filter ("Name (*.X);;Tous (*.*)").
QString QtFileFilter(const std::string& filter);

// The dialog of a message, built but not shown (the tests and the
// screenshots look at it). Its result is the TButton value pressed.
std::unique_ptr<QDialog> MakeMessageDialog(const TMessage& message, QWidget* parent);
// The dialog of a text request, likewise.
std::unique_ptr<QDialog> MakeTextDialog(const TTextRequest& request, QWidget* parent);

class CQtUserPort : public TUserPort {
 public:
  CQtUserPort() = default;
  ~CQtUserPort() override;

  // The owner of the boxes (the main window once it exists).
  void SetParentWindow(QWidget* parent) { parent_ = parent; }

  TReply Message(const TMessage& message) override;
  std::optional<std::string> AskText(const TTextRequest& request) override;
  std::optional<std::string> ChooseFile(const TFileChoice& choice) override;
  void BeginProgress(std::string_view text) override;
  void SetProgress(int percent) override;
  void EndProgress() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  int FocusedControlId() const override;

 private:
  QPointer<QWidget> parent_;
  QPointer<QProgressDialog> progress_;
  int progress_depth_ = 0;
  int wait_depth_ = 0;
};

}  // namespace ledgora::app
