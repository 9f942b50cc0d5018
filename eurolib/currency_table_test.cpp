// The parity table's checksum: what VerifieCoherenceDLL relies on.
#include "eurolib/currency_table.h"

#include <gtest/gtest.h>

#include <string>

namespace ledgora::eurolib {
namespace {

TEST(CurrencyTable, SoundTableSumsTo1908) {
  TCurrencyTable table;
  EXPECT_EQ(table.Checksum(), kSoundChecksum);
  EXPECT_TRUE(table.IsFilled());
}

TEST(CurrencyTable, AnyChangedParityDigitChangesTheSum) {
  TCurrencyTable table;
  table.EnsureFilled();
  for (std::size_t row = 0; row < 12; ++row) {
    char* parity = table.MutableRows()[row].parity;
    for (char* c = parity; *c != '\0'; ++c) {
      if (*c == '.') continue;
      const char original = *c;
      *c = original == '9' ? '0' : static_cast<char>(original + 1);
      EXPECT_NE(table.Checksum(), kSoundChecksum) << "row " << row << " " << parity;
      *c = original;
    }
  }
  EXPECT_EQ(table.Checksum(), kSoundChecksum);
}

TEST(CurrencyTable, ParityTextsOfOtherFormsAreStoredAsZero) {
  EuroCurrency row{};
  for (const char* bad :
       {"", "6,55957", "-6.5", "6.", ".5", "1e3", "1234567890123456789012345678"}) {
    TCurrencyTable::SetRow(row, "XXX", "a", "b", bad, "01/01/1997", "31/12/2098", 2);
    EXPECT_STREQ(row.parity, "0.0") << bad;
  }
  TCurrencyTable::SetRow(row, "XXX", "a", "b", "123456789012345678901234567", "01/01/1997",
                         "31/12/2098", 2);
  EXPECT_STREQ(row.parity, "123456789012345678901234567");
  EXPECT_EQ(row.valid_until.Format(), "31/12/2098");
}

TEST(CurrencyTable, ClearedRowsBeforeTheFirstUse) {
  TCurrencyTable table;
  EXPECT_FALSE(table.IsFilled());
  EXPECT_STREQ(table.Rows()[0].code, "");
  EXPECT_EQ(table.Rows()[0].decimals, 2);
  EXPECT_EQ(table.Find("FRF")->decimals, 2);  // a lookup fills the table
  EXPECT_TRUE(table.IsFilled());
  EXPECT_EQ(table.Find("EUR"), nullptr);
}

}  // namespace
}  // namespace ledgora::eurolib
