// Pictures of the dialogs, for looking at them: runs only with
// LEDGORA_SCREENSHOT=folder (best under xvfb-run with QT_QPA_PLATFORM=xcb).
// The messages and requests are the ones the core really makes, caught on
// their way to the user.
#include <QDir>
#include <QLineEdit>
#include <QWizard>

#include "app/book_dialogs.h"
#include "app/qt_user_port.h"
#include "app/test_app_env.h"
#include "platform/files.h"
#include "storage/backup.h"
#include "storage/book_profile.h"

namespace ledgora::app::testing {
namespace {

class DialogShots : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    const auto folder = platform::GetEnvironment("LEDGORA_SCREENSHOT");
    if (!folder || folder->empty()) GTEST_SKIP() << "LEDGORA_SCREENSHOT not set";
    folder_ = QString::fromStdString(*folder);
    QDir().mkpath(folder_);
  }
  void Save(QWidget& w, const QString& name) {
    w.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(folder_ + "/" + name + ".png"));
    w.hide();
  }
  void SaveMessage(const TMessage& m, const QString& name) {
    auto dialog = MakeMessageDialog(m, &Frame());
    dialog->adjustSize();
    Save(*dialog, name);
  }
  QString folder_;
};

TEST_F(DialogShots, BookDialogs) {
  const std::string book = MakeFixtureBook();
  const std::string other = MakeFixtureBook("Autre.VX");
  Start(book);
  CMainFrame& frame = Frame();

  CNewBookWizard wizard(&frame);
  Save(wizard, "wizard1");
  wizard.next();
  wizard.NameField()->setText("Famille Martin");
  Save(wizard, "wizard2");
  wizard.next();
  Save(wizard, "wizard3");

  CPasswordDialog password(app_->Document(), &frame);
  password.adjustSize();
  Save(password, "password_change");
  CParityTableDialog parities(&frame);
  Save(parities, "parity_table");

  // The in-use dialog: another book with a working copy and no marker of ours.
  ASSERT_TRUE(platform::CopyFileSafely(other, other.substr(0, other.size() - 3) + ".$VX"));
  RemoveInUseMarker(other);
  port_.messages.clear();
  port_.Answer(TButton::Ok);
  CheckNotInUse(other, port_);
  ASSERT_FALSE(port_.messages.empty());
  SaveMessage(port_.messages.back(), "in_use");

  // The backup dialog (cancelled).
  port_.requests.clear();
  port_.AnswerText(std::nullopt);
  RunBackupDialog(*app_->Document().Book());
  ASSERT_FALSE(port_.requests.empty());
  auto backup = MakeTextDialog(port_.requests.back(), &frame);
  backup->adjustSize();
  Save(*backup, "backup");

  // The password at opening and the archive date, as the core asks them.
  TTextRequest ask;
  ask.kind = TTextRequest::Kind::Password;
  ask.caption = "Mot de passe";
  ask.prompt = "Mot de passe du livre de comptes :";
  ask.max_chars = 8;
  auto asked = MakeTextDialog(ask, &frame);
  Save(*asked, "password_opening");

  // The storage-exception question.
  TMessage rebuild;
  rebuild.text = "Votre livre de comptes est abîmé.\nReconstruction automatique ?";
  rebuild.caption = "Ledgora [" + book + "]";
  rebuild.icon = TIcon::Question;
  rebuild.buttons = TButtons::YesNo;
  SaveMessage(rebuild, "rebuild_question");

  // The close confirmation of a modified book (Annuler keeps it open).
  app_->Document().Book()->SaveHeader();
  port_.messages.clear();
  port_.Answer(TButton::Cancel);
  EXPECT_FALSE(app_->Document().Close());
  ASSERT_FALSE(port_.messages.empty());
  SaveMessage(port_.messages.back(), "close_confirmation");

  // The archive: its question and its date.
  port_.messages.clear();
  port_.requests.clear();
  port_.Answer(TButton::Ok).AnswerText(std::nullopt);
  app_->Document().Archive();
  if (!port_.messages.empty()) SaveMessage(port_.messages.front(), "archive_question");
  if (!port_.requests.empty()) {
    auto date = MakeTextDialog(port_.requests.back(), &frame);
    date->adjustSize();
    Save(*date, "archive_date");
  }

  // No book: menu 128 and the program's picture.
  port_.Answer(TButton::No);
  if (app_->Document().HasOpenBook()) app_->Document().Close();
  frame.resize(900, 560);
  Save(frame, "no_book");
}

}  // namespace
}  // namespace ledgora::app::testing
