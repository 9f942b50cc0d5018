// The document commands: in-use check, start-up opening, close with its
// three answers, recent books, new books from the templates, the password
// change, the undo of a download.
#include "storage/book_lifecycle.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/book_templates.h"
#include "storage/faulty_file_system.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::PutU32At;
using testing::ReadAll;
using testing::TStorageTest;
using testing::WriteAll;

struct TRecordingViews : TBookViews {
  void SetTitle(const std::string& t) override { title = t; }
  void RefreshViews(bool) override { ++refreshed; }
  void EmptyViews() override { ++emptied; }
  void ImportCommandLine(const std::string& c) override { imported = c; }
  void ScheduleNewBookWizard(const std::string& c) override {
    wizard = true;
    saved_command_line = c;
  }
  std::string title;
  int refreshed = 0;
  int emptied = 0;
  std::string imported;
  bool wizard = false;
  std::string saved_command_line;
};

class Lifecycle : public TStorageTest {
 protected:
  void SetUp() override {
    TStorageTest::SetUp();
    doc_.SetViews(&views_);
    doc_.SetBookSetup([](TDatabase& db) { db.SetDurable(false); });
  }
  void TearDown() override {
    doc_.CloseWithoutSaving();
    TStorageTest::TearDown();
  }

  // A saved and closed book with one account and one operation.
  std::string MakeBook(const std::string& name = "Livre.VX") {
    auto db = NewBook(name);
    TAccountRecord& account = db->AddAccount(testing::Account("Compte chèques"));
    db->AddOperation(account, testing::Operation("02/01/2024", -12.5, "PAIN"));
    EXPECT_TRUE(db->Close());
    RemoveInUseMarker(PathOf(name));
    return PathOf(name);
  }

  std::size_t OperationCount() {
    std::size_t n = 0;
    for (TAccountRecord& a : doc_.Book()->Accounts().Records<TAccountRecord>()) {
      n += a.Operations().Size();
    }
    return n;
  }

  void AddOperation(const std::string& label = "AJOUT") {
    TDatabase& db = *doc_.Book();
    db.AddOperation(db.Accounts().Head()->As<TAccountRecord>(),
                    testing::Operation("03/01/2024", -1, label));
  }

  TRecordingViews views_;
  TBookDocument doc_{port_};
};

// --- The in-use check ---------------------------------------------------------------

struct TInUseCase {
  const char* name;
  bool working_copy;
  bool marker;
  TButton button;  // None: no dialog expected
  bool ctrl;
  TButton confirmation;  // None: no question expected
  bool allowed;
};

class InUseCheck : public Lifecycle, public ::testing::WithParamInterface<TInUseCase> {};

