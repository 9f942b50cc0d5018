#include "app/ledgora_app.h"

#include <QDir>
#include <QTimer>

#include "app/book_dialogs.h"
#include "app/instance_guard.h"
#include "app/library_checks.h"
#include "app/main_frame.h"
#include "app/list/side_panes.h"
#include "app/side_views.h"
#include "app/qt_user_port.h"
#include "eurolib/orveuro32.h"
#include "ldres/ldres.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/rebuild.h"
#include "storage/xorvanet.h"

namespace ledgora::app {

namespace {

// The libraries' messages: a modal box with their text and the caller's caption.
int LibraryMessage(void* context, const char* text, const char* caption, unsigned style) {
  auto* port = static_cast<TUserPort*>(context);
  TMessage m;
  m.text = text ? text : "";
  m.caption = caption ? caption : "";
  m.icon = (style & 0xF0) == kLibraryMessageIconError ? TIcon::Stop : TIcon::None;
  m.task_modal = true;
  try {
    port->Message(m);
  } catch (...) {
    // The hook must not throw into the library.
  }
  return kLibraryAnswerOk;
}

TReply ShowTaskModal(TUserPort& port, std::string text, TIcon icon, TButtons buttons = TButtons::Ok,
                     std::string caption = {}) {
  TMessage m;
  m.text = std::move(text);
  m.icon = icon;
  m.buttons = buttons;
  m.caption = std::move(caption);
  m.task_modal = true;
  return port.Message(m);
}

}  // namespace

CLedgoraApplication::CLedgoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Ledgora");
  setOrganizationName("Norvex");
}

bool CLedgoraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const TXOrvanet& x) {
    if (!storage_handler || !storage_handler(x)) exit(0);
  } catch (...) {
    if (unknown_handler) unknown_handler();
    exit(0);
  }
  return false;
}

CLedgoraApp::CLedgoraApp(TUserPort& port)
    : port_(port),
      doc_(std::make_unique<TBookDocument>(port)),
      instance_name_(CInstanceGuard::DefaultName()) {
  // Where the configuration lives: decided once, here.
  (void)platform::Configuration();
  doc_->SetBookSetup([this](TDatabase& db) { db.SetHooks(&hooks_); });
  if (auto* app = dynamic_cast<CLedgoraApplication*>(QCoreApplication::instance())) {
    app->storage_handler = [this](const TXOrvanet& x) { return HandleStorageException(x); };
    app->unknown_handler = [this] { ShowUnknownException(kUnknownException); };
  }
}

CLedgoraApp::~CLedgoraApp() {
  if (auto* app = dynamic_cast<CLedgoraApplication*>(QCoreApplication::instance())) {
    app->storage_handler = nullptr;
    app->unknown_handler = nullptr;
  }
  SetLDResMessageHook(nullptr, nullptr);
  SetDllEuroMessageHook(nullptr, nullptr);
  if (auto* qt_port = dynamic_cast<CQtUserPort*>(&port_)) qt_port->SetParentWindow(nullptr);
  frame_.reset();
  doc_.reset();
}

bool CLedgoraApp::InitInstance(const std::string& command_line) {
  // Steps 1 and 2: the libraries, with their own messages.
  SetLDResMessageHook(&LibraryMessage, &port_);
  SetDllEuroMessageHook(&LibraryMessage, &port_);
  if (!CheckLibraries(std::string(kProgramName).c_str())) return false;

  // Step 3: one instance per user.
  guard_ = std::make_unique<CInstanceGuard>(instance_name_);
  if (guard_->HandOver(command_line)) return false;
  guard_->Listen();

  // Step 4: the program's icon from the resource library.
  const QPixmap icon = ResourcePicture(kResourceIconGroup, kLDResProgramIcon);
  if (!icon.isNull()) QApplication::setWindowIcon(QIcon(icon));

  try {
    // Step 5: the document template, the main window that takes dropped files.
    frame_ = std::make_unique<CMainFrame>(
        *doc_, hooks_, port_, [this](const TXOrvanet& x) { return HandleStorageException(x); });
    if (auto* qt_port = dynamic_cast<CQtUserPort*>(&port_)) qt_port->SetParentWindow(frame_.get());
    QObject::connect(guard_.get(), &CInstanceGuard::CommandLineReceived, frame_.get(),
                     [this](const QString& line) {
                       if (frame_) frame_->ReceiveCommandLine(line.toStdString());
                     });
    frame_->show();
    // Step 6: the window finishes its setup, then the last book is opened.
    frame_->SwitchMode(frame_->Mode(), 0);
    doc_->StartupOpen(command_line);
  } catch (const TXOrvanet& x) {
    return HandleStorageException(x);
  } catch (...) {
    ShowUnknownException(kUnexpectedException);
    return false;
  }
  if (auto folder = platform::GetEnvironment("LEDGORA_SCREENSHOT"); folder && !folder->empty()) {
    const QString dir = QString::fromStdString(*folder);
    QTimer::singleShot(800, frame_.get(), [this, dir] { TakeScreenshots(dir); });
  }
  return true;
}

