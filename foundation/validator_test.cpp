#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/amount_validator.h"
#include "foundation/charset_validator.h"
#include "foundation/cp1252.h"
#include "foundation/date_validator.h"
#include "foundation/mask_validator.h"
#include "platform/scripted_user_port.h"

namespace ledgora {
namespace {

// The scripted port records texts, captions and icons; the message box's
// modality is kept here as well.
class TRecordingPort : public TScriptedUserPort {
 public:
  TReply Message(const TMessage& message) override {
    task_modal.push_back(message.task_modal);
    return TScriptedUserPort::Message(message);
  }
  std::vector<bool> task_modal;
};

class ValidatorTest : public ::testing::Test {
 protected:
  TRecordingPort port_;
};

// --- Verdicts --------------------------------------------------------------

struct VerdictCase {
  const char* name;
  std::shared_ptr<const TValidator> validator;
  const char* text;
  bool valid;
};

std::shared_ptr<const TValidator> Amount(std::size_t m, bool negative, TRequiredMode mode) {
  return std::make_shared<TAmountValidator>(m, negative, mode);
}
std::shared_ptr<const TValidator> AmountDec(std::size_t m, unsigned d, TRequiredMode mode) {
  return std::make_shared<TAmountDecValidator>(m, d, mode);
}
std::shared_ptr<const TValidator> Date(TRequiredMode mode) {
  return std::make_shared<TDateValidator>("##/##/####", KD_STANDARD, mode);
}
std::shared_ptr<const TValidator> Mask(const char* mask, TRequiredMode mode) {
  return std::make_shared<TMaskValidator>(mask, mode);
}
std::shared_ptr<const TValidator> CharSet(const char* set, TRequiredMode mode) {
  return std::make_shared<TCharSetValidator>(set, mode);
}

constexpr auto kOpt = TRequiredMode::Optional;
constexpr auto kReq = TRequiredMode::Required;

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, CheckFinal) {
  const VerdictCase& c = GetParam();
  EXPECT_EQ(c.validator->CheckFinal(c.text), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Validators, Verdict,
    ::testing::Values(
        VerdictCase{"AmountNineBeforeComma", Amount(12, true, kOpt), "123456789,12", true},
        VerdictCase{"AmountTenBeforeComma", Amount(12, true, kOpt), "1234567890,1", false},
        VerdictCase{"AmountWithoutComma", Amount(12, true, kOpt), "123456789", true},
        VerdictCase{"AmountWithoutCommaTooLong", Amount(12, true, kOpt), "1234567890", false},
        VerdictCase{"AmountSignCounts", Amount(12, true, kOpt), "-123456789", false},
        VerdictCase{"AmountNegative", Amount(12, true, kOpt), "-12,5", true},
        VerdictCase{"AmountNegativeRefused", Amount(12, false, kOpt), "-12,5", false},
        VerdictCase{"AmountThreeDecimals", Amount(12, true, kOpt), "12,345", false},
        VerdictCase{"AmountGarbage", Amount(12, true, kOpt), "12a", false},
        VerdictCase{"AmountTinyField", Amount(2, true, kOpt), "1", false},
        VerdictCase{"AmountEmptyOptional", Amount(12, true, kOpt), "", true},
        VerdictCase{"AmountEmptyRequired", Amount(12, true, kReq), "", false},
        VerdictCase{"AmountDecWithinLimits", AmountDec(10, 3, kOpt), "123456,123", true},
        VerdictCase{"AmountDecTooManyBefore", AmountDec(10, 3, kOpt), "1234567,1", false},
        VerdictCase{"AmountDecTooManyAfter", AmountDec(10, 3, kOpt), "1,1234", false},
        VerdictCase{"AmountDecWhole", AmountDec(10, 0, kOpt), "-12", true},
        VerdictCase{"AmountDecNoDecimalsAllowed", AmountDec(10, 0, kOpt), "12,5", false},
        VerdictCase{"AmountDecEmptyRequired", AmountDec(10, 2, kReq), "", false},
        VerdictCase{"DateValid", Date(kOpt), "29/02/2000", true},
        VerdictCase{"DateNotInCalendar", Date(kOpt), "29/02/2003", false},
        VerdictCase{"DateNotInMask", Date(kOpt), "1/2/2003", false},
        VerdictCase{"DateEmptyOptional", Date(kOpt), "", true},
        VerdictCase{"DateEmptyRequired", Date(kReq), "", false},
        VerdictCase{"MaskIncompleteRefused", Mask("##/##", kOpt), "12/", false},
        VerdictCase{"MaskEmptyMaskAcceptsAll", Mask("", kReq), "anything", true},
        VerdictCase{"MaskEmptyMaskRequiredEmpty", Mask("", kReq), "", false},
        VerdictCase{"CharSetLettersDigits", CharSet("A-Za-z0123456789", kOpt), "Abc123", true},
        VerdictCase{"CharSetHyphenRefused", CharSet("A-Za-z0123456789", kOpt), "ab-c", false},
        VerdictCase{"CharSetAccentOutsideRange", CharSet("A-Za-z", kOpt), "é", false},
        VerdictCase{"CharSetEmptyRequired", CharSet("A-Z", kReq), "", false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Messages --------------------------------------------------------------

struct MessageCase {
  const char* name;
  std::unique_ptr<TValidator> (*make)(TUserPort* port);
  const char* message;
};

class Message : public ValidatorTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(Message, ShowErrorShowsTheExactText) {
  const MessageCase& c = GetParam();
  c.make(nullptr)->ShowError();  // silent without a port
  ASSERT_TRUE(port_.Log().empty());
  c.make(&port_)->ShowError();
  ASSERT_EQ(port_.Log().size(), 1u);
  const auto& shown = port_.Log()[0];
  EXPECT_EQ(shown.text, c.message);
  EXPECT_EQ(shown.caption, "Erreur de saisie");
  EXPECT_EQ(shown.icon, TIcon::Exclamation);
  EXPECT_EQ(shown.buttons, TButtons::Ok);
  EXPECT_EQ(port_.task_modal, std::vector<bool>{true});
}

template <typename T, typename... Args>
std::unique_ptr<TValidator> Make(TUserPort* port, Args... args) {
  return std::make_unique<T>(args..., port);
}

INSTANTIATE_TEST_SUITE_P(
    Validators, Message,
    ::testing::Values(
        MessageCase{"AmountOptional",
                    [](TUserPort* p) { return Make<TAmountValidator>(p, 12u, true, kOpt); },
                    "Montant non valide ou trop grand #########,##!"},
        MessageCase{"AmountRequired",
                    [](TUserPort* p) { return Make<TAmountValidator>(p, 12u, true, kReq); },
                    "Montant non valide ou trop grand #########,##\nou zone obligatoire !"},
        MessageCase{"AmountTinyField",
                    [](TUserPort* p) { return Make<TAmountValidator>(p, 2u, false, kOpt); },
                    "Montant non valide ou trop grand ,##!"},
        MessageCase{"AmountDecOptional",
                    [](TUserPort* p) { return Make<TAmountDecValidator>(p, 10u, 3u, kOpt); },
                    "Montant non valide ou trop grand ######,### !"},
        MessageCase{"AmountDecRequired",
                    [](TUserPort* p) { return Make<TAmountDecValidator>(p, 10u, 3u, kReq); },
                    "Montant non valide ou trop grand ######,###\nou zone obligatoire !"},
        MessageCase{"DateOptional",
                    [](TUserPort* p) {
                      return Make<TDateValidator>(p, "##/##/####", unsigned{KD_STANDARD}, kOpt);
                    },
                    "Date non valide ##/##/#### !"},
        MessageCase{"DateRequired",
                    [](TUserPort* p) {
                      return Make<TDateValidator>(p, "##/##/####", unsigned{KD_STANDARD}, kReq);
                    },
                    "Date non valide ##/##/####\nou zone obligatoire !"},
        MessageCase{"MaskOptional",
                    [](TUserPort* p) { return Make<TMaskValidator>(p, "&&&", kOpt); },
                    "Erreur de saisie:\nFormat: &&&"},
        MessageCase{"MaskRequired",
                    [](TUserPort* p) { return Make<TMaskValidator>(p, "&&&", kReq); },
                    "Erreur de saisie ou zone obligatoire !"},
        MessageCase{"CharSet", [](TUserPort* p) { return Make<TCharSetValidator>(p, "A-Z", kReq); },
                    "Caractère saisi non valide !"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ValidatorTest, MaskMessageShowsAtMostEightyCharacters) {
  std::string mask;
  for (int k = 0; k < 100; ++k) mask += "é";
  const TMaskValidator v(mask, kOpt, &port_);
  std::string shown;
  for (int k = 0; k < 80; ++k) shown += "é";
  EXPECT_EQ(v.ErrorText(), "Erreur de saisie:\nFormat: " + shown);
}

// --- Construction, bypass, typing -------------------------------------------

TEST(ValidatorSyntax, MalformedMasksThrowAtConstruction) {
  for (const char* mask : {"12;", "[-]*#[", "#*", "}"}) {
    try {
      TMaskValidator v(mask);
      ADD_FAILURE() << mask;
    } catch (const TValidator::TXValidator& e) {
      EXPECT_STREQ(e.what(), "Erreur de syntaxe dans le validateur");
    }
  }
  EXPECT_THROW(TDateValidator("##/##/##[##"), TValidator::TXValidator);
  EXPECT_THROW(TAmountDecValidator(10, 2, kOpt, nullptr, "*#;"), TValidator::TXValidator);
  EXPECT_NO_THROW(TMaskValidator(""));
}

TEST_F(ValidatorTest, FocusOnTheCancelControlAcceptsEverything) {
  const TAmountValidator amount(12, false, kReq, &port_);
  const TDateValidator date("##/##/####", KD_STANDARD, kReq, &port_);
  const TCharSetValidator code(kCharSetLettersDigits, kReq, &port_);
  port_.SetFocusedControl(kBypassControlId);
  for (const char* text : {"", "-1234567890,123", "31/02/2003", "?!"}) {
    EXPECT_TRUE(amount.CheckFinal(text)) << text;
    EXPECT_TRUE(date.CheckFinal(text)) << text;
    EXPECT_TRUE(code.CheckFinal(text)) << text;
  }
  port_.SetFocusedControl(kBypassControlId + 1);
  EXPECT_FALSE(amount.CheckFinal(""));
  EXPECT_FALSE(date.CheckFinal("31/02/2003"));
  EXPECT_FALSE(code.CheckFinal("?!"));
  EXPECT_TRUE(port_.Log().empty());
}

TEST_F(ValidatorTest, ValidateShowsTheMessageOnlyOnFailure) {
  const TAmountValidator v(12, true, kReq, &port_);
  EXPECT_TRUE(v.Validate("12,50"));
  EXPECT_TRUE(port_.Log().empty());
  EXPECT_FALSE(v.Validate(""));
  EXPECT_EQ(port_.Messages(),
            std::vector<std::string>{
                "Montant non valide ou trop grand #########,##\nou zone obligatoire !"});
}

TEST(ValidatorTyping, CompletionFollowsOptionAndCaller) {
  TMaskValidator v("##/##/####");
  EXPECT_TRUE(v.HasOption(TValidator::kOptionMask));
  EXPECT_FALSE(v.HasOption(TValidator::kOptionCompleteLiterals));
  std::string text = "12";
  EXPECT_TRUE(v.CheckTyping(text));
  EXPECT_EQ(text, "12");
  v.SetOption(TValidator::kOptionCompleteLiterals);
  EXPECT_TRUE(v.CheckTyping(text, /*suppress_completion=*/true));
  EXPECT_EQ(text, "12");
  EXPECT_TRUE(v.CheckTyping(text));
  EXPECT_EQ(text, "12/");
  text = "12/0a";
  EXPECT_FALSE(v.CheckTyping(text));
  EXPECT_EQ(text, "12/0a");  // a refused text is left as typed
}

TEST(ValidatorTyping, TypingStoresCapitalsAndLiterals) {
  const TMaskValidator v("&&&-##");
  std::string text = "eur 1";
  EXPECT_TRUE(v.CheckTyping(text));
  EXPECT_EQ(text, "EUR-1");
  EXPECT_FALSE(v.CheckFinal("EUR-1"));
  EXPECT_TRUE(v.CheckFinal("eur-12"));
}

TEST(ValidatorTyping, EachKindChecksWhatIsTyped) {
  std::string text = "-12,3";
  EXPECT_TRUE(TAmountValidator(12, true).CheckTyping(text));
  EXPECT_FALSE(TAmountValidator(12, false).CheckTyping(text));
  text = "12,345";
  EXPECT_FALSE(TAmountValidator(12, true).CheckTyping(text));
  const TCharSetValidator code(kCharSetLettersDigits);
  text = "AB12";
  EXPECT_TRUE(code.CheckTyping(text));
  text = "AB 12";
  EXPECT_FALSE(code.CheckTyping(text));
  text = "anything at all";
  EXPECT_TRUE(TValidator().CheckTyping(text));
  EXPECT_TRUE(TValidator(kReq).CheckFinal("x"));
  EXPECT_FALSE(TValidator(kReq).CheckFinal(""));
}

struct SetCase {
  const char* name;
  const char* set;
  const char* inside;
  const char* outside;
};

class CharSetSyntax : public ::testing::TestWithParam<SetCase> {};

TEST_P(CharSetSyntax, BuildsTheSet) {
  const SetCase& c = GetParam();
  const TCharSetValidator v(c.set);
  EXPECT_TRUE(v.AllInSet(c.inside)) << c.inside;
  std::size_t pos = 0;
  const std::string_view outside = c.outside;
  while (pos < outside.size()) {
    const std::size_t start = pos;
    const char32_t ch = DecodeUtf8At(outside, pos);
    EXPECT_FALSE(v.Contains(ch)) << outside.substr(start, pos - start);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, CharSetSyntax,
                         ::testing::Values(SetCase{"Ranges", "A-Za-z0123456789", "azAZ09m", "-_ é"},
                                           SetCase{"EscapedHyphen", "a\\-c", "a-c", "b"},
                                           SetCase{"EscapedRangeEnd", "\\a-c", "abc", "\\d"},
                                           SetCase{"HyphenFirstAndLast", "-ab-", "-ab", "c"},
                                           SetCase{"ReversedRange", "z-a", "amz", "A"},
                                           SetCase{"ChainedRanges", "a-c-e", "abcde", "f"},
                                           SetCase{"BackslashAtEnd", "a\\", "a\\", "b"},
                                           SetCase{"Windows1252Range", "à-ÿ", "éàÿ", "Éž"},
                                           SetCase{"OutsideWindows1252", "жa", "a", "ж\xFF"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgora
