#include "eurolib/euro_pictures.h"

#include <cmath>
#include <new>
#include <numbers>
#include <vector>

#include "eurolib/library_api.h"

namespace ledgora::eurolib {

namespace {

using TPainter = std::uint8_t (*)(double u, double v);  // u, v in [0, 1): across, down

std::uint8_t Vertical(double u, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
  return u < 1.0 / 3 ? a : (u < 2.0 / 3 ? b : c);
}
std::uint8_t Horizontal(double v, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
  return v < 1.0 / 3 ? a : (v < 2.0 / 3 ? b : c);
}
std::uint8_t Nordic(double u, double v, std::uint8_t field, std::uint8_t cross) {
  return (std::abs(u - 0.36) < 0.09 || std::abs(v - 0.5) < 0.12) ? cross : field;
}

struct TFlagPainter {
  std::string_view code;
  TPainter paint;
};

// Flags as functions of the position, so that one drawing serves the 24 x 16
// flags and the 18 x 18 coins.
const TFlagPainter kPainters[] = {
    {"EUR", [](double, double) -> std::uint8_t { return kNavy; }},  // the stars are added after
    {"FRF", [](double u, double) { return Vertical(u, kBlue, kWhite, kRed); }},
    {"CHF",
     [](double u, double v) -> std::uint8_t {
       const bool bar = std::abs(u - 0.5) < 0.09 && std::abs(v - 0.5) < 0.32;
       const bool arm = std::abs(v - 0.5) < 0.12 && std::abs(u - 0.5) < 0.22;
       return (bar || arm) ? kWhite : kRed;
     }},
    {"BEF", [](double u, double) { return Vertical(u, kBlack, kYellow, kRed); }},
    {"DEM", [](double, double v) { return Horizontal(v, kBlack, kRed, kYellow); }},
    {"USD",
     [](double u, double v) -> std::uint8_t {
       if (u < 0.42 && v < 7.0 / 13) return kNavy;
       return static_cast<int>(v * 13) % 2 == 0 ? kRed : kWhite;
     }},
    {"ITL", [](double u, double) { return Vertical(u, kGreen, kWhite, kRed); }},
    {"SPN",
     [](double, double v) -> std::uint8_t { return (v < 0.25 || v >= 0.75) ? kRed : kYellow; }},
    {"ATS", [](double, double v) { return Horizontal(v, kRed, kWhite, kRed); }},
    {"NLG", [](double, double v) { return Horizontal(v, kRed, kWhite, kNavy); }},
    {"LUF", [](double, double v) { return Horizontal(v, kRed, kWhite, kAqua); }},
    {"CAD",
     [](double u, double v) -> std::uint8_t {
       if (u < 0.25 || u >= 0.75) return kRed;
       const bool leaf = std::abs(u - 0.5) * 1.5 + std::abs(v - 0.45) < 0.25;
       const bool stem = std::abs(u - 0.5) < 0.03 && v > 0.6 && v < 0.8;
       return (leaf || stem) ? kRed : kWhite;
     }},
    {"DKK", [](double u, double v) { return Nordic(u, v, kRed, kWhite); }},
    {"GBP",
     [](double u, double v) -> std::uint8_t {
       const double diagonal = std::min(std::abs(u - v), std::abs(u + v - 1));
       if (std::abs(u - 0.5) < 0.06 || std::abs(v - 0.5) < 0.1) return kRed;
       if (std::abs(u - 0.5) < 0.11 || std::abs(v - 0.5) < 0.18) return kWhite;
       if (diagonal < 0.04) return kRed;
       if (diagonal < 0.1) return kWhite;
       return kNavy;
     }},
    {"PTE",
     [](double u, double v) -> std::uint8_t {
       const double du = (u - 0.4) * 1.5, dv = v - 0.5;
       if (du * du + dv * dv < 0.04) return kYellow;
       return u < 0.4 ? kGreen : kRed;
     }},
    {"FIM", [](double u, double v) { return Nordic(u, v, kWhite, kNavy); }},
    {"SEK", [](double u, double v) { return Nordic(u, v, kBlue, kYellow); }},
    {"GRD",
     [](double u, double v) -> std::uint8_t {
       if (u < 0.37 && v < 5.0 / 9) {
         return (std::abs(u - 0.185) < 0.05 || std::abs(v - 5.0 / 18) < 0.07) ? kWhite : kBlue;
       }
       return static_cast<int>(v * 9) % 2 == 0 ? kBlue : kWhite;
     }},
    {"YEN",
     [](double u, double v) -> std::uint8_t {
       const double du = (u - 0.5) * 1.5, dv = v - 0.5;
       return du * du + dv * dv < 0.09 ? kRed : kWhite;
     }},
    {"IEP", [](double u, double) { return Vertical(u, kGreen, kWhite, kYellow); }},
};

// The circle of twelve stars on the European flag.
void PaintStars(TIndexedImage& image) {
  const double cx = image.Width() / 2.0, cy = image.Height() / 2.0;
  const double r = std::min(image.Width(), image.Height()) * 0.33;
  for (int i = 0; i < 12; ++i) {
    const double a = i * std::numbers::pi / 6;
    const int x = static_cast<int>(std::floor(cx + r * std::cos(a)));
    const int y = static_cast<int>(std::floor(cy + r * std::sin(a)));
    image.Set(x, y, kYellow);
    if (image.Height() > 20) {
      image.Set(x + 1, y, kYellow);
      image.Set(x, y + 1, kYellow);
      image.Set(x + 1, y + 1, kYellow);
    }
  }
}

TIndexedImage FlagBitmap(std::string_view code) {
  TIndexedImage image(24, 16, 4, Palette16());
  PaintFlag(image, code);
  return image;
}

// The Irish flag in 256 colours, with a darker lower and right edge.
TIndexedImage IrishFlagBitmap() {
  TIndexedImage image(24, 16, 8, Palette256());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 24; ++x) {
      const unsigned edge = (x == 23 || y == 15) ? 1 : 0;
      std::uint8_t c;
      if (x < 8) {
        c = CubeIndex(0, 3 - edge, 1);
      } else if (x < 16) {
        c = edge ? GreyIndex(19) : GreyIndex(23);
      } else {
        c = CubeIndex(5 - edge, 3 - edge, 1);
      }
      image.Set(x, y, c);
    }
  }
  return image;
}

