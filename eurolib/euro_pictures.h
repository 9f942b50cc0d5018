// The currency library's bitmaps: the flags 9001 to 9021 and the icon
// bitmaps 9100 to 9115, drawn at first request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "eurolib/picture.h"

namespace ledgora::eurolib {

struct TCodeBitmap {
  std::string_view code;
  std::uint16_t id;
};

// The flags GetIdDrapeau names ("SPN" and "YEN" as the bank writes them).
inline constexpr TCodeBitmap kFlagBitmaps[] = {
    {"EUR", 9001}, {"FRF", 9002}, {"CHF", 9003}, {"BEF", 9004}, {"DEM", 9005},
    {"USD", 9006}, {"ITL", 9007}, {"SPN", 9008}, {"ATS", 9009}, {"NLG", 9010},
    {"LUF", 9011}, {"CAD", 9012}, {"DKK", 9013}, {"GBP", 9014}, {"PTE", 9015},
    {"FIM", 9016}, {"SEK", 9017}, {"GRD", 9018}, {"YEN", 9019}, {"IEP", 9020},
};
// The further 24 x 16 flag in 256 colours (the Irish one, whose orange the
// sixteen colours lack).
inline constexpr std::uint16_t kTrueColourIrishFlag = 9021;

// The icon bitmaps, in the order of GetListeIconesOrig.
inline constexpr TCodeBitmap kIconBitmaps[] = {
    {"FRF", 9100}, {"EUR", 9113}, {"PTE", 9101}, {"IEP", 9102}, {"CHF", 9103}, {"USD", 9104},
    {"GBP", 9105}, {"GRD", 9106}, {"ITL", 9107}, {"BEF", 9108}, {"DEM", 9109}, {"SPN", 9110},
    {"ATS", 9111}, {"NLG", 9112}, {"LUF", 9115}, {"FIM", 9114},
};

// Paints the flag of a code ("FRF", "SPN", "YEN", ...) over the whole image,
// at any size, in the sixteen colours; false for a code without a flag.
bool PaintFlag(TIndexedImage& image, std::string_view code);

// A bitmap of the library (see library_api.h for the codes).
int FindEuroPicture(unsigned type, unsigned id, const unsigned char** data, std::size_t* size);

}  // namespace ledgora::eurolib