TEST_P(InUseCheck, FollowsTheDialogsRules) {
  const TInUseCase& c = GetParam();
  const std::string book = MakeBook();
  if (c.working_copy) WriteAll(PathOf("Livre.$VX"), ReadAll(book));
  if (c.marker) WriteInUseMarker(book);
  if (c.button != TButton::None) port_.Answer(c.button, c.ctrl);
  if (c.confirmation != TButton::None) port_.Answer(c.confirmation);
  EXPECT_EQ(CheckNotInUse(book, port_), c.allowed);
  EXPECT_TRUE(port_.ScriptExhausted());
  const auto& log = port_.Log();
  ASSERT_EQ(log.size(), (c.button != TButton::None) + (c.confirmation != TButton::None));
  if (c.button == TButton::None) return;
  EXPECT_EQ(log[0].caption, "Ledgora");
  EXPECT_EQ(log[0].text, "La base de données " + book + " est sûrement en cours d'utilisation.");
  ASSERT_EQ(log[0].details.size(), 2u);
  EXPECT_EQ(log[0].details[0],
            "Ledgora ne permet pas d'ouvrir simultanément plusieurs fois la même base de "
            "données.\nVous devez attendre que la base soit libérée pour pouvoir l'utiliser.");
  EXPECT_EQ(log[0].labels, std::vector<std::string>{"O&K"});
  if (c.confirmation == TButton::None) return;
  EXPECT_EQ(log[1].text,
            "Vous avez demandé à ouvrir quand même la base de données. Ceci peut altérer "
            "irrémédiablement les données de celle-ci.\nConfirmez-vous ce choix ?");
  EXPECT_EQ(log[1].buttons, TButtons::YesNo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InUseCheck,
    ::testing::Values(
        TInUseCase{"OkWithoutCtrlRefuses", true, false, TButton::Ok, false, TButton::None, false},
        TInUseCase{"CtrlAndNoRefuses", true, false, TButton::Ok, true, TButton::No, false},
        TInUseCase{"CtrlAndYesAllows", true, false, TButton::Ok, true, TButton::Yes, true},
        TInUseCase{"OwnMarkerAllows", true, true, TButton::None, false, TButton::None, true},
        TInUseCase{"NoWorkingCopyAllows", false, false, TButton::None, false, TButton::None, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Lifecycle, ARefusedCheckConstructsNothing) {
  const std::string book = MakeBook();
  WriteAll(PathOf("Livre.$VX"), ReadAll(book));  // another machine's working copy
  port_.Answer(TButton::Ok);
  EXPECT_FALSE(doc_.OpenBook(book));
  EXPECT_EQ(doc_.Book(), nullptr);
  EXPECT_FALSE(HasInUseMarker(book));
}

// --- Close --------------------------------------------------------------------------

TEST_F(Lifecycle, CloseKeepsOrDropsTheChangesOrStops) {
  const std::string book = MakeBook();
  const std::string saved = ReadAll(book);
  const std::string question =
      "Toutes les modifications que vous avez faites depuis la dernière validation ont été "
      "enregistrées dans un livre de comptes temporaire.\nDésirez vous valider ces "
      "modifications ?";

  // Annuler: nothing happens.
  ASSERT_TRUE(doc_.OpenBook(book));
  AddOperation();
  port_.Answer(TButton::Cancel);
  EXPECT_FALSE(doc_.Close());
  EXPECT_TRUE(doc_.HasOpenBook());
  EXPECT_EQ(port_.LastMessage(), question);
  EXPECT_EQ(port_.Log().back().caption, "Demande de confirmation");
  EXPECT_EQ(port_.Log().back().labels, (std::vector<std::string>{"&Oui", "&Non", "&Annuler"}));

  // Non: the book stays byte-identical to its last save.
  port_.Answer(TButton::No);
  EXPECT_TRUE(doc_.Close());
  EXPECT_EQ(doc_.Book(), nullptr);
  EXPECT_EQ(ReadAll(book), saved);
  EXPECT_FALSE(platform::FileExists(PathOf("Livre.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));

  // Oui: the changes go into the book, and the reminder counts one down.
  ASSERT_TRUE(doc_.OpenBook(book));
  AddOperation();
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(doc_.Close());
  EXPECT_FALSE(platform::FileExists(PathOf("Livre.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  ASSERT_TRUE(doc_.OpenBook(book));
  EXPECT_EQ(OperationCount(), 2u);
  EXPECT_EQ(doc_.Book()->Settings().backup_countdown, 8);  // 9 after MakeBook

  // Without changes: closed as with Oui, no question.
  port_.Clear();
  EXPECT_TRUE(doc_.Close());
  EXPECT_TRUE(port_.Log().empty());
  EXPECT_EQ(views_.emptied, 3);
}

TEST_F(Lifecycle, ABookThatCannotBeReplacedStaysOpen) {
  const std::string book = MakeBook();
  TFaultyFileSystem files;
  TBookDocument doc(port_, files);
  ASSERT_TRUE(doc.OpenBook(book));
  doc.Book()->AddAccount(testing::Account("Livret", kDepositAccount));
  files.FailCopies(EROFS);
  port_.Answer(TButton::Yes);
  EXPECT_FALSE(doc.Close());
  EXPECT_TRUE(doc.HasOpenBook());
  EXPECT_TRUE(HasInUseMarker(book));
  EXPECT_TRUE(platform::FileExists(PathOf("Livre.$VX")));
  files.Heal();
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(doc.Close());
}

// --- Start-up, after-open, recent books ---------------------------------------------------

TEST_F(Lifecycle, StartUpOpensTheCommandLineBookElseTheLastOne) {
  const std::string first = MakeBook("Premier.VX");
  const std::string second = MakeBook("Second.VX");
  platform::ProfileWriteText("Setup", "CompteActif", "compte CHÈQUES");
  doc_.StartupOpen(second);
  ASSERT_TRUE(doc_.HasOpenBook());
  EXPECT_EQ(doc_.Book()->BookPath(), second);
  EXPECT_EQ(views_.title, "Ledgora [" + second + "]");
  EXPECT_EQ(views_.imported, second);
  EXPECT_EQ(doc_.Book()->CurrentAccount()->name, "Compte chèques");
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", ""), second);
  EXPECT_EQ(platform::ProfileReadText("Setup", "Database", ""), second);
  ASSERT_TRUE(doc_.Close());

  platform::ProfileWriteText("Setup", "LDatabase", first);
  views_.imported.clear();
  doc_.StartupOpen("");
  ASSERT_TRUE(doc_.HasOpenBook());
  EXPECT_EQ(doc_.Book()->BookPath(), first);
  EXPECT_EQ(views_.imported, "");
  EXPECT_FALSE(views_.wizard);
}

TEST_F(Lifecycle, StartUpWithoutABookSchedulesTheWizard) {
  platform::ProfileWriteText("Setup", "LDatabase", PathOf("Parti.VX"));
  doc_.StartupOpen("/tmp/releve.vxi");
  EXPECT_EQ(doc_.Book(), nullptr);
  EXPECT_TRUE(views_.wizard);
  EXPECT_EQ(views_.saved_command_line, "/tmp/releve.vxi");
}

TEST_F(Lifecycle, ABookLeftDirtyIsClosedAndForgottenThenRebuilt) {
  const std::string book = MakeBook();
  std::string bytes = ReadAll(book);
  PutU32At(bytes, 0, 1);
  WriteAll(PathOf("Livre.$VX"), bytes);
  WriteInUseMarker(book);  // left by this user's run that stopped
  platform::ProfileWriteText("Setup", "LDatabase", book);
  try {
    doc_.StartupOpen("");
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvLeftOpen);
  }
  EXPECT_EQ(doc_.Book(), nullptr);
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", "x"), "");
  EXPECT_EQ(platform::ProfileReadText("Setup", "Database", "x"), "");
  // The storage-exception handling answers Yes to the rebuild.
  ASSERT_TRUE(doc_.RebuildAndReload(doc_.LastBookPath()));
  EXPECT_TRUE(doc_.HasOpenBook());
  EXPECT_EQ(OperationCount(), 1u);
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", ""), book);
}

TEST_F(Lifecycle, TenClosesOfAModifiedBookBringTheBackupDialogAtStartUp) {
  const std::string book = MakeBook();
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(doc_.OpenBook(book));
    AddOperation("OP" + std::to_string(i));
    port_.Answer(TButton::Yes);
    ASSERT_TRUE(doc_.Close());
  }
  port_.Clear();
  const std::string backup = PathOf("copie.SAV.VX");
  port_.AnswerText(backup);
  doc_.StartupOpen(book);
  ASSERT_EQ(port_.Log().size(), 1u);
  EXPECT_EQ(port_.Log()[0].caption, "Faire une copie de secours des données");
  EXPECT_EQ(doc_.Book()->Settings().backup_countdown, 10);
  EXPECT_EQ(ReadAll(backup), ReadAll(PathOf("Livre.$VX")));
}

TEST_F(Lifecycle, RecentBooksKeepTheLastFourAndMoveAReopenedOneFirst) {
  std::vector<std::string> books;
  for (const char* name : {"A.VX", "B.VX", "C.VX", "D.VX", "E.VX"}) {
    books.push_back(MakeBook(name));
  }
  for (const std::string& book : books) {
    ASSERT_TRUE(doc_.OpenBook(book));
    ASSERT_TRUE(doc_.Close());
  }
  EXPECT_EQ(RecentBooks(), (std::vector<std::string>{books[4], books[3], books[2], books[1]}));
  ASSERT_TRUE(doc_.OpenRecent(3));
  EXPECT_EQ(doc_.Book()->BookPath(), books[2]);
  EXPECT_EQ(RecentBooks(), (std::vector<std::string>{books[2], books[4], books[3], books[1]}));
  ASSERT_TRUE(doc_.Close());
  // A recent book that is gone: the message, the list unchanged.
  platform::RemoveFile(books[1]);
  EXPECT_FALSE(doc_.OpenRecent(4));
  EXPECT_EQ(port_.LastMessage(),
            "Le livre de comptes correspondant n'existe pas ou est incorrect !");
  EXPECT_EQ(port_.Log().back().icon, TIcon::Stop);
  EXPECT_EQ(RecentBooks()[3], books[1]);
}

TEST_F(Lifecycle, OpenAsksTheFileAndChecksItsExtension) {
  const std::string book = MakeBook();
  port_.AnswerFile(PathOf("notes.txt"));
  EXPECT_FALSE(doc_.Open());
  EXPECT_EQ(port_.LastMessage(),
            "Le format du livre de comptes " + PathOf("notes.txt") + " n'est pas valide.");
  EXPECT_EQ(port_.Log()[0].text, "Ouverture d'un livre de comptes");
  port_.AnswerFile(book);
  EXPECT_TRUE(doc_.Open());
  EXPECT_EQ(doc_.Book()->BookPath(), book);
  port_.AnswerFile(std::nullopt);
  EXPECT_FALSE(doc_.Open());  // closed the current book, then cancelled
  EXPECT_EQ(doc_.Book(), nullptr);
}

// --- New books ------------------------------------------------------------------------

TEST_F(Lifecycle, ANewEmptyBookWithoutANameIsSansnom) {
  ASSERT_TRUE(doc_.NewBook({"", TCategorySet::None}));
  const std::string book = PathOf("sansnom.VX");
  EXPECT_EQ(doc_.Book()->BookPath(), book);
  EXPECT_EQ(doc_.Book()->Settings().backup_path, PathOf("sansnom.SAV.VX"));
  const std::string bytes = ReadAll(book);
  EXPECT_EQ(bytes.size(), kHeaderSize);
  EXPECT_EQ(testing::U32At(bytes, 0), 0u);
  EXPECT_EQ(platform::ProfileReadText("Setup", "Database", ""), book);
  EXPECT_EQ(views_.title, "Ledgora [" + book + "]");
  // Finishing the wizard again with the same name offers to open it.
  port_.Answer(TButton::No);
  EXPECT_FALSE(doc_.NewBook({"sansnom", TCategorySet::Particulier}));
  EXPECT_EQ(port_.LastMessage(),
            "Le livre de comptes " + book + " existe déjà !\nVoulez vous l'ouvrir ?");
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(doc_.NewBook({"sansnom", TCategorySet::Particulier}));
  EXPECT_TRUE(doc_.Book()->Categories().Empty());
}

struct TTemplateCase {
  TCategorySet set;
  const char* file;
  const char* source;
};

class NewBookFromTemplate : public Lifecycle,
                            public ::testing::WithParamInterface<TTemplateCase> {};

TEST_P(NewBookFromTemplate, HoldsTheCategoriesOfItsSet) {
  EXPECT_EQ(TemplateFileName(GetParam().set), GetParam().file);
  ASSERT_TRUE(doc_.NewBook({"Ferme", GetParam().set}));
  const auto expected = ParseCategoryFile(*platform::ReadFile(
      std::string(LEDGORA_SOURCE_DIR) + "/storage/templates/" + GetParam().source));
  std::size_t top = 0;
  std::size_t subs = 0;
  for (const TTemplateCategory& c : expected) {
    TCategoryRecord* found = nullptr;
    for (TCategoryRecord& r : doc_.Book()->Categories().Records<TCategoryRecord>()) {
      if (r.name == c.name && r.debit == (c.debit ? 1u : 0u)) found = &r;
    }
    ASSERT_NE(found, nullptr) << c.name;
    ++top;
    const TRecordList* list = found->SubCategoriesIfAny();
    ASSERT_EQ(list ? list->Size() : 0u, c.subcategories.size()) << c.name;
    subs += c.subcategories.size();
  }
  EXPECT_EQ(doc_.Book()->Categories().Size(), top);
  EXPECT_GT(subs, 2 * top);  // two levels deep
  EXPECT_TRUE(doc_.Book()->Accounts().Empty());
  EXPECT_EQ(doc_.Book()->Settings().backup_path, PathOf("Ferme.SAV.VX"));
}

INSTANTIATE_TEST_SUITE_P(
    Sets, NewBookFromTemplate,
    ::testing::Values(TTemplateCase{TCategorySet::Particulier, "DEFAUT0.$$$", "particulier.cat"},
                      TTemplateCase{TCategorySet::Sante, "DEFAUT1.$$$", "sante.cat"},
                      TTemplateCase{TCategorySet::Agriculteur, "DEFAUT3.$$$", "agriculteur.cat"}),
    [](const auto& info) { return std::string(info.param.source).substr(0, 4); });

TEST_F(Lifecycle, AMissingTemplateStopsTheCreation) {
  platform::TConfiguration c = platform::Configuration();
  c.data_folder = PathOf("vide");
  platform::SetConfiguration(c);
  EXPECT_FALSE(doc_.NewBook({"Ferme", TCategorySet::Agriculteur}));
  EXPECT_EQ(port_.LastMessage(),
            "Le fichier contenant les catégories prédéfinies n'a pas pu être trouvé !");
  EXPECT_FALSE(platform::FileExists(PathOf("Ferme.VX")));
}

TEST(CategoryFile, FirstLineAndNames) {
  const auto tree = ParseCategoryFile(
      "Ledgora:Categories\r\nDLogement\r\n:Loyer\r\n:loyer\r\n:Un nom bien trop long pour "
      "tenir en trente\r\nCSalaires\r\nautre ligne\r\n:Paie\r\ndlogement\r\n");
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].name, "Logement");
  EXPECT_TRUE(tree[0].debit);
  EXPECT_EQ(tree[0].subcategories,
            (std::vector<std::string>{"Loyer", "Un nom bien trop long pour ten"}));
  EXPECT_FALSE(tree[1].debit);
  EXPECT_EQ(tree[1].subcategories, std::vector<std::string>{"Paie"});
  EXPECT_NO_THROW(ParseCategoryFile("Categories sans deux-points\nDA\n"));
  EXPECT_THROW(ParseCategoryFile("Ledgora:Comptes\nDA\n"), TCategoryFileError);
}

// --- Password ------------------------------------------------------------------------------

TEST_F(Lifecycle, ThePasswordChangeRebuildsTheBookWithTheNewKey) {
  const std::string book = MakeBook();
  ASSERT_TRUE(doc_.OpenBook(book));
  // Confirmation that differs; No to the rebuild: nothing changes.
  EXPECT_EQ(doc_.ChangePassword({"", "abc", "abd"}), TPasswordResult::Mismatch);
  EXPECT_EQ(port_.LastMessage(),
            "Les mots de passe sont différents !\nSaisissez-les de nouveau, S.V.P.");
  port_.Answer(TButton::No);
  EXPECT_EQ(doc_.ChangePassword({"", "abc", "ABC"}), TPasswordResult::Declined);
  EXPECT_FALSE(doc_.Book()->HasPassword());

  port_.Answer(TButton::Yes);
  EXPECT_EQ(doc_.ChangePassword({"", "abc", "ABC"}), TPasswordResult::Changed);
  EXPECT_EQ(doc_.Book()->Password(), "ABC");
  EXPECT_EQ(OperationCount(), 1u);
  EXPECT_FALSE(doc_.Book()->ModifiedSinceSaved());
  ASSERT_TRUE(doc_.Close());
  // The saved book asks for it; lower case is accepted.
  port_.AnswerText("abc");
  ASSERT_TRUE(doc_.OpenBook(book));
  EXPECT_EQ(OperationCount(), 1u);
  EXPECT_EQ(doc_.ChangePassword({"xyz", "", ""}), TPasswordResult::WrongOld);
  EXPECT_EQ(port_.LastMessage(), "L'ancien mot de passe n'est pas valide !");
  EXPECT_TRUE(port_.ScriptExhausted());
}

TEST_F(Lifecycle, AFailedPasswordRebuildLeavesTheBookReadableWithTheFormerPassword) {
  const std::string book = MakeBook();
  TFaultyFileSystem files;
  TBookDocument doc(port_, files);
  ASSERT_TRUE(doc.OpenBook(book));
  port_.Answer(TButton::Yes);
  // The rebuild's first copy (to "Source.$$$") fails; Save and Close before
  // it succeed.
  files.FailWritesAfter(2, ENOSPC);
  try {
    doc.ChangePassword({"", "neuf", "neuf"});
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvRebuildFailed);
    EXPECT_NE(doc.Book(), nullptr);  // closed, constructed again: the rebuild failed
  }
  files.Heal();
  doc.CloseWithoutSaving();
  // Neither the book nor its working copy asks for the new password, and
  // every record reads.
  for (const char* name : {"Livre.VX", "Livre.$VX"}) {
    if (!platform::FileExists(PathOf(name))) continue;
    TDatabase db(PathOf(name), port_);
    db.Open(true);  // no password to ask
    EXPECT_FALSE(db.HasPassword()) << name;
    EXPECT_EQ(db.Accounts()
                  .Head()
                  ->As<TAccountRecord>()
                  .Operations()
                  .Head()
                  ->As<TOperationRecord>()
                  .label,
              "PAIN");
  }
}

// --- Undo of a download --------------------------------------------------------------------------

TEST_F(Lifecycle, UndoDownloadGoesBackToThePreDownloadCopy) {
  const std::string book = MakeBook();
  ASSERT_TRUE(doc_.OpenBook(book));
  EXPECT_FALSE(doc_.UndoDownload());
  EXPECT_EQ(port_.LastMessage(), "Impossible d'annuler le téléchargement !");
  EXPECT_EQ(port_.Log().back().icon, TIcon::Stop);

  const std::string saved = ReadAll(book);
  ASSERT_TRUE(TakePreDownloadCopy(*doc_.Book()));
  AddOperation("TELECHARGE");
  AddOperation("TELECHARGE");
  EXPECT_EQ(OperationCount(), 3u);
  ASSERT_TRUE(doc_.UndoDownload());
  EXPECT_EQ(OperationCount(), 1u);
  EXPECT_EQ(ReadAll(book), saved);
  EXPECT_FALSE(platform::FileExists(TDatabase::PreDownloadCopyPath()));
  EXPECT_EQ(doc_.Book()->BookPath(), book);
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", ""), book);
}

}  // namespace
}  // namespace ledgora
