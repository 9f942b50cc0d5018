// Start-up: the storage-exception table row by row, the second instance's
// hand-over, the import entry for files that are not books, the wizard when
// there is no book.
#include <fstream>

#include <QMenu>
#include <QTimer>
#include <stdexcept>

#include "app/account_bar.h"
#include "app/command_table.h"
#include "app/instance_guard.h"
#include "app/test_app_env.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/xorvanet.h"

namespace ledgora::app::testing {
namespace {

struct TFailureRow {
  const char* name;
  std::int32_t code;
  TButton answer;  // to the question, when the row asks one
  TIcon icon;      // of the first box
  bool asks;       // the first box is the rebuild or conversion question
  bool keeps_running;
  bool book_closed;
  bool keys_emptied;
};

class StorageFailureTest : public TAppTest, public ::testing::WithParamInterface<TFailureRow> {};

TEST_P(StorageFailureTest, AnsweredByItsRow) {
  const TFailureRow& row = GetParam();
  const std::string book = MakeFixtureBook();
  Start(book);
  ASSERT_TRUE(app_->Document().HasOpenBook());
  port_.Clear();
  if (row.asks) port_.Answer(row.answer);
  const TXOrvanet failure(row.code, book);
  const bool keeps = app_->HandleStorageException(failure);
  EXPECT_EQ(keeps, row.keeps_running);
  ASSERT_FALSE(port_.Log().empty());
  const auto& first = port_.Log().front();
  EXPECT_EQ(first.icon, row.icon);
  if (row.asks) {
    EXPECT_EQ(first.buttons, TButtons::YesNo);
    EXPECT_EQ(first.caption, "Ledgora [" + book + "]");
    EXPECT_EQ(first.text, row.code == kOrvMustConvert
                              ? "La version de votre livre de comptes n'est plus valide.\n"
                                "Voulez-vous le convertir au nouveau format ?"
                              : "Votre livre de comptes est abîmé.\nReconstruction automatique ?");
  } else {
    EXPECT_EQ(first.text, failure.Message());
  }
  EXPECT_EQ(!app_->Document().HasOpenBook(), row.book_closed);
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", "").empty(), row.keys_emptied);
  EXPECT_TRUE(port_.ScriptExhausted());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StorageFailureTest,
    ::testing::Values(
        TFailureRow{"Unavailable", 20900, TButton::None, TIcon::Stop, false, false, true, true},
        TFailureRow{"CannotCreate", 20904, TButton::None, TIcon::Stop, false, false, false, false},
        TFailureRow{"RebuildFailed", 20906, TButton::None, TIcon::Stop, false, false, true, true},
        TFailureRow{"ArchiveFailed", 20909, TButton::None, TIcon::Stop, false, false, false, false},
        TFailureRow{"TooNew", 20911, TButton::None, TIcon::Stop, false, false, true, true},
        TFailureRow{"LeftOpenNo", 20901, TButton::No, TIcon::Question, true, true, true, true},
        TFailureRow{"LeftOpenYes", 20901, TButton::Yes, TIcon::Question, true, true, false, false},
        TFailureRow{"DamagedNo", 20905, TButton::No, TIcon::Question, true, true, true, true},
        TFailureRow{"ConvertNo", 20908, TButton::No, TIcon::Question, true, true, true, true},
        TFailureRow{"NotABook", 20902, TButton::None, TIcon::Question, false, false, true, true},
        TFailureRow{"TooOld", 20903, TButton::None, TIcon::Question, false, false, true, true},
        TFailureRow{"NoPassword", 20910, TButton::None, TIcon::Stop, false, false, true, true},
        TFailureRow{"Other", 20914, TButton::None, TIcon::Stop, false, true, false, false}),
    [](const ::testing::TestParamInfo<TFailureRow>& info) { return std::string(info.param.name); });

using StartupTest = TAppTest;

TEST_F(StartupTest, ABookLeftOpenIsOfferedForRebuildingAndNoKeepsTheProgramWithoutBook) {
  const std::string book = MakeFixtureBook();
  // A crash inside a change: the working copy is there with its dirty flag.
  std::string bytes = *platform::ReadFile(book);
  bytes[0] = 1;
  std::string working = book.substr(0, book.size() - 3) + ".$VX";
  ASSERT_TRUE(platform::ReplaceFileContents(working, bytes));
  WriteInUseMarker(book);
  port_.Answer(TButton::No);
  Start(book);
  EXPECT_EQ(port_.Log().front().text,
            "Votre livre de comptes est abîmé.\nReconstruction automatique ?");
  EXPECT_FALSE(app_->Document().HasOpenBook());
  EXPECT_EQ(Frame().Mode(), kModeNone);
}

TEST_F(StartupTest, ASecondInstanceHandsOverItsCommandLine) {
  Start(MakeFixtureBook());
  const std::string statement = PathOf("releve.txt");
  std::ofstream(statement) << "not a statement\n";
  port_.Clear();
  port_.Answer(TButton::Yes);  // "Vous allez intégrer des données..."

  CInstanceGuard second(instance_name_);
  ASSERT_TRUE(second.HandOver(statement));
  ASSERT_TRUE(ProcessUntil([&] { return port_.Log().size() >= 2; }));
  EXPECT_EQ(port_.Messages()[0],
            "Vous allez intégrer des données dans le livre de comptes [Fixture.VX].\n"
            "Désirez-vous continuer ?");
  EXPECT_EQ(port_.Messages()[1],
            "Le format du fichier " + statement + " n'est pas reconnu par Ledgora.");
  EXPECT_EQ(port_.Log()[1].icon, TIcon::Stop);
  EXPECT_TRUE(platform::FileExists(statement));  // not recognised: kept

  // An empty command line only brings the window forward.
  port_.Clear();
  ASSERT_TRUE(second.HandOver(""));
  ProcessUntil([] { return false; });
  EXPECT_TRUE(port_.Log().empty());

  // Once the first instance is gone nobody answers: the next one runs.
  app_.reset();
  CInstanceGuard third(instance_name_);
  EXPECT_FALSE(third.HandOver(statement, 300));
  EXPECT_TRUE(third.Listen());
}

TEST_F(StartupTest, WithoutABookTheWizardRunsThenTheCommandLineGoesToTheImport) {
  const std::string statement = PathOf("releve.txt");
  std::ofstream(statement) << "!Type:Bank\n";
  Start("", statement);
  EXPECT_FALSE(app_->Document().HasOpenBook());
  EXPECT_EQ(Frame().Mode(), kModeNone);
  Frame().SetWizardRunner([](QWidget*) {
    return std::optional<TNewBookAnswers>(TNewBookAnswers{"", TCategorySet::None});
  });
  port_.Answer(TButton::No);  // the integration question
  ASSERT_TRUE(ProcessUntil([&] { return app_->Document().HasOpenBook() && !port_.Log().empty(); }));
  EXPECT_EQ(app_->Document().Book()->BookPath(), PathOf("sansnom.VX"));
  EXPECT_EQ(Frame().Mode(), kModeOperations);
  EXPECT_EQ(port_.LastMessage(),
            "Vous allez intégrer des données dans le livre de comptes [sansnom.VX].\n"
            "Désirez-vous continuer ?");
}

TEST_F(StartupTest, DroppedFilesOpenTheBookThenImportIntoIt) {
  const std::string first = MakeFixtureBook("Premier.VX");
  const std::string second = MakeFixtureBook("Second.VX");
  Start(first);
  const std::string statement = PathOf("releve.ofx");
  std::ofstream(statement) << "<OFX>\n";
  port_.Clear();
  port_.Answer(TButton::No);
  Frame().OpenDroppedFiles({QString::fromStdString(second), QString::fromStdString(statement)});
  ASSERT_TRUE(app_->Document().HasOpenBook());
  EXPECT_EQ(app_->Document().Book()->BookPath(), second);
  EXPECT_EQ(Frame().windowTitle().toStdString(), "Ledgora [" + second + "]");
  EXPECT_EQ(port_.LastMessage(),
            "Vous allez intégrer des données dans le livre de comptes [Second.VX].\n"
            "Désirez-vous continuer ?");
}

TEST_F(StartupTest, ACurrencyLibraryOutsideTheSystemFolderStopsBeforeAnyWindow) {
  setenv("LEDGORA_SYSTEM_DIR", PathOf("system").c_str(), 1);
  app_ = std::make_unique<CLedgoraApp>(port_);
  app_->SetInstanceName("ledgora-test-libraries");
  const bool runs = app_->InitInstance("");
  unsetenv("LEDGORA_SYSTEM_DIR");
  EXPECT_FALSE(runs);
  EXPECT_EQ(app_->Frame(), nullptr);
  ASSERT_EQ(port_.Messages().size(), 1u);
  EXPECT_EQ(port_.LastMessage(),
            "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nCette librairie doit être installée "
            "UNIQUEMENT dans le dossier système de Windows.");
  EXPECT_EQ(port_.Log().back().caption, "Ledgora");
  EXPECT_EQ(port_.Log().back().icon, TIcon::Stop);
}

TEST_F(StartupTest, The252ndAccountIsNotInTheAccountsPopup) {
  const std::string book = MakeFixtureBook();
  {
    TDatabase db(book, port_);
    db.SetDurable(false);
    db.Open(false);
    for (std::size_t i = db.Accounts().Size(); i < 252; ++i) {
      auto account = std::make_unique<TAccountRecord>();
      account->name = "Compte " + std::to_string(i);
      db.AddAccount(std::move(account));
    }
    ASSERT_TRUE(db.Close());
  }
  RemoveInUseMarker(book);
  Start(book);
  CMainFrame& frame = Frame();
  emit frame.AccountsPopup()->aboutToShow();
  const QList<QAction*> entries = frame.AccountsPopup()->actions();
  ASSERT_EQ(entries.size(), 251);
  EXPECT_EQ(entries.back()->objectName(), QString("cmd%1").arg(kLastAccountCommand));
  EXPECT_EQ(frame.AccountBar().ButtonCount(), 250);
}

TEST_F(StartupTest, WindowPlacementIsReadAndWrittenBack) {
  platform::ProfileWriteInt("Setup", "LEFT", 30);
  platform::ProfileWriteInt("Setup", "TOP", 40);
  platform::ProfileWriteInt("Setup", "RIGHT", 900);
  platform::ProfileWriteInt("Setup", "BOTTOM", 600);
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  EXPECT_EQ(frame.size(), QSize(900, 600));
  frame.resize(800, 500);
  ASSERT_TRUE(ProcessUntil([] { return platform::ProfileReadInt("Setup", "RIGHT", 0) == 800; }));
  EXPECT_EQ(platform::ProfileReadInt("Setup", "BOTTOM", 0), 500);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Zoomed", -1), 0);
}

TEST_F(StartupTest, ExceptionsThatReachTheLoopAreAnsweredThere) {
  Start(MakeFixtureBook());
  port_.Clear();
  // A storage exception raised inside a window's event: its row of the
  // table (20914: its message, and the program keeps running).
  QTimer::singleShot(0, &Frame(), [] { throw TXOrvanet(kOrvKestrelDatabase, "x.VX"); });
  ASSERT_TRUE(ProcessUntil([&] { return !port_.Log().empty(); }));
  EXPECT_EQ(port_.LastMessage(), TXOrvanet(kOrvKestrelDatabase, "x.VX").Message());
  // Any other exception: the program's last message.
  port_.Clear();
  QTimer::singleShot(0, &Frame(), [] { throw std::runtime_error("boom"); });
  ASSERT_TRUE(ProcessUntil([&] { return !port_.Log().empty(); }));
  EXPECT_EQ(port_.LastMessage(), kUnknownException);
  EXPECT_EQ(port_.Log().back().icon, TIcon::Stop);
  EXPECT_TRUE(app_->Document().HasOpenBook());  // nothing was closed behind the user's back
}

}  // namespace
}  // namespace ledgora::app::testing
