#include "foundation/cp1252.h"

#include <gtest/gtest.h>

#include "foundation/nocase.h"

namespace ledgora {
namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, ConvertsTheSpecialRangeAndReplacesWhatItCannotHold) {
  EXPECT_EQ(Cp1252ToUtf8("\x80 \x9C \xE9"), "€ œ é");
  EXPECT_EQ(Utf8ToCp1252("€uro Œuvre é"), "\x80uro \x8Cuvre \xE9");
  EXPECT_EQ(Utf8ToCp1252("Ω ✓"), "? ?");
  EXPECT_EQ(Utf8ToCp1252("a\xFF\xC3"), "a??");  // invalid UTF-8
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");    // overlong "/"
}

TEST(Cp1252, CountsAndCutsCharacters) {
  EXPECT_EQ(Utf8Length("Février"), 7u);
  EXPECT_EQ(Utf8Prefix("Février", 3), "Fév");
  EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
}

TEST(NoCase, FoldsAccentedLettersButKeepsAccents) {
  EXPECT_TRUE(EqualsNoCase("ÉCOLE", "école"));
  EXPECT_TRUE(EqualsNoCase("Œuvre", "œUVRE"));
  EXPECT_FALSE(EqualsNoCase("école", "ecole"));
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
  EXPECT_EQ(ToUpperNoCase("déjà vu ÿ"), "DÉJÀ VU Ÿ");
  EXPECT_EQ(ToLowerNoCase("ÇA"), "ça");
}

TEST(NoCase, OrdersByBaseLetterThenAccent) {
  EXPECT_LT(CompareNoCase("eau", "école"), 0);
  EXPECT_LT(CompareNoCase("école", "fruit"), 0);
  EXPECT_LT(CompareNoCase("ecole", "école"), 0);
  EXPECT_EQ(CompareNoCase("Banque", "BANQUE"), 0);
  EXPECT_LT(CompareNoCase("Banque", "Banques"), 0);
  EXPECT_GT(CompareNoCase("b", "A"), 0);
}

TEST(NoCase, FindsAndMatchesEnds) {
  EXPECT_EQ(FindNoCase("Prélèvement EDF", "edf"), 14u);  // bytes
  EXPECT_EQ(FindNoCase("abc", "x"), std::string_view::npos);
  EXPECT_TRUE(EndsWithNoCase("/home/Livre.vx", ".VX"));
  EXPECT_FALSE(EndsWithNoCase("vx", ".VX"));
  EXPECT_TRUE(StartsWithNoCase("Orig : 12", "ORIG"));
}

}  // namespace
}  // namespace ledgora
