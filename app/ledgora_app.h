// CLedgoraApp: the application object of the main program.
//
// Construction locates the configuration (ordinary or network installation,
// platform/configuration.h). InitInstance runs the start-up: the library
// checks with the libraries' own messages, one instance per user (a second
// one hands over its command line and quits), the main window, the opening
// of the command line's book or the last one. HandleStorageException answers
// a storage exception by its code; Run is the message loop inside the
// handler of the exceptions that reach it.
#pragma once

#include <QApplication>
#include <functional>
#include <memory>
#include <string>

#include "operations/operations_hooks.h"
#include "storage/book_lifecycle.h"
#include "storage/xorvanet.h"

namespace ledgora::app {

class CInstanceGuard;
class CMainFrame;

// The strings of the single-document template.
inline constexpr const char* kDocumentStrings =
    "Logiciel de gestion\n\nLEDGOR\nLivre de comptes (*.vx)\n.VX\nLEDGOR.VX\nLivre de comptes";

inline constexpr const char* kUnexpectedException =
    "Exception non prévue détectée !\nLe programme va être arrêté, vous devrez peut-être "
    "reconstruire votre livre de comptes.";
inline constexpr const char* kUnknownException =
    "Exception inconnue détectée !\nLe programme va être arrêté, vous devrez peut-être "
    "reconstruire votre livre de comptes.";

// The Qt application whose event delivery is the framework's hook for
// exceptions raised inside window procedures: a storage exception goes to
// the application's handling, any other ends the loop after its message.
class CLedgoraApplication : public QApplication {
 public:
  CLedgoraApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Set by CLedgoraApp.
  std::function<bool(const ledgora::TXOrvanet&)> storage_handler;
  std::function<void()> unknown_handler;
};

class CLedgoraApp {
 public:
  explicit CLedgoraApp(TUserPort& port);
  ~CLedgoraApp();

  // The start-up sequence; false when the program must quit.
  bool InitInstance(const std::string& command_line);
  // The message loop; its exit code.
  int Run();
  // The storage-exception table; true when the program keeps running.
  bool HandleStorageException(const TXOrvanet& x);
  // What an unexpected exception leads to: its message, then the end.
  void ShowUnknownException(const char* text);

  // The socket name of the single instance (tests use their own).
  void SetInstanceName(const QString& name) { instance_name_ = name; }

  TBookDocument& Document() { return *doc_; }
  TOperationsHooks& Hooks() { return hooks_; }
  CMainFrame* Frame() const { return frame_.get(); }
  TUserPort& Port() { return port_; }

  // Closes the book as the document does at exit (with its confirmation).
  void CloseAtExit();

 private:
  void TakeScreenshots(const QString& folder);

  TUserPort& port_;
  TOperationsHooks hooks_;
  std::unique_ptr<TBookDocument> doc_;
  std::unique_ptr<CInstanceGuard> guard_;
  std::unique_ptr<CMainFrame> frame_;
  QString instance_name_;
};

}  // namespace ledgora::app