void CLedgoraApp::ShowUnknownException(const char* text) {
  try {
    ShowTaskModal(port_, text, TIcon::Stop);
  } catch (...) {
  }
}

bool CLedgoraApp::HandleStorageException(const TXOrvanet& x) {
  const bool frame = frame_ != nullptr;
  const std::int32_t code = x.Code();
  const std::string& text = x.Message();
  switch (code) {
    case kOrvFileUnavailable:
    case kOrvCannotCreate:
    case kOrvRebuildFailed:
    case kOrvRebuildRestart:
    case kOrvArchiveFailed:
    case kOrvVersionTooNew:
      ShowTaskModal(port_, text, TIcon::Stop);
      if (frame &&
          (code == kOrvFileUnavailable || code == kOrvRebuildFailed || code == kOrvVersionTooNew)) {
        doc_->CloseWithoutSaving();
      }
      return false;

    case kOrvLeftOpen:
    case kOrvDamaged:
    case kOrvMustConvert: {
      const std::string path = doc_->LastBookPath();
      const std::string question =
          code == kOrvMustConvert
              ? "La version de votre livre de comptes n'est plus valide.\nVoulez-vous le convertir "
                "au nouveau format ?"
              : "Votre livre de comptes est abîmé.\nReconstruction automatique ?";
      const std::string caption = std::string(kProgramName) + " [" + path + "]";
      if (ShowTaskModal(port_, question, TIcon::Question, TButtons::YesNo, caption).button !=
          TButton::Yes) {
        doc_->CloseWithoutSaving();
        return true;
      }
      try {
        // Closes the book, checks that it is not in use, rebuilds it on a new
        // TDatabase and reopens it (the window's reload).
        if (!doc_->RebuildAndReload(path)) return false;
        if (frame) return true;
        // Without a window: the rebuilt book is closed and the user restarts.
        doc_->Close();
        ShowTaskModal(port_, "Reconstruction réussie !\nRelancez le logiciel.", TIcon::Information);
        return false;
      } catch (const TXOrvanet& failed) {
        return HandleStorageException(failed);
      }
    }

    case kOrvNotABook:
    case kOrvVersionTooOld:
      // The book is forgotten, so that the next start does not offer it again.
      platform::ProfileWriteText("Setup", "Database", "");
      platform::ProfileWriteText("Setup", "LDatabase", "");
      if (frame) {
        doc_->CloseWithoutSaving();
        ShowTaskModal(port_, text.empty() ? "Livre de comptes abîmé !\nOn continue ?" : text,
                      TIcon::Question);
      } else {
        ShowTaskModal(port_, text, TIcon::Stop);
      }
      return false;

    case kOrvNoPassword:
      if (frame) {
        doc_->CloseWithoutSaving();
        ShowTaskModal(port_, text, TIcon::Stop);
        return false;
      }
      [[fallthrough]];
    default:
      return ShowTaskModal(port_, text, TIcon::Stop).button == TButton::Ok;
  }
}

int CLedgoraApp::Run() {
  for (;;) {
    try {
      const int code = QApplication::exec();
      CloseAtExit();
      return code;
    } catch (const TXOrvanet& x) {
      if (!HandleStorageException(x)) {
        CloseAtExit();
        return 0;
      }
    } catch (...) {
      ShowUnknownException(kUnknownException);
      return 0;
    }
  }
}

void CLedgoraApp::CloseAtExit() {
  // The window's close has normally closed the book already.
  try {
    if (doc_ && doc_->HasOpenBook()) doc_->Close();
  } catch (const TXOrvanet& x) {
    ShowTaskModal(port_, x.Message(), TIcon::Stop);
  }
}

void CLedgoraApp::TakeScreenshots(const QString& folder) {
  QDir().mkpath(folder);
  auto grab = [&](const QString& name) {
    QApplication::processEvents();
    frame_->grab().save(folder + "/" + name + ".png");
  };
  grab("start");
  if (doc_->HasOpenBook()) {
    for (int mode : {kModeOperations, kModeBudget, kModeSituation, kModeSituationGraph, kModeBudget,
                     kModeBudgetGraph, kModeMovements}) {
      frame_->SwitchMode(mode);
      if (mode != kModeBudget || frame_->PaneGeneration() > 0) {
        grab(QString("mode%1").arg(mode));
      }
      if (mode == kModeOperations) {
        // The category pane with a marked category filtering the list.
        for (CPane* pane : frame_->SidePanes()) {
          auto* categories = dynamic_cast<CCatOpView*>(pane);
          if (categories == nullptr || categories->Tree().topLevelItemCount() < 3) continue;
          categories->Tree().setCurrentItem(categories->Tree().topLevelItem(2));
          frame_->RunCommand(kCmdCategorySelect);
          grab("mode1-marked");
          frame_->RunCommand(kCmdCategoryDeselect);
        }
      }
    }
    frame_->SwitchMode(kModeOperations);
  }
  frame_->close();
}

}  // namespace ledgora::app
