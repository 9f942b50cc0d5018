#include "foundation/mask.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgora {
namespace {

constexpr auto C = TMatchResult::Complete;
constexpr auto I = TMatchResult::Incomplete;
constexpr auto E = TMatchResult::Empty;
constexpr auto X = TMatchResult::Error;
constexpr auto S = TMatchResult::SyntaxError;

struct MatchCase {
  const char* name;
  std::string_view mask;
  const char* text;
  bool complete_literals;
  TMatchResult expected;
  const char* stored;  // the text afterwards; nullptr: unchanged
};

class MaskMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MaskMatch, MatchesAndStores) {
  const MatchCase& c = GetParam();
  std::string text = c.text;
  EXPECT_EQ(MatchMask(c.mask, text, c.complete_literals), c.expected);
  EXPECT_EQ(text, c.stored ? c.stored : c.text);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramMasks, MaskMatch,
    ::testing::Values(
        MatchCase{"SignedAmountWithCents", kMaskSignedAmount, "1234,56", false, C, nullptr},
        MatchCase{"SignedAmountNegative", kMaskSignedAmount, "-12", false, C, nullptr},
        MatchCase{"SignedAmountWhole", kMaskSignedAmount, "12", false, C, nullptr},
        MatchCase{"SignedAmountNoDigitBeforeComma", kMaskSignedAmount, "-,5", false, C, nullptr},
        MatchCase{"SignedAmountTrailingComma", kMaskSignedAmount, "12,", false, C, nullptr},
        MatchCase{"SignedAmountThreeDecimals", kMaskSignedAmount, "12,345", false, X, nullptr},
        MatchCase{"SignedAmountEmpty", kMaskSignedAmount, "", false, E, nullptr},
        MatchCase{"SignedAmountLetter", kMaskSignedAmount, "1a", false, X, nullptr},
        MatchCase{"SignedAmountTwoMinus", kMaskSignedAmount, "--1", false, X, nullptr},
        MatchCase{"AmountRefusesMinus", kMaskAmount, "-1", false, X, nullptr},
        MatchCase{"AmountOneDecimal", kMaskAmount, "12,3", false, C, nullptr},
        MatchCase{"IntegerNegative", kMaskSignedInteger, "-42", false, C, nullptr},
        MatchCase{"IntegerRefusesComma", kMaskSignedInteger, "4,2", false, X, nullptr},
        MatchCase{"DecimalsNeedTheComma", kMaskSignedDecimals, "12", true, I, nullptr},
        MatchCase{"DecimalsTrailingComma", kMaskSignedDecimals, "12,", false, C, nullptr},
        MatchCase{"DecimalsMany", kMaskSignedDecimals, "-3,14159", false, C, nullptr},
        MatchCase{"DecimalsSecondComma", kMaskSignedDecimals, "12,3,4", false, X, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Language, MaskMatch,
    ::testing::Values(MatchCase{"CapitalLetters", "&&&", "eur", false, C, "EUR"},
                      MatchCase{"CapitalAccented", "&&", "éa", false, C, "ÉA"},
                      MatchCase{"LetterRefusesDigit", "???", "ab1", false, X, nullptr},
                      MatchCase{"LetterAccented", "?", "é", false, C, nullptr},
                      MatchCase{"LetterOutsideWindows1252", "?", "ж", false, X, nullptr},
                      MatchCase{"AnyInCapitals", "!!", "é1", false, C, "É1"},
                      MatchCase{"AnyAsTyped", "@@", "x!", false, C, nullptr},
                      MatchCase{"DigitRefusesLetter", "#", "a", false, X, nullptr},
                      MatchCase{"LiteralWithoutCaseStoredAsMask", "ab", "AB", false, C, "ab"},
                      MatchCase{"SpaceStandsForLiteral", "##/##", "12 05", false, C, "12/05"},
                      MatchCase{"EscapedSpecial", "#;*#", "1*2", false, C, nullptr},
                      MatchCase{"EscapedEscape", ";;", ";", false, C, nullptr},
                      MatchCase{"CountedRepetition", "*3#", "123", false, C, nullptr},
                      MatchCase{"CountedRepetitionShort", "*3#", "12", false, I, nullptr},
                      MatchCase{"CountedRepetitionLong", "*3#", "1234", false, X, nullptr},
                      MatchCase{"CountOfZero", "*0#a", "a", false, C, nullptr},
                      MatchCase{"RepeatedGroup", "*{#-}", "1-2-", false, C, nullptr},
                      MatchCase{"RepeatedGroupCutInside", "*{#-}", "1-2", false, I, nullptr},
                      MatchCase{"OptionalSkippedOnMismatch", "[x]#", "5", false, C, nullptr},
                      MatchCase{"TopLevelAlternatives", "###,&&", "ab", false, C, "AB"},
                      MatchCase{"TextLeftOver", "##", "123", false, X, nullptr},
                      MatchCase{"EmptyMaskEmptyText", "", "", false, E, nullptr},
                      MatchCase{"EmptyMaskAnyText", "", "a", false, X, nullptr},
                      MatchCase{"EmptyAlternative", "{a,}b", "b", false, C, nullptr},
                      // An abandoned alternative leaves nothing of its capitals behind.
                      MatchCase{"FailedAlternativeRolledBack", "{&&1,??2}", "ab2", false, C, "ab2"},
                      // The first incomplete alternative wins, with its own capitals.
                      MatchCase{"IncompleteAlternativeKept", "{&&1,??2,x}", "ab", false, I, "AB"},
                      MatchCase{"IncompleteAlternativeCompleted", "{&&1,??2,x}", "ab", true, C,
                                "AB1"},
                      MatchCase{"NotUtf8ByteKept", "@@",
                                "\xFF"
                                "a",
                                false, C, nullptr},
                      MatchCase{"NotUtf8ByteCapitals", "!!",
                                "\xFF"
                                "a",
                                false, C,
                                "\xFF"
                                "A"},
                      MatchCase{"NotUtf8ByteIsNoLetter", "?", "\xC3", false, X, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Completion, MaskMatch,
    ::testing::Values(MatchCase{"DateSeparator", "##/##/####", "12", true, I, "12/"},
                      MatchCase{"DateSecondSeparator", "##/##/####", "12/05", true, I, "12/05/"},
                      MatchCase{"OnlyWhenAsked", "##/##/####", "12", false, I, nullptr},
                      MatchCase{"NothingBeforeADigit", "##/##/####", "1", true, I, nullptr},
                      MatchCase{"AllLiteralsToTheNextSpecial", "ab-cd#", "a", true, I, "ab-cd"},
                      MatchCase{"LiteralsToTheEnd", "ab-cd", "a", true, C, "ab-cd"},
                      MatchCase{"EscapesHonoured", "a;,b", "a", true, C, "a,b"},
                      MatchCase{"StopsAtTheNextSpecial", "(###) ###", "(123", true, I, "(123) "},
                      // The text could still take more digits: no literal is forced.
                      MatchCase{"NotAfterOpenRepetition", "*#-", "12", true, I, nullptr},
                      MatchCase{"NotAfterUntypedOptional", "#[x]y", "1", true, I, nullptr},
                      MatchCase{"NotAfterAmbiguousGroup", "{##,#}-", "1", true, I, nullptr},
                      MatchCase{"AfterDecidedGroup", "{##,#}-", "12", true, C, "12-"},
                      MatchCase{"OneRoundOnly", "*3{ab}", "a", true, I, "ab"},
                      MatchCase{"EmptyTextNotCompleted", "ab", "", true, E, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

struct SyntaxCase {
  const char* name;
  const char* mask;
  bool well_formed;
};

class MaskSyntax : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(MaskSyntax, ChecksWellFormedness) {
  const SyntaxCase& c = GetParam();
  EXPECT_EQ(IsWellFormedMask(c.mask), c.well_formed);
  std::string text = "1";
  const TMatchResult r = MatchMask(c.mask, text, false);
  EXPECT_EQ(r == S, !c.well_formed);
  EXPECT_EQ(text, "1");
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskSyntax,
    ::testing::Values(
        SyntaxCase{"ProgramAmount", "[-]*#[{;,##,;,#,;,}]", true},
        SyntaxCase{"ProgramDecimals", "[-]*#{;,*#,;,}", true}, SyntaxCase{"Empty", "", true},
        SyntaxCase{"EscapedBracketsDoNotCount", "[;]]", true},
        SyntaxCase{"EscapedStarAtEnd", "#;*", true}, SyntaxCase{"EndsWithEscape", "##;", false},
        SyntaxCase{"UnclosedOptional", "[-*#", false},
        SyntaxCase{"UnopenedOptional", "-]*#", false},
        SyntaxCase{"CrossedBrackets", "{[a}]", false}, SyntaxCase{"EndsWithStar", "#*", false},
        SyntaxCase{"EndsWithCount", "#*3", false}, SyntaxCase{"StarBeforeClose", "[*]", false},
        SyntaxCase{"StarBeforeComma", "{*,a}", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MaskSyntax, NestingIsBounded) {
  std::string deep;
  for (int k = 0; k < kMaxMaskDepth; ++k) deep += '[';
  deep += '#';
  for (int k = 0; k < kMaxMaskDepth; ++k) deep += ']';
  EXPECT_TRUE(IsWellFormedMask(deep));
  EXPECT_FALSE(IsWellFormedMask("[" + deep + "]"));
  EXPECT_FALSE(IsWellFormedMask(std::string(100000, '[')));
  EXPECT_FALSE(IsWellFormedMask(std::string(100000, '*') + "#"));
}

TEST(MaskMatchSize, LongTextsAndHugeCounts) {
  std::string text(20000, 'a');
  EXPECT_EQ(MatchMask("*@", text, true), C);
  EXPECT_EQ(MatchMask("*99999999999@", text, true), I);
  std::string short_text = "ab";
  EXPECT_EQ(MatchMask("*999999999[x]ab", short_text, true), C);
}

TEST(MaskMatchSize, RescanningIsBounded) {
  // Every repetition rescans the rest of the text in its first alternative:
  // quadratic, and still answered on a field-sized text...
  std::string digits(1000, '1');
  EXPECT_EQ(MatchMask("*{*#a,#}", digits, false), C);
  // ...while a pathological mask on a very long text is refused, not hung.
  std::string long_digits(20000, '1');
  EXPECT_EQ(MatchMask("*{*{*#a,#}b,#}", long_digits, false), X);
}

TEST(MaskCompiled, MatchesLikeTheTextForm) {
  const auto mask = TMask::Compile("&&&");
  ASSERT_TRUE(mask.has_value());
  EXPECT_EQ(mask->Text(), "&&&");
  std::string text = "ch";
  EXPECT_EQ(mask->Match(text, false), I);
  EXPECT_EQ(text, "CH");
  EXPECT_FALSE(TMask::Compile("[").has_value());
  EXPECT_TRUE(TMask().IsEmpty());
}

}  // namespace
}  // namespace ledgora
