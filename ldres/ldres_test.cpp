// The resource library through its exports: version, edition, messages,
// strings and pictures.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "eurolib/test_bitmap_reader.h"
#include "eurolib/test_library_file.h"
#include "ldres/ldres.h"

namespace {

using ledgora::testing::FileOf;
using ledgora::testing::TMessageRecorder;
using ledgora::testing::TScopedEnvironment;
using ledgora::testing::TTemporaryFolder;

std::string LibraryFolder() {
  return std::filesystem::path(FileOf(&GetLDResDllVersion)).parent_path().string();
}

TEST(ExportTable, ExportsTheTableAndHidesTheRest) {
  void* handle = dlopen(FileOf(&GetLDResDllVersion).c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  for (const char* name :
       {"_Z18GetLDResDllVersionv", "_Z19GetLDResDllVersion2i", "_Z21GetLDResDllBadInstallPKc",
        "_Z18GetLDResDllMessagePKc", "_Z9IsLDResVXv", "_Z19SetLDResMessageHookPFiPvPKcS1_jES_",
        "_Z16GetLDResResourcejjPPKhPm", "_Z14GetLDResStringjPci"}) {
    EXPECT_NE(dlsym(handle, name), nullptr) << name;
  }
  EXPECT_EQ(dlsym(handle, "_ZN7ledgora5ldres10FindStringEj"), nullptr);
  dlclose(handle);
}

TEST(Version, AnswersFromAnyFolder) {
  TTemporaryFolder elsewhere;
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", elsewhere.Path());
  const char* v = GetLDResDllVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_STREQ(v, "1.2");
  EXPECT_STREQ(GetLDResDllVersion2(1), "1.2");
  EXPECT_EQ(GetLDResDllVersion2(1), v);  // one static buffer
  // The folder check, when asked for, looks at the system folder.
  EXPECT_EQ(GetLDResDllVersion2(0), nullptr);
}

TEST(Version, FolderCheckPassesInTheSystemFolder) {
  TScopedEnvironment system("LEDGORA_SYSTEM_DIR", LibraryFolder());
  ASSERT_NE(GetLDResDllVersion2(0), nullptr);
  EXPECT_STREQ(GetLDResDllVersion2(0), "1.2");
}

TEST(Edition, IsTheBanksEdition) {
  EXPECT_EQ(IsLDResVX(), 1);
}

TEST(Messages, GoThroughTheHookWithTheirCaption) {
  TMessageRecorder recorder;
  SetLDResMessageHook(&TMessageRecorder::Hook, &recorder);
  GetLDResDllBadInstall("Ledgora");
  GetLDResDllMessage("Ledgora");
  SetLDResMessageHook(nullptr, nullptr);
  ASSERT_EQ(recorder.shown.size(), 2u);
  EXPECT_EQ(recorder.shown[0].text,
            "Librairie ressource Ledgora (LDRES.DLL).\n\nCette librairie doit être installée "
            "UNIQUEMENT dans le même dossier que Ledgora.");
  EXPECT_EQ(recorder.shown[1].text,
            "Librairie ressource Ledgora (LDRES.DLL).\n\nLa version de votre librairie n'est plus "
            "valide, téléchargez une mise à jour sur Orvanet.");
  for (const auto& m : recorder.shown) {
    EXPECT_EQ(m.caption, "Ledgora");
    EXPECT_EQ(m.style, ledgora::kLibraryMessageIconError);
  }
}

std::string StringOf(unsigned id) {
  char buffer[512];
  const int n = GetLDResString(id, buffer, sizeof buffer);
  EXPECT_EQ(n, static_cast<int>(std::string(buffer).size()));
  return buffer;
}

TEST(Strings, TheEditionsTexts) {
  EXPECT_EQ(StringOf(22504), "&Page d'accueil de Orvanet");
  EXPECT_EQ(StringOf(22507), "Ledgora");
  EXPECT_EQ(StringOf(22514),
            "L'aide en ligne de %s est constituée de\npages hypertextes au format HTML.");
  EXPECT_EQ(StringOf(22523),
            "Votre situation financière était abîmée,\n%s a trouvé et réparé l'erreur.\n"
            "Relancez le téléchargement.");
  EXPECT_EQ(StringOf(22525),
            "Dans les opérations à archiver, une opération qui n'est pas pointée a été "
            "détectée.\nIl est déconseillé d'archiver des opérations non pointées.\nVoulez-vous "
            "poursuivre l'archivage ?\nNB : vous pourrez éventuellement en relancer un avec une "
            "date plus ancienne.");
  EXPECT_EQ(StringOf(22526), "Orvanet");
  int present = 0;
  for (unsigned id = 22504; id <= 22526; ++id) present += StringOf(id).empty() ? 0 : 1;
  EXPECT_EQ(present, 21);  // all but the two icons
  for (unsigned id : {22503u, 22505u, 22506u, 22527u}) EXPECT_EQ(StringOf(id), "") << id;
}

TEST(Strings, CutWithoutSplittingACharacter) {
  char buffer[16];
  // "Lors du té..." : the "é" would not fit whole in 10 bytes.
  EXPECT_EQ(GetLDResString(22509, buffer, 11), 9);
  EXPECT_STREQ(buffer, "Lors du t");
  EXPECT_EQ(GetLDResString(22509, buffer, 12), 11);
  EXPECT_EQ(GetLDResString(22507, buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetLDResString(22507, nullptr, 0), 7);  // the length of the whole text
  EXPECT_EQ(GetLDResString(22507, nullptr, 10), 0);
  EXPECT_EQ(GetLDResString(22507, buffer, -1), 0);
}

using ledgora::testing::ReadBitmapFile;
using ledgora::testing::ReadIconFile;

void ExpectBitmap(unsigned type, unsigned id, int width, int height, int bits) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  ASSERT_EQ(GetLDResResource(type, id, &data, &size), ledgora::kResourceFound) << id;
  const auto info = ReadBitmapFile(data, size);
  ASSERT_TRUE(info) << id;
  EXPECT_EQ(info->width, width);
  EXPECT_EQ(info->height, height);
  EXPECT_EQ(info->bits, bits);
  EXPECT_EQ(info->colours, 1u << bits);
  EXPECT_GE(info->used.size(), bits == 8 ? 10u : 3u) << id;  // a picture, not a blank
}

TEST(Pictures, BitmapsAtTheirSizesAndDepths) {
  ExpectBitmap(ledgora::kResourceDib, ledgora::kLDResBanner, 230, 33, 4);
  ExpectBitmap(ledgora::kResourceBitmap, ledgora::kLDResSmallLogo, 33, 27, 4);
  ExpectBitmap(ledgora::kResourceDib, ledgora::kLDResPicture, 327, 93, 8);
  ExpectBitmap(ledgora::kResourceDib, ledgora::kLDResSplash, 330, 210, 8);
}

TEST(Pictures, IconGroups) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  ASSERT_EQ(GetLDResResource(ledgora::kResourceIconGroup, ledgora::kLDResProgramIcon, &data, &size),
            ledgora::kResourceFound);
  const auto program = ReadIconFile(data, size);
  ASSERT_TRUE(program);
  ASSERT_EQ(program->size(), 4u);
  const int expected[4][2] = {{16, 4}, {32, 4}, {16, 32}, {32, 32}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ((*program)[i].width, expected[i][0]);
    EXPECT_EQ((*program)[i].height, expected[i][0]);
    EXPECT_EQ((*program)[i].bits, expected[i][1]);
    EXPECT_GE((*program)[i].used.size(), 3u);
  }
  ASSERT_EQ(
      GetLDResResource(ledgora::kResourceIconGroup, ledgora::kLDResDocumentIcon, &data, &size),
      ledgora::kResourceFound);
  const auto document = ReadIconFile(data, size);
  ASSERT_TRUE(document);
  ASSERT_EQ(document->size(), 1u);
  EXPECT_EQ((*document)[0].width, 32);
  EXPECT_EQ((*document)[0].bits, 4);
}

TEST(Pictures, AskedByTheirTypeOnly) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  EXPECT_EQ(GetLDResResource(ledgora::kResourceBitmap, ledgora::kLDResBanner, &data, &size),
            ledgora::kResourceUnknown);
  EXPECT_EQ(GetLDResResource(ledgora::kResourceDib, ledgora::kLDResSmallLogo, &data, &size),
            ledgora::kResourceUnknown);
  EXPECT_EQ(GetLDResResource(ledgora::kResourceDib, 22527, &data, &size),
            ledgora::kResourceUnknown);
  EXPECT_EQ(GetLDResResource(ledgora::kResourceDib, ledgora::kLDResBanner, nullptr, &size),
            ledgora::kResourceUnknown);
}

}  // namespace
