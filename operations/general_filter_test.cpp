// The general filter dialog's validation and the filter's profile keys.
#include <gtest/gtest.h>

#include "operations/general_filter.h"
#include "operations/test_operations_env.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class GeneralFilterTest : public TOperationsTest {};

struct TValidationCase {
  const char* name;
  TGeneralFilterTexts typed;
  const char* message;  // "" when the dialog closes
};

class FilterValidationTest : public TOperationsTest,
                             public ::testing::WithParamInterface<TValidationCase> {};

TEST_P(FilterValidationTest, ShowsItsMessageOrCloses) {
  const TValidationCase& c = GetParam();
  const std::optional<TGeneralFilterTexts> stored = ValidateGeneralFilter(c.typed, port_);
  EXPECT_EQ(stored.has_value(), std::string(c.message).empty());
  EXPECT_EQ(port_.LastMessage(), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, FilterValidationTest,
    ::testing::Values(
        TValidationCase{"Empty", {}, ""},
        TValidationCase{"EqualBounds", {"01/01/2024", "01/01/2024", "5", "5", ""}, ""},
        TValidationCase{"DatesReversed",
                        {"02/01/2024", "01/01/2024", "", "", ""},
                        "La première date doit être plus petite que la seconde !"},
        TValidationCase{"AmountsReversed",
                        {"", "", "10", "-10", ""},
                        "Le premier montant doit être plus petit que le second !"},
        TValidationCase{"OneDateOnly", {"", "31/12/2024", "", "", ""}, ""},
        TValidationCase{
            "NotADate", {"31/02/2024", "", "", "", ""}, "Date non valide #[#]/#[#]/##[##] !"},
        TValidationCase{"NotAnAmount",
                        {"", "", "12,345", "", ""},
                        "Montant non valide ou trop grand #########,##!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeneralFilterTest, TheLabelFragmentIsStoredInCapitals) {
  const std::string long_label(60, 'e');
  const auto stored = ValidateGeneralFilter({"", "", "", "", "café " + long_label}, port_);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->label, "CAFÉ " + std::string(45, 'E'));
}

TEST_F(GeneralFilterTest, EachUseOfTheFilterHasItsOwnKeys) {
  TGeneralFilter::FromTexts({"01/01/2024", "", "-5,5", "", "LOYER"}, true).Store(kRecapFilterKeys);
  EXPECT_EQ(platform::ProfileReadText("Setup", "DateInfRecapCat", ""), "01/01/2024");
  EXPECT_EQ(platform::ProfileReadText("Setup", "MontantInfRecapCat", ""), "-5,5");
  EXPECT_EQ(platform::ProfileReadInt("Setup", "FiltreActifRecapCat", 0), 1);
  EXPECT_FALSE(TGeneralFilter::Load(kListFilterKeys).Active());
  const TGeneralFilter recap = TGeneralFilter::Load(kRecapFilterKeys);
  EXPECT_TRUE(recap.Active());
  EXPECT_EQ(recap.DateInf()->Format(), "01/01/2024");
  EXPECT_DOUBLE_EQ(*recap.AmountInf(), -5.5);
  EXPECT_FALSE(recap.AmountSup().has_value());
  EXPECT_EQ(recap.Label(), "LOYER");
  EXPECT_EQ(kRecapFilterKeys.caption, "Filtre pour l'affichage - Multicomptes");
}

}  // namespace
}  // namespace ledgora::testing
