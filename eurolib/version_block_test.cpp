// The version block: building, querying, and reading it back from a file.
#include "eurolib/version_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eurolib/test_library_file.h"

namespace ledgora::eurolib {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kFrench = "\x0c\x04\xb0\x04"sv;  // 040C, 04B0

std::string Block(std::vector<TVersionEntry> entries) {
  return BuildVersionBlockText(entries);
}

TEST(VersionBlock, CompileTimeAndRunTimeBlocksAgree) {
  constexpr TVersionEntry kEntries[] = {{"\\VarFileInfo\\Translation", kFrench},
                                        {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2"}};
  constexpr auto kBlock = BuildVersionBlock<VersionBlockSize(kEntries)>(kEntries);
  const std::string text = BuildVersionBlockText(kEntries);
  EXPECT_EQ(std::string(kBlock.begin(), kBlock.end()), text);
  EXPECT_EQ(text.substr(0, 8), "LDVRSBLK");
  EXPECT_EQ(ProductVersionOf(text), "1.2");
}

TEST(VersionBlock, ProductVersionOfTheFirstTranslation) {
  // Paths compare without regard to case.
  EXPECT_EQ(ProductVersionOf(Block({{"\\varfileinfo\\TRANSLATION", kFrench},
                                    {"\\StringFileInfo\\040C04B0\\productversion", "1.1.304"}})),
            "1.1.304");
  // The translation's halves are swapped: language first.
  EXPECT_EQ(ProductVersionOf(Block({{"\\VarFileInfo\\Translation", "\x09\x04\xe4\x04"sv},
                                    {"\\StringFileInfo\\040c04b0\\ProductVersion", "fr"},
                                    {"\\StringFileInfo\\040904e4\\ProductVersion", "en"}})),
            "en");
  // The French name of the value, when the usual one is missing.
  EXPECT_EQ(ProductVersionOf(Block({{"\\VarFileInfo\\Traduction", kFrench},
                                    {"\\StringFileInfo\\040c04b0\\ProductVersion", "2.0"}})),
            "2.0");
  // Cut to 20 characters.
  EXPECT_EQ(ProductVersionOf(
                Block({{"\\VarFileInfo\\Translation", kFrench},
                       {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2.3.4.5.6.7.8.9.10.11"}})),
            "1.2.3.4.5.6.7.8.9.10");
}

TEST(VersionBlock, MissingPiecesGiveNone) {
  EXPECT_FALSE(ProductVersionOf(Block({{"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2"}})));
  EXPECT_FALSE(ProductVersionOf(Block({{"\\VarFileInfo\\Translation", kFrench},
                                       {"\\StringFileInfo\\040c04b0\\FileVersion", "1.2"}})));
  EXPECT_FALSE(ProductVersionOf(Block({{"\\VarFileInfo\\Translation", "\x0c\x04"sv},
                                       {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2"}})));
  EXPECT_FALSE(ProductVersionOf(""));
}

TEST(VersionBlock, DamagedBlocksAreNoBlocks) {
  const std::string good = Block({{"\\VarFileInfo\\Translation", kFrench},
                                  {"\\StringFileInfo\\040c04b0\\ProductVersion", "1.2"}});
  ASSERT_TRUE(ProductVersionOf(good));
  // Every cut of the block, and a size or count that claims too much.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(ProductVersionOf(good.substr(0, n))) << n;
  }
  std::string big_size = good;
  big_size[8] = static_cast<char>(0xFF);
  EXPECT_FALSE(ProductVersionOf(big_size));
  std::string big_count = good;
  big_count[12] = 9;
  EXPECT_TRUE(QueryVersionValue(big_count, "\\VarFileInfo\\Translation"));
  EXPECT_FALSE(QueryVersionValue(big_count, "\\Nothing"));
}

TEST(VersionBlock, ReadFromFiles) {
  testing::TTemporaryFolder folder;
  const std::string text_file = folder.Path() + "/notes.txt";
  testing::WriteWholeFile(text_file, "not a library");
  EXPECT_FALSE(ReadVersionBlock(text_file));
  EXPECT_FALSE(ReadVersionBlock(folder.Path() + "/missing.so"));
  // An ELF header that promises a section table beyond the file.
  std::string elf(64, '\0');
  elf.replace(0, 4,
              "\x7f"
              "ELF");
  elf[4] = 2;
  elf[5] = 1;
  elf[40] = 0x7f;  // section table offset
  elf[58] = 64;    // entry size
  elf[60] = 3;     // three entries
  elf[62] = 1;
  testing::WriteWholeFile(text_file, elf);
  EXPECT_FALSE(ReadVersionBlock(text_file));
  // The test program carries no version block of its own.
  EXPECT_FALSE(ReadVersionBlock("/proc/self/exe"));
}

}  // namespace
}  // namespace ledgora::eurolib