// A coin: the flag in a circle with a grey rim, on light grey.
TIndexedImage IconBitmap(std::string_view code) {
  TIndexedImage flag(18, 18, 4, Palette16());
  PaintFlag(flag, code);
  TIndexedImage image(18, 18, 4, Palette16(), kSilver);
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) {
      const double dx = x + 0.5 - 9, dy = y + 0.5 - 9;
      if (dx * dx + dy * dy <= 8.0 * 8.0) image.Set(x, y, flag.At(x, y));
    }
  }
  image.Ring(9, 9, 8.6, 1.2, kGrey);
  return image;
}

struct TPicture {
  unsigned id;
  std::vector<unsigned char> bytes;
};

const std::vector<TPicture>& Pictures() {
  static const std::vector<TPicture> pictures = [] {
    std::vector<TPicture> all;
    for (const TCodeBitmap& flag : kFlagBitmaps) {
      all.push_back({flag.id, EncodeBitmapFile(FlagBitmap(flag.code))});
    }
    all.push_back({kTrueColourIrishFlag, EncodeBitmapFile(IrishFlagBitmap())});
    for (const TCodeBitmap& icon : kIconBitmaps) {
      all.push_back({icon.id, EncodeBitmapFile(IconBitmap(icon.code))});
    }
    return all;
  }();
  return pictures;
}

}  // namespace

bool PaintFlag(TIndexedImage& image, std::string_view code) {
  for (const TFlagPainter& painter : kPainters) {
    if (painter.code != code) continue;
    for (int y = 0; y < image.Height(); ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        image.Set(x, y, painter.paint((x + 0.5) / image.Width(), (y + 0.5) / image.Height()));
      }
    }
    if (code == "EUR") PaintStars(image);
    return true;
  }
  return false;
}

int FindEuroPicture(unsigned type, unsigned id, const unsigned char** data, std::size_t* size) {
  if (data == nullptr || size == nullptr) return kResourceUnknown;
  if (type != kResourceBitmap) return kResourceUnknown;
  try {
    for (const TPicture& picture : Pictures()) {
      if (picture.id != id) continue;
      *data = picture.bytes.data();
      *size = picture.bytes.size();
      return kResourceFound;
    }
    return kResourceUnknown;
  } catch (const std::bad_alloc&) {
    return kResourceNoMemory;
  }
}

}  // namespace ledgora::eurolib
