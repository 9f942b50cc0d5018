#include "eurolib/picture.h"

#include <algorithm>
#include <cmath>

namespace ledgora::eurolib {

namespace {

// 5 x 7 capitals and digits, one text row per dot row ('#' a dot).
struct TGlyph {
  char c;
  const char* rows[7];
};

constexpr TGlyph kFont[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
    {'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
};

const TGlyph* GlyphOf(char c) {
  for (const TGlyph& g : kFont) {
    if (g.c == c) return &g;
  }
  return nullptr;
}

void Put16(std::vector<unsigned char>& out, unsigned v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::uint32_t RowBytes(int width, int bits) {
  return ((static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
}

// The information header of a bitmap of `height` rows (twice the picture's
// for an icon image, whose mask follows the colours).
void PutInfoHeader(std::vector<unsigned char>& out, int width, int height, int bits,
                   std::uint32_t image_bytes, std::uint32_t colours) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // no compression
  Put32(out, image_bytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
}

void PutPalette(std::vector<unsigned char>& out, const std::vector<TRgb>& palette) {
  for (const TRgb& c : palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
}

// The rows of an indexed picture; with a transparent index (icons) its
// pixels are written black, as the mask expects under them.
void PutIndexedRows(std::vector<unsigned char>& out, const TIndexedImage& image,
                    int transparent = -1) {
  const std::uint32_t row_bytes = RowBytes(image.Width(), image.Bits());
  for (int y = image.Height(); y-- > 0;) {
    std::vector<unsigned char> row(row_bytes, 0);
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t v = image.At(x, y) == transparent ? 0 : image.At(x, y);
      if (image.Bits() == 8) {
        row[static_cast<std::size_t>(x)] = v;
      } else {
        unsigned char& b = row[static_cast<std::size_t>(x / 2)];
        b = static_cast<unsigned char>(b | ((x % 2 == 0) ? (v & 0x0F) << 4 : (v & 0x0F)));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

template <typename Transparent>
void PutMaskRows(std::vector<unsigned char>& out, int width, int height, Transparent transparent) {
  const std::uint32_t row_bytes = RowBytes(width, 1);
  for (int y = height; y-- > 0;) {
    std::vector<unsigned char> row(row_bytes, 0);
    for (int x = 0; x < width; ++x) {
      if (transparent(x, y)) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

std::vector<TRgb> Palette16() {
  return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
          {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
          {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

std::vector<TRgb> Palette256() {
  std::vector<TRgb> palette = Palette16();
  for (unsigned r = 0; r < 6; ++r) {
    for (unsigned g = 0; g < 6; ++g) {
      for (unsigned b = 0; b < 6; ++b) {
        palette.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                           static_cast<std::uint8_t>(b * 51)});
      }
    }
  }
  for (unsigned i = 0; i < 24; ++i) {
    const auto v = static_cast<std::uint8_t>(8 + i * 10);
    palette.push_back({v, v, v});
  }
  return palette;
}

std::uint8_t CubeIndex(unsigned r, unsigned g, unsigned b) {
  return static_cast<std::uint8_t>(16 + 36 * std::min(r, 5u) + 6 * std::min(g, 5u) +
                                   std::min(b, 5u));
}

std::uint8_t GreyIndex(unsigned level) {
  return static_cast<std::uint8_t>(232 + std::min(level, 23u));
}

TIndexedImage::TIndexedImage(int width, int height, int bits, std::vector<TRgb> palette,
                             std::uint8_t background)
    : width_(width),
      height_(height),
      bits_(bits),
      palette_(std::move(palette)),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {}

void TIndexedImage::Set(int x, int y, std::uint8_t colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[Index(x, y)] = colour;
}

void TIndexedImage::FillRect(int x, int y, int w, int h, std::uint8_t colour) {
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) Set(i, j, colour);
  }
}

void TIndexedImage::FillCircle(double cx, double cy, double radius, std::uint8_t colour) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= radius * radius) Set(x, y, colour);
    }
  }
}

void TIndexedImage::Ring(double cx, double cy, double radius, double width, std::uint8_t colour) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (d <= radius && d > radius - width) Set(x, y, colour);
    }
  }
}

int TIndexedImage::TextWidth(std::string_view text, int scale) {
  if (text.empty()) return 0;
  return static_cast<int>(text.size()) * 6 * scale - scale;
}

void TIndexedImage::Text(int x, int y, std::string_view text, int scale, std::uint8_t colour) {
  for (char c : text) {
    if (const TGlyph* g = GlyphOf(c)) {
      for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
          if (g->rows[row][col] == '#')
            FillRect(x + col * scale, y + row * scale, scale, scale, colour);
        }
      }
    }
    x += 6 * scale;
  }
}

std::vector<unsigned char> EncodeBitmapFile(const TIndexedImage& image) {
  const auto colours = static_cast<std::uint32_t>(image.Palette().size());
  const std::uint32_t image_bytes =
      RowBytes(image.Width(), image.Bits()) * static_cast<std::uint32_t>(image.Height());
  const std::uint32_t offset = 14 + 40 + 4 * colours;
  std::vector<unsigned char> out;
  out.reserve(offset + image_bytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + image_bytes);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offset);
  PutInfoHeader(out, image.Width(), image.Height(), image.Bits(), image_bytes, colours);
  PutPalette(out, image.Palette());
  PutIndexedRows(out, image);
  return out;
}

std::vector<unsigned char> EncodeIconFile(std::span<const TIconImage> images) {
  // Each image first on its own, then the directory that points at them.
  std::vector<std::vector<unsigned char>> bodies;
  for (const TIconImage& icon : images) {
    std::vector<unsigned char> body;
    if (icon.indexed != nullptr) {
      const TIndexedImage& image = *icon.indexed;
      const std::uint32_t bytes =
          (RowBytes(image.Width(), image.Bits()) + RowBytes(image.Width(), 1)) *
          static_cast<std::uint32_t>(image.Height());
      PutInfoHeader(body, image.Width(), image.Height() * 2, image.Bits(), bytes,
                    static_cast<std::uint32_t>(image.Palette().size()));
      PutPalette(body, image.Palette());
      PutIndexedRows(body, image, icon.transparent);
      PutMaskRows(body, image.Width(), image.Height(),
                  [&](int x, int y) { return image.At(x, y) == icon.transparent; });
    } else {
      const TTrueColourImage& image = *icon.true_colour;
      const std::uint32_t bytes = (RowBytes(image.width, 32) + RowBytes(image.width, 1)) *
                                  static_cast<std::uint32_t>(image.height);
      PutInfoHeader(body, image.width, image.height * 2, 32, bytes, 0);
      for (int y = image.height; y-- > 0;) {
        for (int x = 0; x < image.width; ++x) {
          const std::uint32_t p = image.argb[static_cast<std::size_t>(y * image.width + x)];
          body.push_back(static_cast<unsigned char>(p & 0xFF));
          body.push_back(static_cast<unsigned char>((p >> 8) & 0xFF));
          body.push_back(static_cast<unsigned char>((p >> 16) & 0xFF));
          body.push_back(static_cast<unsigned char>(p >> 24));
        }
      }
      PutMaskRows(body, image.width, image.height, [&](int x, int y) {
        return (image.argb[static_cast<std::size_t>(y * image.width + x)] >> 24) == 0;
      });
    }
    bodies.push_back(std::move(body));
  }

  std::vector<unsigned char> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const TIconImage& icon = images[i];
    const int width = icon.indexed ? icon.indexed->Width() : icon.true_colour->width;
    const int height = icon.indexed ? icon.indexed->Height() : icon.true_colour->height;
    const int bits = icon.indexed ? icon.indexed->Bits() : 32;
    out.push_back(static_cast<unsigned char>(width & 0xFF));
    out.push_back(static_cast<unsigned char>(height & 0xFF));
    out.push_back(static_cast<unsigned char>(bits == 4 ? 16 : 0));
    out.push_back(0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace ledgora::eurolib
