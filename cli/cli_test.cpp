// ledgora-cli, command by command: in-process through RunCli, and a few
// runs of the built program itself (LEDGORA_BIN_DIR).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "platform/configuration.h"
#include "storage/book_profile.h"

namespace ledgora::cli {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(
      static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
      static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<unsigned char>(b[at + 3]) << 24);
}
void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

struct TRun {
  int code = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ledgora-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    setenv("LEDGORA_HOME", home_.c_str(), 1);
    setenv("LEDGORA_TODAY", "2026-03-15", 1);
    platform::ResetConfiguration();
  }
  void TearDown() override {
    std::filesystem::remove_all(home_);
    unsetenv("LEDGORA_HOME");
    platform::ResetConfiguration();
  }
  std::string Path(const std::string& name) const { return home_ + "/" + name; }

  // In process; the answers typed on a terminal when interactive.
  TRun Run(std::vector<std::string> args, const std::string& typed = {}, bool interactive = false) {
    std::istringstream in(typed);
    std::ostringstream out, err;
    TTerminal terminal;
    terminal.in = &in;
    terminal.err = &err;
    terminal.interactive = interactive;
    TRun r;
    r.code = RunCli(args, out, err, terminal);
    r.out = out.str();
    r.err = err.str();
    return r;
  }

  // The built program, standard input from /dev/null (no terminal).
  TRun Program(const std::string& args) {
    const std::string err_path = Path("stderr.txt");
    const std::string command = "cd '" + home_ + "' && LEDGORA_HOME='" + home_ + "' '" +
                                LEDGORA_BIN_DIR + "/ledgora-cli' " + args + " 2>'" + err_path +
                                "' </dev/null";
    TRun r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = Bytes(err_path);
    return r;
  }

  // A small generated book.
  std::string MakeBook(const std::string& name = "Livre.VX", std::size_t operations = 300) {
    const TRun r = Run({"gen-book", Path(name), "--operations", std::to_string(operations)});
    EXPECT_EQ(r.code, 0) << r.err;
    return Path(name);
  }

  // An empty book with one current account "Courant" (initial 100).
  std::string MakeSmallBook() {
    const std::string path = Path("Petit.VX");
    EXPECT_EQ(Run({"new", path}).code, 0);
    const TRun r = Run({"add-account", path, "--name", "Courant", "--type", "0", "--initial",
                        "100,00", "--remark", "compte joint"});
    EXPECT_EQ(r.code, 0) << r.err;
    return path;
  }

  std::string home_;
};

// --- Usage
// -------------------------------------------------------------------------------------------

struct TUsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;  // a part of the error text
};

class CliUsage : public CliTest, public ::testing::WithParamInterface<TUsageCase> {};

