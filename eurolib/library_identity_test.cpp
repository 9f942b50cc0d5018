// The currency library's identity: its export table, its version read back
// from its file, the installation check against the system folder, its
// messages, and the parity check of a damaged library file.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "eurolib/orveuro32.h"
#include "eurolib/test_library_file.h"
#include "eurolib/version_block.h"

namespace {

using ledgora::testing::FileOf;
using ledgora::testing::ReadWholeFile;
using ledgora::testing::ReplaceAll;
using ledgora::testing::TLoadedCopy;
using ledgora::testing::TMessageRecorder;
using ledgora::testing::TScopedEnvironment;
using ledgora::testing::TTemporaryFolder;

std::string LibraryFile() {
  return FileOf(&GetDllEuroVersion);
}
std::string LibraryFolder() {
  return std::filesystem::path(LibraryFile()).parent_path().string();
}

TEST(ExportTable, ExportsTheTableAndHidesTheRest) {
  void* handle = dlopen(LibraryFile().c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  const char* exported[] = {
      "_Z17EstDansCercleEuroPKc",
      "_Z20GetDllEuroBadInstallPKc",
      "_Z17GetDllEuroMessagePKc",
      "_Z17GetDllEuroVersionv",
      "_Z17GetJourOuvreMoinsRN7ledgora5KDateEiii",
      "_Z16GetJourOuvrePlusRN7ledgora5KDateEiii",
      "_Z9IsDayOpenRKN7ledgora5KDateEii",
      "_Z12IsEuroEnablei",
      "_Z15euro_ConversiondiPKcRdS0_i",
      "_Z15euro_ConversionPKcS0_PcS0_ji",
      "_Z20euro_ConversionErrordiPKcRdS0_iS1_",
      "_Z20euro_ConversionErrorPKcS0_PcS0_jiS1_j",
      "_Z18euro_CurrencyCountRi",
      "_Z17euro_CurrencyInfoiPcS_Rd",
      "_Z18euro_CurrencyLabelPKcPc",
      "_Z17euro_CurrencyRatePKcPcj",
      "_Z16GetMsgCouverturePKcPc",
      "_Z19VerifieCoherenceDLLPKc",
      "_Z17euro_CurrencyRatePKcRd",
      "_Z25euro_CurrencyLabelPlurielPKcPc",
      "_Z24euro_CurrencyNbDecimalesPKcRi",
      "_Z18GetDllEuroVersion2i",
      "_Z12GetIdDrapeauPKc",
      "_Z14GetNbDevisesINv",
      "_Z17GetListeDevisesINiPc",
      "_Z18GetListeIconesOrigPc",
      "_Z15GetNbIconesOrigv",
      "_Z21SetDllEuroMessageHookPFiPvPKcS1_jES_",
      "_Z18GetDllEuroResourcejjPPKhPm",
  };
  for (const char* name : exported) EXPECT_NE(dlsym(handle, name), nullptr) << name;
  // The library's own KDate and its rules stay inside.
  for (const char* name : {"_ZN7ledgora5KDate5TodayEv", "_ZN7ledgora7eurolib13CurrencyTableEv",
                           "_ZN7ledgora7eurolib10ConversionESt17basic_string_viewIcSt11char_"
                           "traitsIcEES4_S4_Pcmi"}) {
    EXPECT_EQ(dlsym(handle, name), nullptr) << name;
  }
  dlclose(handle);
}

TEST(Version, InTheSystemFolderBothFunctionsAnswer) {
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", LibraryFolder());
  const char* v = GetDllEuroVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_STREQ(v, "1.1.304");
  // One static buffer, overwritten by every call.
  EXPECT_EQ(GetDllEuroVersion2(0), v);
  EXPECT_EQ(GetDllEuroVersion2(1), v);
  EXPECT_STREQ(v, "1.1.304");
}

TEST(Version, SystemFolderInOtherLetterCaseOrWithASlash) {
  std::string upper = LibraryFolder();
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  {
    TScopedEnvironment system("LEDGORA_SYSTEM_DIR", upper);
    ASSERT_NE(GetDllEuroVersion(), nullptr);
    EXPECT_STREQ(GetDllEuroVersion(), "1.1.304");
  }
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", LibraryFolder() + "/");
  ASSERT_NE(GetDllEuroVersion(), nullptr);
}

TEST(Version, OutsideTheSystemFolderOnlyTheUncheckedFunctionAnswers) {
  TTemporaryFolder elsewhere;
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", elsewhere.Path());
  EXPECT_EQ(GetDllEuroVersion(), nullptr);
  EXPECT_EQ(GetDllEuroVersion2(0), nullptr);
  ASSERT_NE(GetDllEuroVersion2(1), nullptr);
  EXPECT_STREQ(GetDllEuroVersion2(1), "1.1.304");
  EXPECT_STREQ(GetDllEuroVersion2(-3), "1.1.304");
}

TEST(Version, WithoutSystemFolderTheProgramsLibraryFolderCounts) {
  // The tests run beside the library, as the programs do.
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", std::nullopt);
  ASSERT_NE(GetDllEuroVersion(), nullptr);
  EXPECT_STREQ(GetDllEuroVersion(), "1.1.304");
}

TEST(Version, ACopyLoadedFromTheSystemFolderPasses) {
  TTemporaryFolder system_folder;
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", system_folder.Path());
  TLoadedCopy copy(system_folder.Path() + "/" + ledgora::kOrvEuro32FileName,
                   ReadWholeFile(LibraryFile()));
  ASSERT_TRUE(copy.IsLoaded()) << dlerror();
  auto version = copy.Function<const char*()>("_Z17GetDllEuroVersionv");
  ASSERT_NE(version, nullptr);
  ASSERT_NE(version(), nullptr);
  EXPECT_STREQ(version(), "1.1.304");
  EXPECT_EQ(GetDllEuroVersion(), nullptr);  // the program's own copy lies elsewhere
}

TEST(Version, ADamagedVersionBlockGivesNone) {
  const std::string original = ReadWholeFile(LibraryFile());
  const auto block = ledgora::eurolib::ReadVersionBlock(LibraryFile());
  ASSERT_TRUE(block);
  const std::size_t at = original.find(*block);
  ASSERT_NE(at, std::string::npos);
  for (const std::string& damage : {std::string("LDVRSBLK"), std::string("ProductVersion")}) {
    std::string bytes = original;
    const std::size_t p = bytes.find(damage, at);
    ASSERT_LT(p, at + block->size());
    bytes[p + damage.size() - 1] = '#';
    TTemporaryFolder folder;
    TLoadedCopy copy(folder.Path() + "/" + ledgora::kOrvEuro32FileName, bytes);
    ASSERT_TRUE(copy.IsLoaded()) << dlerror();
    auto version = copy.Function<const char*(int)>("_Z18GetDllEuroVersion2i");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(1), nullptr) << damage;
  }
}

TEST(ParityCheck, ACorruptedParityInTheFileIsReported) {
  std::string bytes = ReadWholeFile(LibraryFile());
  ASSERT_GE(ReplaceAll(bytes, "6.55957", "6.55958"), 1);
  TTemporaryFolder folder;
  TLoadedCopy copy(folder.Path() + "/" + ledgora::kOrvEuro32FileName, bytes);
  ASSERT_TRUE(copy.IsLoaded()) << dlerror();
  auto set_hook = copy.Function<void(ledgora::TLibraryMessageHook, void*)>(
      "_Z21SetDllEuroMessageHookPFiPvPKcS1_jES_");
  auto verify = copy.Function<int(const char*)>("_Z19VerifieCoherenceDLLPKc");
  ASSERT_TRUE(set_hook && verify);
  TMessageRecorder recorder;
  set_hook(&TMessageRecorder::Hook, &recorder);
  EXPECT_EQ(verify("Calculette Euro"), 0);
  ASSERT_EQ(recorder.shown.size(), 1u);
  EXPECT_EQ(recorder.shown[0].text,
            "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nLes parités des monnaies sont "
            "corrompues. Réinstallez la DLL.");
  EXPECT_EQ(recorder.shown[0].caption, "Calculette Euro");
  EXPECT_EQ(recorder.shown[0].style, ledgora::kLibraryMessageIconError);
  // The library linked by the program is sound.
  EXPECT_EQ(VerifieCoherenceDLL("Ledgora"), 1);
}

TEST(Messages, GoThroughTheHookWithTheirCaption) {
  TMessageRecorder recorder;
  SetDllEuroMessageHook(&TMessageRecorder::Hook, &recorder);
  GetDllEuroBadInstall("Ledgora");
  GetDllEuroMessage("Calculette Euro");
  GetDllEuroMessage(nullptr);
  SetDllEuroMessageHook(nullptr, nullptr);
  ASSERT_EQ(recorder.shown.size(), 3u);
  EXPECT_EQ(recorder.shown[0].text,
            "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nCette librairie doit être installée "
            "UNIQUEMENT dans le dossier système de Windows.");
  EXPECT_EQ(recorder.shown[0].caption, "Ledgora");
  EXPECT_EQ(recorder.shown[0].style, ledgora::kLibraryMessageIconError);
  EXPECT_EQ(recorder.shown[1].text,
            "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nLa version de votre librairie n'est "
            "plus valide, téléchargez une mise à jour sur Orvanet.");
  EXPECT_EQ(recorder.shown[1].caption, "Calculette Euro");
  EXPECT_EQ(recorder.shown[2].caption, "");
}

TEST(Messages, WithoutAHookGoToStandardError) {
  ::testing::internal::CaptureStderr();
  GetDllEuroMessage("Ledgora");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Ledgora: Librairie Europe du Orvane (ORVEURO32.DLL)", 0), 0u) << err;
}

}  // namespace
