#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"

namespace ledgora::platform {
namespace {

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ledgora-ini-XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/test.ini";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Put(std::string_view bytes) { ASSERT_TRUE(ReplaceFileContents(path_, bytes)); }
  std::string Get() { return ReadFile(path_).value_or("<missing>"); }

  std::string dir_;
  std::string path_;
};

TEST_F(IniTest, ReadsWithoutRegardToCase) {
  Put("; comment\r\n[Setup]\r\nDatabase = C:\\livre.vx \r\nFilter=2x\r\n[Intl]\r\nsThousand=\" "
      "\"\r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadText("SETUP", "database", "none"), "C:\\livre.vx");
  EXPECT_EQ(ini.ReadInt("setup", "FILTER", 7), 2);
  EXPECT_EQ(ini.ReadInt("setup", "Absent", 7), 7);
  EXPECT_EQ(ini.ReadText("Intl", "sThousand", "?"), " ");
  EXPECT_EQ(ini.ReadText("Setup", "Database", "", 4), "C:\\l");
  EXPECT_EQ(ini.ReadText("Nowhere", "Database", "def"), "def");
}

TEST_F(IniTest, WritesKeepEveryOtherLineAsItWas) {
  const std::string original =
      "garbage line without equals\r\n[Setup]\r\n; kept comment\r\nA=1\r\n\xFF\xFE odd bytes\r\n"
      "\r\n[Other]\r\nB=2";
  Put(original);
  TIniFile ini(path_);
  ASSERT_TRUE(ini.WriteText("setup", "a", "été"));
  ASSERT_TRUE(ini.WriteInt("Setup", "New", -5));
  ASSERT_TRUE(ini.WriteText("Other", "C", "3"));
  ASSERT_TRUE(ini.WriteText("Third", "D", "4"));
  EXPECT_EQ(
      Get(),
      "garbage line without equals\r\n[Setup]\r\n; kept comment\r\nA=\xE9t\xE9\r\n\xFF\xFE odd "
      "bytes\r\nNew=-5\r\n\r\n[Other]\r\nB=2\r\nC=3\r\n[Third]\r\nD=4\r\n");
  EXPECT_EQ(ini.ReadText("SETUP", "A", ""), "été");
  EXPECT_EQ(ini.ReadInt("Setup", "New", 0), -5);
  ASSERT_TRUE(ini.DeleteKey("SETUP", "new"));
  EXPECT_FALSE(ini.HasKey("Setup", "New"));
  EXPECT_EQ(ini.Keys("setup"), (std::vector<std::string>{"A"}));
}

TEST_F(IniTest, DamagedFilesAreReadWithoutCrashing) {
  for (const std::string& bytes : {std::string(""), std::string("no sections at all\nx=1\n"),
                                   std::string("[unclosed\n=\n[]\n==\n", 18),
                                   std::string("\0\0[S]\0=\0", 9), std::string("[S]\nk=v\r")}) {
    Put(bytes);
    TIniFile ini(path_);
    ini.ReadText("S", "k", "");
    ini.ReadInt("S", "", 0);
    ASSERT_TRUE(ini.WriteText("S", "k", "w"));
    EXPECT_EQ(ini.ReadText("S", "k", ""), "w") << bytes;
    // Nothing of the former content is lost.
    EXPECT_NE(Get().find(bytes.substr(0, bytes.find("k=v"))), std::string::npos);
  }
}

TEST_F(IniTest, WriteCreatesFileAndFolders) {
  TIniFile ini(dir_ + "/sub/folder/new.ini");
  ASSERT_TRUE(ini.WriteText("Recent", "1", "/books/a.VX"));
  EXPECT_EQ(ini.ReadText("recent", "1", ""), "/books/a.VX");
}

class ConfigurationTest : public IniTest {
 protected:
  void SetUp() override {
    IniTest::SetUp();
    saved_home_ = GetEnvironment("LEDGORA_HOME");
    setenv("LEDGORA_HOME", (dir_ + "/home").c_str(), 1);
    MakeDirectories(dir_ + "/prog");
  }
  void TearDown() override {
    if (saved_home_)
      setenv("LEDGORA_HOME", saved_home_->c_str(), 1);
    else
      unsetenv("LEDGORA_HOME");
    ResetConfiguration();
    IniTest::TearDown();
  }
  std::optional<std::string> saved_home_;
};

TEST_F(ConfigurationTest, OrdinaryInstallationUsesLedgoraHome) {
  TIniFile(dir_ + "/prog/registry.ini").WriteInt("Software\\Norvex\\Ledgora\\", "RZQ", 2);
  const TConfiguration c = LocateConfiguration(dir_ + "/prog");
  EXPECT_FALSE(c.network);
  EXPECT_EQ(c.profile_path, dir_ + "/home/ledgor.ini");
  EXPECT_EQ(c.win_ini_path, dir_ + "/home/win.ini");
  EXPECT_EQ(c.books_folder, dir_ + "/home");
  EXPECT_TRUE(c.machine_profile_path.empty());
}

TEST_F(ConfigurationTest, NetworkInstallationReadsThePrivateFolder) {
  TIniFile(dir_ + "/prog/registry.ini").WriteInt("Software\\Norvex\\Ledgora\\", "RZQ", 1);
  setenv("USERNAME", "marie", 1);
  TConfiguration c = LocateConfiguration(dir_ + "/prog");
  EXPECT_TRUE(c.network);
  EXPECT_EQ(c.profile_path, "U:/prive/marie/NVX/ledgor.ini");
  TIniFile(dir_ + "/prog/LD.INI").WriteText("Setup", "PrivePath", dir_ + "/priv/%s");
  c = LocateConfiguration(dir_ + "/prog");
  EXPECT_EQ(c.profile_path, dir_ + "/priv/marie/NVX/ledgor.ini");
  EXPECT_EQ(c.books_folder, dir_ + "/priv/marie/NVX");
  unsetenv("USERNAME");
}

TEST_F(ConfigurationTest, ProfileFunctionsAndIntlSettings) {
  SetConfiguration(LocateConfiguration(dir_ + "/prog"));
  EXPECT_EQ(ProfileReadInt("Setup", "ModeSolde", 1), 1);
  ASSERT_TRUE(ProfileWriteText("Setup", "CompteActif", "Compte chèques"));
  EXPECT_EQ(ProfileReadText("setup", "compteactif", "", 25), "Compte chèques");
  ASSERT_TRUE(ProfileWriteInt("Setup", "ModeSolde", 0));
  EXPECT_EQ(ProfileReadInt("Setup", "ModeSolde", 1), 0);
  const std::string other = dir_ + "/other.ini";
  ASSERT_TRUE(ProfileWriteInt("X", "Y", 3, other));
  EXPECT_EQ(ProfileReadInt("X", "Y", 0, other), 3);
  EXPECT_EQ(ProfileReadInt("X", "Y", 0), 0);

  TIntlSettings intl = ReadIntlSettings();
  EXPECT_EQ(intl.thousands, ' ');
  EXPECT_EQ(intl.decimal, ',');
  EXPECT_EQ(intl.date, '/');
  WinProfile().WriteText("Intl", "sThousand", ".");
  WinProfile().WriteText("Intl", "sDecimal", ";");
  WinProfile().WriteText("Intl", "sDate", "-");
  intl = ReadIntlSettings();
  EXPECT_EQ(intl.thousands, '.');
  EXPECT_EQ(intl.decimal, '.');
  EXPECT_EQ(intl.date, '-');
}

TEST(ScriptedUserPort, AnswersFromItsScriptAndRecords) {
  TScriptedUserPort port;
  port.Answer(TButton::Yes).AnswerText("SECRET").AnswerText(std::nullopt);
  EXPECT_EQ(port.Show("Information", TIcon::Information), TButton::Ok);
  EXPECT_EQ(port.Ask("Continuer ?", TButtons::YesNo), TButton::Yes);
  EXPECT_EQ(port.AskText({}), std::optional<std::string>("SECRET"));
  EXPECT_EQ(port.AskText({}), std::nullopt);
  EXPECT_THROW(port.Ask("Encore ?", TButtons::YesNo), TUnscriptedQuestion);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"Information", "Continuer ?", "Encore ?"}));
  {
    TWaitCursor wait(port);
    TProgressWindow progress(port, "Travail");
    progress.Set(50);
    EXPECT_EQ(port.WaitDepth(), 1);
  }
  EXPECT_EQ(port.WaitDepth(), 0);
  EXPECT_EQ(port.ProgressDepth(), 0);
  EXPECT_EQ(port.ProgressValues(), std::vector<int>{50});
}

TEST(Files, CopySafelyNeverHalfReplaces) {
  char pattern[] = "/tmp/ledgora-files-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  ASSERT_TRUE(ReplaceFileContents(dir + "/a", "new"));
  ASSERT_TRUE(ReplaceFileContents(dir + "/b", "old"));
  EXPECT_FALSE(CopyFileSafely(dir + "/a", dir + "/b", false));
  EXPECT_EQ(ReadFile(dir + "/b"), "old");
  EXPECT_FALSE(CopyFileSafely(dir + "/missing", dir + "/b"));
  EXPECT_EQ(ReadFile(dir + "/b"), "old");
  EXPECT_FALSE(CopyFileSafely(dir + "/a", dir + "/nofolder/b"));
  ASSERT_TRUE(CopyFileSafely(dir + "/a", dir + "/b"));
  EXPECT_EQ(ReadFile(dir + "/b"), "new");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ledgora::platform
