// Small pictures drawn by code and written as bitmap and icon files.
//
// The two libraries draw their own flags, icons, banners and splash pictures
// at first request and hand them out as complete files (see library_api.h),
// so that no opaque binary is kept with the sources.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ledgora::eurolib {

struct TRgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// The sixteen colours of the classic palette, in their usual order.
enum TColour16 : std::uint8_t {
  kBlack,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGrey,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite,
};
std::vector<TRgb> Palette16();

// 256 colours: the sixteen above, a 6 x 6 x 6 colour cube (index
// 16 + 36 r + 6 g + b, each level 0 to 5) and 24 greys.
std::vector<TRgb> Palette256();
std::uint8_t CubeIndex(unsigned r, unsigned g, unsigned b);  // levels 0 to 5
std::uint8_t GreyIndex(unsigned level);                      // 0 to 23

// A picture of palette indices, rows from the top.
class TIndexedImage {
 public:
  TIndexedImage(int width, int height, int bits, std::vector<TRgb> palette,
                std::uint8_t background = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Bits() const { return bits_; }
  const std::vector<TRgb>& Palette() const { return palette_; }

  std::uint8_t At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, std::uint8_t colour);  // outside: ignored
  void FillRect(int x, int y, int w, int h, std::uint8_t colour);
  void FillCircle(double cx, double cy, double radius, std::uint8_t colour);
  void Ring(double cx, double cy, double radius, double width, std::uint8_t colour);
  // Capital letters and digits of a 5 x 7 font, each dot a square of `scale`
  // pixels, one dot of space between letters. Unknown characters leave a gap.
  void Text(int x, int y, std::string_view text, int scale, std::uint8_t colour);
  static int TextWidth(std::string_view text, int scale);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_, height_, bits_;
  std::vector<TRgb> palette_;
  std::vector<std::uint8_t> pixels_;
};

// A true-colour picture with an alpha channel, 0xAARRGGBB, rows from the top.
struct TTrueColourImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
};

// A complete bitmap file ("BM" header, information header, palette, rows
// from the bottom padded to four bytes) of 4 or 8 bits per pixel.
std::vector<unsigned char> EncodeBitmapFile(const TIndexedImage& image);

// One image of an icon file: indexed (the pixels of `transparent` are masked
// out) or true colour (the alpha channel gives the mask).
struct TIconImage {
  const TIndexedImage* indexed = nullptr;
  std::uint8_t transparent = 0;
  const TTrueColourImage* true_colour = nullptr;
};

// A complete icon file holding the images in the given order.
std::vector<unsigned char> EncodeIconFile(std::span<const TIconImage> images);

}  // namespace ledgora::eurolib