TEST_P(CliUsage, IsRefusedWithExitCode2AndTouchesNothing) {
  const TUsageCase& c = GetParam();
  std::vector<std::string> args;
  for (const std::string& a : c.args) args.push_back(a == "BOOK" ? Path("B.VX") : a);
  const TRun r = Run(args);
  EXPECT_EQ(r.code, 2) << r.err;
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_FALSE(std::filesystem::exists(Path("B.VX")));
  EXPECT_FALSE(std::filesystem::exists(Path("B.$VX")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUsage,
    ::testing::Values(
        TUsageCase{"NoCommand", {}, "Usage : ledgora-cli"},
        TUsageCase{"UnknownCommand", {"frobnicate"}, "commande inconnue « frobnicate »"},
        TUsageCase{"UnknownOption", {"info", "BOOK", "--colour"}, "option inconnue « --colour »"},
        TUsageCase{"JsonOnANonListingCommand", {"rebuild", "BOOK", "--json"}, "« --json »"},
        TUsageCase{"MissingValue", {"ops", "BOOK", "X", "--last"}, "--last attend une valeur"},
        TUsageCase{"YesAndNo", {"info", "BOOK", "--yes", "--no"}, "--yes et --no"},
        TUsageCase{"MissingBook", {"info"}, "il manque un argument"},
        TUsageCase{"ExtraArgument", {"info", "BOOK", "more"}, "argument en trop « more »"},
        TUsageCase{"RepeatedOption",
                   {"new", "BOOK", "--template", "0", "--template", "1"},
                   "--template est répétée"},
        TUsageCase{"TemplateTwo", {"new", "BOOK", "--template", "2"}, "--template vaut 0"},
        TUsageCase{"WrongExtension", {"info", "book.txt"}, "n'est pas valide"},
        TUsageCase{"GenWithoutCount", {"gen-book", "BOOK"}, "--operations est obligatoire"},
        TUsageCase{"GenBadCount", {"gen-book", "BOOK", "--operations", "12x"}, "attend un nombre"},
        TUsageCase{"GenZero", {"gen-book", "BOOK", "--operations", "0"}, "au moins 1"},
        TUsageCase{"GenLongPassword",
                   {"gen-book", "BOOK", "--operations", "5", "--password", "beaucouptroplong"},
                   "8 caractères"},
        TUsageCase{"AddOpBadDate",
                   {"add-op", "BOOK", "C", "--date", "2025-02-30", "--amount", "1", "--label", "x"},
                   "date invalide"},
        TUsageCase{
            "AddOpBadAmount",
            {"add-op", "BOOK", "C", "--date", "2025-02-03", "--amount", "1,234", "--label", "x"},
            "montant invalide"},
        TUsageCase{"AddAccountBadType",
                   {"add-account", "BOOK", "--name", "X", "--type", "5"},
                   "--type vaut 0, 1 ou 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, EveryCommandHasItsHelp) {
  for (const TCommandSpec& command : Commands()) {
    const TRun r = Run({std::string(command.name), "--help"});
    EXPECT_EQ(r.code, 0) << command.name;
    EXPECT_EQ(r.out.rfind("Usage : ledgora-cli " + std::string(command.name), 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--yes"), std::string::npos);
  }
  const TRun general = Run({"--help"});
  EXPECT_EQ(general.code, 0);
  for (const TCommandSpec& command : Commands()) {
    EXPECT_NE(general.out.find("  " + std::string(command.name) + " "), std::string::npos);
  }
}

// --- Listing and JSON
// ------------------------------------------------------------------------------

TEST_F(CliTest, ListingsGiveOneJsonObjectPerRowWithNumbersAndIsoDates) {
  const std::string book = MakeBook();
  TRun r = Run({"accounts", book, "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::regex account(
      R"x(^  \{"id": \d+, "name": "[^"]+", "type": [012], "type_name": "[^"]+", "state": 0, )x"
      R"x("state_name": "Affiché", "currency": "EUR", "initial_balance": -?\d+\.\d\d, )x"
      R"x("balance": -?\d+\.\d\d, "operations": \d+, "linked_account": (null|\d+), .*\},?$)x");
  std::istringstream lines(r.out);
  std::string line;
  int objects = 0;
  while (std::getline(lines, line)) {
    if (line == "[" || line == "]") continue;
    EXPECT_TRUE(std::regex_match(line, account)) << line;
    ++objects;
  }
  EXPECT_EQ(objects, 5);

  r = Run({"ops", book, "Compte chèques", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::regex op(
      R"x(^  \{"id": \d+, "date": "20\d\d-\d\d-\d\d", "label": "[^"]*", "complementary_label": )x"
      R"x("[^"]*", "classification": "[^"]+", "kind": "[a-z_]+", "amount": -?\d+\.\d\d, )x"
      R"x("balance": -?\d+\.\d\d, "pointing": "(not_pointed|downloaded|pointed|ticked)", .*\},?$)x");
  std::istringstream op_lines(r.out);
  int rows = 0;
  bool transfer = false, statement = false;
  while (std::getline(op_lines, line)) {
    if (line == "[" || line == "]") continue;
    EXPECT_TRUE(std::regex_match(line, op)) << line;
    transfer = transfer ||
               line.find("\"classification\": \"Virement vers Compte joint\"") != std::string::npos;
    statement = statement || line.find("\"Relevé Carte\"") != std::string::npos;
    ++rows;
  }
  EXPECT_GT(rows, 20);
  EXPECT_TRUE(transfer);
  EXPECT_TRUE(statement);

  r = Run({"info", book, "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"version\": 24, \"password\": false"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"operations\": 300"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"accounts\": 5"), std::string::npos) << r.out;
}

TEST_F(CliTest, TheOpsTableShowsTheListsTextsAndRunningBalances) {
  const std::string book = MakeSmallBook();
  ASSERT_EQ(Run({"add-op", book, "Courant", "--date", "2025-03-01", "--amount", "-12,50", "--label",
                 "Boulangerie"})
                .code,
            0);
  ASSERT_EQ(Run({"add-op", book, "Courant", "--date", "03/03/2025", "--amount", "1000", "--label",
                 "Salaire", "--complement", "mars"})
                .code,
            0);
  const std::string profile = Bytes(Path("ledgor.ini"));
  const TRun r = Run({"ops", book, "courant"});  // the name without regard to case
  ASSERT_EQ(r.code, 0) << r.err;
  // The program's view state is not the command line's.
  EXPECT_EQ(platform::ProfileReadText("Setup", "CompteActif", "-"), "-");
  EXPECT_EQ(Bytes(Path("ledgor.ini")), profile);
  EXPECT_EQ(r.out,
            "Date        Libellé         Classement  Débit    Crédit     Solde  P\n"
            "----------  --------------  ----------  -----  --------  --------  -\n"
            "01/03/2025  Boulangerie     Divers      12,50               87,50\n"
            "03/03/2025  Salaire / mars  Divers             1 000,00  1 087,50\n"
            "\n"
            "Devise du compte : EUR  Solde du compte : 1 087,50\n");
}

// --- Book handling
// --------------------------------------------------------------------------------------

TEST_F(CliTest, EveryBookCommandClosesTheBookProperly) {
  const std::string book = MakeSmallBook();
  EXPECT_EQ(Run({"info", book}).code, 0);
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  // The working copy left by an earlier run may be named: it is put back.
  std::filesystem::copy_file(book, Path("Petit.$VX"));
  WriteInUseMarker(book);
  // As the program leaves it while it has the book open: refused without --force.
  TRun r = Run({"info", book});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("la copie de travail du livre existe déjà"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(Path("Petit.$VX")));
  r = Run({"add-op", Path("Petit.$VX"), "Courant", "--date", "2025-05-01", "--amount", "5",
           "--label", "via la copie", "--force"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  EXPECT_NE(Run({"ops", book, "Courant"}).out.find("via la copie"), std::string::npos);
}

TEST_F(CliTest, NoSaveLeavesTheBookAndAnEarlierWorkingCopyAsTheyWere) {
  const std::string book = MakeSmallBook();
  const std::string before = Bytes(book);
  TRun r = Run({"add-op", book, "Courant", "--date", "2025-05-01", "--amount", "5", "--label",
                "oublié", "--no-save"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Bytes(book), before);
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  // A working copy from an earlier run keeps its bytes and its marker.
  std::filesystem::copy_file(book, Path("Petit.$VX"));
  WriteInUseMarker(book);
  const std::string working = Bytes(Path("Petit.$VX"));
  r = Run({"add-op", book, "Courant", "--date", "2025-05-01", "--amount", "5", "--label", "oublié",
           "--no-save", "--force"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Bytes(Path("Petit.$VX")) == working);
  EXPECT_TRUE(HasInUseMarker(book));
}

TEST_F(CliTest, AMissingBookAndADamagedOneAreStorageFailures) {
  TRun r = Run({"info", Path("Absent.VX")});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Le livre de comptes correspondant n'existe pas ou est incorrect !"),
            std::string::npos);
  // A book left inside a change: 20901, and nothing left behind by the run.
  const std::string book = MakeSmallBook();
  std::string bytes = Bytes(book);
  PutU32(bytes, 0, 1);
  WriteBytes(book, bytes);
  r = Run({"accounts", book});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Le livre de comptes est abîmé.\nUne reconstruction automatique est "
                       "indispensable."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Bytes(book), bytes);
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  // The rebuild repairs it.
  r = Run({"rebuild", book});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Livre de comptes reconstruit"), std::string::npos);
  EXPECT_EQ(Run({"accounts", book}).code, 0);
  EXPECT_EQ(U32(Bytes(book), 0), 0u);
  // A crash inside a change leaves the dirty working copy with its marker:
  // the rebuild reads it, with --force.
  std::string working = Bytes(book);
  PutU32(working, 0, 1);
  WriteBytes(Path("Petit.$VX"), working);
  WriteInUseMarker(book);
  EXPECT_EQ(Run({"rebuild", book}).code, 1);
  r = Run({"rebuild", book, "--force"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  EXPECT_EQ(Run({"check", book}).code, 0);
}

TEST_F(CliTest, ABookInUseElsewhereIsRefusedUnlessForcedAndConfirmed) {
  const std::string book = MakeSmallBook();
  std::filesystem::copy_file(book, Path("Petit.$VX"));  // no marker of ours: another machine
  TRun r = Run({"info", book});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("est sûrement en cours d'utilisation"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(Path("Petit.$VX")));
  r = Run({"info", book, "--force", "--no"});
  EXPECT_EQ(r.code, 1);
  r = Run({"info", book, "--force", "--yes"});
  EXPECT_EQ(r.code, 0) << r.err;
}

// --- The rules' questions
// ----------------------------------------------------------------------------------

TEST_F(CliTest, AQuestionIsAnsweredByYesNoOrTheTerminalAndNeverSilently) {
  const std::string book = MakeSmallBook();
  ASSERT_EQ(Run({"add-op", book, "Courant", "--date", "2025-03-01", "--amount", "-10", "--label",
                 "existing"})
                .code,
            0);
  const std::string before = Bytes(book);
  const std::vector<std::string> early = {"add-op",   book,  "Courant", "--date", "2025-02-01",
                                          "--amount", "-30", "--label", "early"};
  // No terminal, no answer: refused, the book unchanged.
  TRun r = Run(early);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Compte : Courant (compte joint)\nLe solde initial de celui-ci doit-il "
                       "passer de 100,00 à 130,00 ?"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("question sans réponse"), std::string::npos);
  EXPECT_EQ(Bytes(book), before);
  EXPECT_FALSE(std::filesystem::exists(Path("Petit.$VX")));

  // On a terminal: "n" keeps the initial balance and adds the operation.
  r = Run(early, "peut-être\nn\n", true);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("[Oui/Non] ?"), std::string::npos);
  EXPECT_NE(Run({"accounts", book, "--json"}).out.find("\"initial_balance\": 100.00"),
            std::string::npos);
  // --yes lowers it, so that the later balances stay (60 before and after).
  std::vector<std::string> yes = early;
  yes[4] = "2025-01-15";
  yes.push_back("--yes");
  r = Run(yes);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("→ Oui (--yes)"), std::string::npos);
  const std::string accounts = Run({"accounts", book, "--json"}).out;
  EXPECT_NE(accounts.find("\"initial_balance\": 130.00, \"balance\": 60.00"), std::string::npos)
      << accounts;
}

TEST_F(CliTest, AddOpRefusesUnknownCategoriesAndMakesTransfers) {
  const std::string book = MakeBook();
  TRun r = Run({"add-op", book, "Compte chèques", "--date", "2025-12-30", "--amount", "-5",
                "--label", "x", "--category", "Alimentation : Inconnue"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("catégorie inconnue"), std::string::npos);
  r = Run({"add-op", book, "Compte chèques", "--date", "2025-12-30", "--amount", "-5", "--label",
           "pain", "--category", "alimentation : boulangerie"});
  EXPECT_EQ(r.code, 0) << r.err;
  r = Run({"add-op", book, "Compte chèques", "--date", "2025-12-30", "--amount", "-70", "--label",
           "VIR EXCEPTIONNEL", "--transfer-to", "Livret A"});
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string savings = Run({"ops", book, "Livret A", "--last", "1", "--json"}).out;
  EXPECT_NE(savings.find("\"label\": \"VIR EXCEPTIONNEL\""), std::string::npos) << savings;
  EXPECT_NE(savings.find("\"classification\": \"Virement reçu de Compte chèques\""),
            std::string::npos);
  EXPECT_NE(savings.find("\"amount\": 70.00"), std::string::npos);
  const std::string current = Run({"ops", book, "Compte chèques", "--last", "2"}).out;
  EXPECT_NE(current.find("Alimentation : Boulangerie"), std::string::npos) << current;
  // A card account cannot receive a transfer.
  r = Run({"add-op", book, "Compte chèques", "--date", "2025-12-30", "--amount", "-1", "--label",
           "y", "--transfer-to", "Carte Visa"});
  EXPECT_EQ(r.code, 1);
}

struct TAccountCase {
  const char* name;
  std::vector<std::string> options;
  int code;
  const char* message;
};

class CliAccounts : public CliTest, public ::testing::WithParamInterface<TAccountCase> {};

TEST_P(CliAccounts, FollowTheRulesOfTheAccountsPage) {
  const std::string book = Path("Comptes.VX");
  ASSERT_EQ(Run({"new", book}).code, 0);
  ASSERT_EQ(Run({"add-account", book, "--name", "Courant", "--type", "0", "--bank", "30077",
                 "--branch", "04512", "--number", "12345678901"})
                .code,
            0);
  ASSERT_EQ(Run({"add-account", book, "--name", "Visa", "--type", "1", "--linked", "Courant",
                 "--card-number", "4970111122223333"})
                .code,
            0);
  const std::string before = Bytes(book);
  std::vector<std::string> args = {"add-account", book};
  for (const auto& o : GetParam().options) args.push_back(o);
  const TRun r = Run(args);
  EXPECT_EQ(r.code, GetParam().code) << r.err;
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
  if (r.code != 0) {
    EXPECT_TRUE(Bytes(book) == before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CliAccounts,
    ::testing::Values(
        TAccountCase{
            "EmptyName", {"--name", "", "--type", "0"}, 1, "Le nom du compte est obligatoire."},
        TAccountCase{"BadInitial",
                     {"--name", "X", "--type", "2", "--initial", "12,3,4"},
                     1,
                     "Le solde initial est invalide !"},
        TAccountCase{"CardWithoutCurrent",
                     {"--name", "Carte", "--type", "1"},
                     1,
                     "Sélectionnez le compte courant à associer à votre compte carte."},
        TAccountCase{"SameName",
                     {"--name", "Courant", "--type", "2"},
                     1,
                     "Vous ne pouvez pas créer deux comptes ayant le même nom !"},
        TAccountCase{"SameCard",
                     {"--name", "Visa 2", "--type", "1", "--linked", "Courant", "--card-number",
                      "4970111122223333"},
                     1,
                     "Vous ne pouvez pas créer deux comptes Encours Carte ayant le même numéro"},
        TAccountCase{"SameRib",
                     {"--name", "Autre", "--type", "0", "--bank", "30077", "--branch", "04512",
                      "--number", "12345678901"},
                     1,
                     "Vous ne pouvez pas créer deux comptes ayant le même R.I.B."},
        TAccountCase{"SameRibOtherCurrency",
                     {"--name", "Autre", "--type", "0", "--bank", "30077", "--branch", "04512",
                      "--number", "12345678901", "--currency", "usd"},
                     0,
                     ""},
        TAccountCase{"SameRibOtherType",
                     {"--name", "Livret", "--type", "2", "--bank", "30077", "--branch", "04512",
                      "--number", "12345678901"},
                     0,
                     ""},
        TAccountCase{
            "NameTooLong", {"--name", "Un nom bien trop long", "--type", "0"}, 2, "15 caractères"},
        TAccountCase{"BankCodeNotAlnum",
                     {"--name", "X", "--type", "0", "--bank", "30-77"},
                     2,
                     "code banque"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- check
// ------------------------------------------------------------------------------------------------------

TEST_F(CliTest, CheckFindsNothingInAGeneratedBook) {
  const std::string book = MakeBook("Sain.VX", 2000);
  const TRun r = Run({"check", book});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Aucun dommage trouvé."), std::string::npos);
}

TEST_F(CliTest, CheckReportsEveryDamageAndChangesNothing) {
  const std::string book = MakeBook("Abime.VX", 400);
  std::string bytes = Bytes(book);
  // The first account's operation chain: its second record's link sent
  // into the middle of a record; a later record's tag broken; the dirty flag.
  const std::uint32_t first_account = U32(bytes, 444);
  ASSERT_EQ(bytes[first_account], 'C');
  const std::size_t first_op_field =
      first_account + 7 + 4 + 2 + 2 + 4 + 8 + 21 + 6 + 6 + 12 + 17 + 51 + 4 + 11 + 8 + 8 + 11;
  const std::uint32_t first_op = U32(bytes, first_op_field);
  ASSERT_EQ(bytes[first_op], 'O');
  PutU32(bytes, first_op + 3, first_op + 10);
  // A record start near the end, found by walking the frames.
  std::size_t tag = 468, last_op = 0;
  while (tag + 3 <= bytes.size()) {
    if (bytes[tag] == 'O') last_op = tag;
    tag += static_cast<unsigned char>(bytes[tag + 1]) | static_cast<unsigned char>(bytes[tag + 2])
                                                            << 8;
  }
  ASSERT_GT(last_op, first_op);
  bytes[last_op] = 'Q';
  PutU32(bytes, 0, 1);
  WriteBytes(book, bytes);
  const std::string ini_before = Bytes(Path("ledgor.ini"));

  const TRun r = Run({"check", book, "--json"});
  EXPECT_EQ(r.code, 3) << r.err;
  EXPECT_NE(r.err.find("Le livre de comptes est abîmé."), std::string::npos);
  EXPECT_NE(r.out.find("\"damaged\": true"), std::string::npos);
  EXPECT_NE(r.out.find("indicateur d'écriture levé"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("enregistrement illisible (étiquette 0x51"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ne désigne pas un enregistrement"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("hors de toute chaîne"), std::string::npos) << r.out;
  // Read only: the same bytes, no working copy, no marker, the profile as it was.
  EXPECT_TRUE(Bytes(book) == bytes);
  EXPECT_FALSE(std::filesystem::exists(Path("Abime.$VX")));
  EXPECT_FALSE(HasInUseMarker(book));
  EXPECT_EQ(Bytes(Path("ledgor.ini")), ini_before);
}

TEST_F(CliTest, CheckOfAProtectedBookAsksItsPassword) {
  ASSERT_EQ(Run({"gen-book", Path("P.VX"), "--operations", "50", "--password", "clef"}).code, 0);
  TRun r = Run({"check", Path("P.VX")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Impossible de lancer le logiciel sans spécifier le mot de passe."),
            std::string::npos)
      << r.err;
  r = Run({"check", Path("P.VX"), "--password", "CLEF"});
  EXPECT_EQ(r.code, 0) << r.err;
  // On a terminal it is typed; a wrong one is asked again.
  r = Run({"check", Path("P.VX")}, "faux\nclef\n", true);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Mot de passe non valide !"), std::string::npos) << r.err;
}

// --- Maintenance
// ---------------------------------------------------------------------------------------------

TEST_F(CliTest, BackupAndPassword) {
  const std::string book = MakeBook("M.VX", 100);
  TRun r = Run({"backup", book, Path("copie.SAV.VX")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(Path("copie.SAV.VX")));
  EXPECT_NE(Run({"info", book, "--json"}).out.find("\"backup_path\": \"" + Path("copie.SAV.VX")),
            std::string::npos);
  r = Run({"backup", book, Path("absent/dossier/copie.SAV.VX")});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("La copie de secours du livre de comptes n'a pas pu s'effectuer."),
            std::string::npos)
      << r.err;

  // A new password: asked to confirm the rebuild.
  r = Run({"password", book, "--new", "neuf"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(Run({"info", book, "--json"}).out.find("\"password\": false"), std::string::npos);
  r = Run({"password", book, "--new", "neuf", "--yes"});
  EXPECT_EQ(r.code, 0) << r.err;
  r = Run({"info", book});
  EXPECT_EQ(r.code, 1);  // no terminal to type it
  r = Run({"info", book, "--password", "neuf", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"password\": true"), std::string::npos);
  EXPECT_NE(r.out.find("\"operations\": 100"), std::string::npos);
  r = Run({"password", book, "--old", "faux", "--new", "", "--yes"});
  EXPECT_EQ(r.code, 1);
  r = Run({"password", book, "--old", "NEUF", "--new", "", "--yes"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(Run({"info", book, "--json"}).out.find("\"password\": false"), std::string::npos);
}

TEST_F(CliTest, NewBooksEmptyOrFromATemplateNeverReplaceABook) {
  TRun r = Run({"new", Path("Vide.VX")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Path("Vide.VX") + "\n");
  EXPECT_NE(Run({"info", Path("Vide.VX"), "--json"})
                .out.find("\"backup_path\": \"" + Path("Vide.SAV.VX") + "\""),
            std::string::npos);
  r = Run({"new", Path("Vide.VX")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("existe déjà"), std::string::npos);
  // A bare name goes to the books folder.
  r = Run({"new", "Famille", "--template", "0"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Path("Famille.VX") + "\n");
  r = Run({"info", "Famille", "--json"});
  EXPECT_NE(r.out.find("\"categories\": "), std::string::npos);
  EXPECT_EQ(r.out.find("\"categories\": 0,"), std::string::npos) << r.out;
  // With a password, the template's categories are written with its key.
  r = Run({"new", Path("Secret.VX"), "--template", "3", "--password", "clef"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Run({"info", Path("Secret.VX")}).code, 1);
  r = Run({"info", Path("Secret.VX"), "--password", "clef", "--json"});
  EXPECT_NE(r.out.find("\"password\": true"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("\"categories\": 0,"), std::string::npos) << r.out;
  EXPECT_EQ(Run({"check", Path("Secret.VX"), "--password", "clef"}).code, 0);
}

// --- gen-book and the demo, through the program
// ------------------------------------------------------------

TEST_F(CliTest, TheProgramGeneratesTheSameBookForTheSameSeed) {
  TRun r = Program("gen-book A.VX --operations 1500 --seed 9");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("1500 opérations"), std::string::npos);
  std::filesystem::create_directories(Path("b"));
  r = Program("gen-book b/A.VX --operations 1500 --seed 9");
  ASSERT_EQ(r.code, 0) << r.err;
  // The backup path differs ("/A.SAV.VX" and "/b/A.SAV.VX"): compare after it.
  EXPECT_TRUE(Bytes(Path("A.VX")).substr(370) == Bytes(Path("b/A.VX")).substr(370));
  r = Program("info A.VX --json");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("\"operations\": 1500"), std::string::npos);
  r = Program("gen-book A.VX --operations 10");
  EXPECT_EQ(r.code, 1);
  r = Program("ops A.VX Inconnu");
  EXPECT_EQ(r.code, 2);
}

TEST_F(CliTest, TheHeadlessDemoMakesItsBookOnceAndShowsIt) {
  TRun r = Program("demo --path-only");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Path("Demo.VX") + "\n");
  const std::string made = Bytes(Path("Demo.VX"));
  r = Program("demo");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Compte chèques"), std::string::npos);
  EXPECT_NE(r.out.find("Dernières opérations du compte « Compte chèques »"), std::string::npos);
  EXPECT_NE(r.out.find("Solde du compte : "), std::string::npos);
  EXPECT_TRUE(Bytes(Path("Demo.VX")) == made);
  EXPECT_FALSE(std::filesystem::exists(Path("Demo.$VX")));
}

}  // namespace
}  // namespace ledgora::cli
