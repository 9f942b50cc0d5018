// The currency library's bitmaps, loaded by identifier through its export.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "eurolib/orveuro32.h"
#include "eurolib/test_bitmap_reader.h"

namespace {

using ledgora::kResourceBitmap;
using ledgora::testing::ReadBitmapFile;

std::string Bytes(unsigned id) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (GetDllEuroResource(kResourceBitmap, id, &data, &size) != ledgora::kResourceFound) return {};
  return std::string(reinterpret_cast<const char*>(data), size);
}

void ExpectBitmap(unsigned id, int width, int height, int bits) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  ASSERT_EQ(GetDllEuroResource(kResourceBitmap, id, &data, &size), ledgora::kResourceFound) << id;
  const auto info = ReadBitmapFile(data, size);
  ASSERT_TRUE(info) << id;
  EXPECT_EQ(info->width, width) << id;
  EXPECT_EQ(info->height, height) << id;
  EXPECT_EQ(info->bits, bits) << id;
  EXPECT_EQ(info->colours, 1u << bits) << id;
  EXPECT_GE(info->used.size(), 2u) << id;  // a picture, not a blank
  // The library keeps the bytes: the same ones on every request.
  const unsigned char* again = nullptr;
  ASSERT_EQ(GetDllEuroResource(kResourceBitmap, id, &again, &size), ledgora::kResourceFound);
  EXPECT_EQ(again, data);
}

TEST(Pictures, FlagsAndIconsAtTheirSizesAndDepths) {
  for (unsigned id = 9001; id <= 9020; ++id) ExpectBitmap(id, 24, 16, 4);
  ExpectBitmap(9021, 24, 16, 8);
  for (unsigned id = 9100; id <= 9115; ++id) ExpectBitmap(id, 18, 18, 4);
}

TEST(Pictures, EveryFlagAndIconIsItsOwn) {
  std::set<std::string> flags, icons;
  for (unsigned id = 9001; id <= 9021; ++id) flags.insert(Bytes(id));
  for (unsigned id = 9100; id <= 9115; ++id) icons.insert(Bytes(id));
  EXPECT_EQ(flags.size(), 21u);
  EXPECT_EQ(icons.size(), 16u);
}

TEST(Pictures, ListsNameThePicturesThatExist) {
  char list[ledgora::kEuroIconListSize];
  GetListeIconesOrig(list);
  const std::string text = list;
  for (std::size_t p = 0; p < text.size(); p = text.find(';', p) + 1) {
    const unsigned id = static_cast<unsigned>(std::stoul(text.substr(p + 3, 4)));
    EXPECT_FALSE(Bytes(id).empty()) << text.substr(p, 7);
    if (text.find(';', p) == std::string::npos) break;
  }
  for (const char* code : {"EUR", "FRF", "SPN", "YEN", "IEP", "CAD"}) {
    EXPECT_FALSE(Bytes(GetIdDrapeau(code)).empty()) << code;
  }
}

TEST(Pictures, UnknownRequests) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  for (unsigned id : {9000u, 9022u, 9099u, 9116u, 22500u}) {
    EXPECT_EQ(GetDllEuroResource(kResourceBitmap, id, &data, &size), ledgora::kResourceUnknown);
  }
  EXPECT_EQ(GetDllEuroResource(ledgora::kResourceDib, 9001, &data, &size),
            ledgora::kResourceUnknown);
  EXPECT_EQ(GetDllEuroResource(kResourceBitmap, 9001, nullptr, &size), ledgora::kResourceUnknown);
  EXPECT_EQ(GetDllEuroResource(kResourceBitmap, 9001, &data, nullptr), ledgora::kResourceUnknown);
}

}  // namespace
