#include "ldres/ldres_pictures.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "eurolib/library_api.h"
#include "eurolib/picture.h"
#include "ldres/ldres.h"

namespace ledgora::ldres {

namespace {

using namespace eurolib;  // the pictures and the colour names

// An ordered-dither threshold (4 x 4 Bayer matrix), so that the gradients of
// the 256-colour pictures step smoothly between the levels of the cube.
double Threshold(int x, int y) {
  static constexpr int kBayer[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kBayer[y % 4][x % 4] + 0.5) / 16.0;
}

unsigned Dithered(double level, int x, int y) {
  const double f = std::floor(level);
  return static_cast<unsigned>(f + ((level - f) > Threshold(x, y) ? 1 : 0));
}

// A gradient of the cube between two colours (levels 0 to 5), t from 0 to 1.
std::uint8_t Gradient(const double from[3], const double to[3], double t, int x, int y) {
  unsigned c[3];
  for (int i = 0; i < 3; ++i) c[i] = Dithered(from[i] + (to[i] - from[i]) * t, x, y);
  return CubeIndex(c[0], c[1], c[2]);
}

// 22500: the product's name beside the bank's emblem, 230 x 33.
TIndexedImage Banner() {
  TIndexedImage image(230, 33, 4, Palette16(), kWhite);
  image.FillRect(0, 0, 33, 33, kNavy);
  image.Ring(16.5, 16.5, 13, 3, kWhite);
  image.FillCircle(16.5, 16.5, 5, kRed);
  image.Text(44, 5, "LEDGORA", 3, kNavy);
  image.FillRect(44, 29, 182, 2, kRed);
  return image;
}

// 22501: the bank's emblem, 33 x 27.
TIndexedImage SmallLogo() {
  TIndexedImage image(33, 27, 4, Palette16(), kWhite);
  image.Ring(16.5, 13.5, 12.5, 3, kNavy);
  image.FillCircle(16.5, 13.5, 4.5, kRed);
  return image;
}

// 22502: the online service's name on a blue gradient, 327 x 93.
TIndexedImage ServicePicture() {
  TIndexedImage image(327, 93, 8, Palette256());
  const double from[3] = {0, 0.5, 2.5}, to[3] = {1.5, 3.5, 5};
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.Set(x, y, Gradient(from, to, static_cast<double>(x) / (image.Width() - 1), x, y));
    }
  }
  for (int x = 0; x < image.Width(); ++x) {
    const int y = 78 + static_cast<int>(std::lround(5 * std::sin(x / 18.0)));
    image.FillRect(x, y, 1, 3, CubeIndex(5, 0, 0));
  }
  const int width = TIndexedImage::TextWidth("ORVANET", 5);
  image.Text((image.Width() - width) / 2, 18, "ORVANET", 5, CubeIndex(5, 5, 5));
  return image;
}

// 22503: the splash picture, 330 x 210: the product's name over the bank's.
TIndexedImage Splash() {
  TIndexedImage image(330, 210, 8, Palette256());
  const double from[3] = {0, 1, 3}, to[3] = {4.5, 5, 5};
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.Set(x, y, Gradient(from, to, static_cast<double>(y) / (image.Height() - 1), x, y));
    }
  }
  const int title = TIndexedImage::TextWidth("LEDGORA", 6);
  image.Text((image.Width() - title) / 2 + 2, 52, "LEDGORA", 6, GreyIndex(4));
  image.Text((image.Width() - title) / 2, 50, "LEDGORA", 6, CubeIndex(5, 5, 5));
  const int bank = TIndexedImage::TextWidth("ORVANE", 3);
  image.Text((image.Width() - bank) / 2, 112, "ORVANE", 3, CubeIndex(0, 0, 2));
  image.FillRect(40, 140, 250, 2, CubeIndex(5, 0, 0));
  // A row of coins in the colours of the euro zone.
  const std::uint8_t coins[] = {CubeIndex(0, 0, 4), CubeIndex(5, 4, 0), CubeIndex(5, 0, 0),
                                CubeIndex(0, 3, 1), CubeIndex(5, 3, 1)};
  for (int i = 0; i < 5; ++i) {
    const double cx = 85 + i * 40;
    image.FillCircle(cx, 175, 14, GreyIndex(20));
    image.FillCircle(cx, 175, 11, coins[i]);
  }
  return image;
}

// The program's picture: a ledger with a bookmark, at any size, on the
// transparent index.
constexpr std::uint8_t kTransparent = kFuchsia;

TIndexedImage ProgramIcon(int size) {
  TIndexedImage image(size, size, 4, Palette16(), kTransparent);
  const double s = size / 32.0;
  auto px = [&](double v) { return static_cast<int>(std::lround(v * s)); };
  image.FillRect(px(5), px(3), px(22), px(26), kNavy);   // the cover
  image.FillRect(px(8), px(5), px(18), px(22), kWhite);  // the pages
  for (int line = 0; line < 5; ++line) {
    image.FillRect(px(10), px(9 + line * 4), px(14), std::max(1, px(1)), kBlue);
  }
  image.FillRect(px(21), px(3), px(3), px(12), kRed);  // the bookmark
  image.FillRect(px(5), px(29), px(22), std::max(1, px(1)), kBlack);
  return image;
}

// The same in true colour with an alpha channel and a shaded cover.
TTrueColourImage ProgramIconTrueColour(int size) {
  const TIndexedImage base = ProgramIcon(size);
  const std::vector<TRgb> palette = Palette16();
  TTrueColourImage image;
  image.width = image.height = size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::uint8_t index = base.At(x, y);
      if (index == kTransparent) {
        image.argb.push_back(0);
        continue;
      }
      TRgb c = palette[index];
      if (index == kNavy) c.b = static_cast<std::uint8_t>(110 + 100 * x / size);
      image.argb.push_back(0xFF000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) |
                           c.b);
    }
  }
  return image;
}

// The document's picture: a page with a folded corner and lines, 32 x 32.
TIndexedImage DocumentIcon() {
  TIndexedImage image(32, 32, 4, Palette16(), kTransparent);
  image.FillRect(6, 2, 20, 28, kBlack);
  image.FillRect(7, 3, 18, 26, kWhite);
  for (int i = 0; i < 6; ++i) {
    image.FillRect(19 + i, 2 + i, 7 - i, 1, kTransparent);  // the folded corner
    image.Set(19 + i, 2 + i, kBlack);
    image.FillRect(19, 3 + i, i + 1, 1, kSilver);
  }
  image.FillRect(19, 8, 7, 1, kBlack);
  for (int line = 0; line < 5; ++line) image.FillRect(10, 12 + line * 3, 12, 1, kBlue);
  image.FillRect(10, 27, 5, 1, kRed);
  return image;
}

struct TPicture {
  unsigned type;
  unsigned id;
  std::vector<unsigned char> bytes;
};

const std::vector<TPicture>& Pictures() {
  static const std::vector<TPicture> pictures = [] {
    std::vector<TPicture> all;
    all.push_back({kResourceDib, kLDResBanner, EncodeBitmapFile(Banner())});
    all.push_back({kResourceBitmap, kLDResSmallLogo, EncodeBitmapFile(SmallLogo())});
    all.push_back({kResourceDib, kLDResPicture, EncodeBitmapFile(ServicePicture())});
    all.push_back({kResourceDib, kLDResSplash, EncodeBitmapFile(Splash())});
    const TIndexedImage small = ProgramIcon(16), large = ProgramIcon(32);
    const TTrueColourImage small_true = ProgramIconTrueColour(16);
    const TTrueColourImage large_true = ProgramIconTrueColour(32);
    const TIconImage program[] = {{&small, kTransparent, nullptr},
                                  {&large, kTransparent, nullptr},
                                  {nullptr, 0, &small_true},
                                  {nullptr, 0, &large_true}};
    all.push_back({kResourceIconGroup, kLDResProgramIcon, EncodeIconFile(program)});
    const TIndexedImage document = DocumentIcon();
    const TIconImage document_images[] = {{&document, kTransparent, nullptr}};
    all.push_back({kResourceIconGroup, kLDResDocumentIcon, EncodeIconFile(document_images)});
    return all;
  }();
  return pictures;
}

}  // namespace

int FindPicture(unsigned type, unsigned id, const unsigned char** data, std::size_t* size) {
  if (data == nullptr || size == nullptr) return kResourceUnknown;
  try {
    for (const TPicture& picture : Pictures()) {
      if (picture.id != id || picture.type != type) continue;
      *data = picture.bytes.data();
      *size = picture.bytes.size();
      return kResourceFound;
    }
    return kResourceUnknown;
  } catch (const std::bad_alloc&) {
    return kResourceNoMemory;
  }
}

}  // namespace ledgora::ldres
