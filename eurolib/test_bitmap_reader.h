// Reads back the headers of the bitmap and icon files the libraries hand
// out, checking that every size and offset is consistent with the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ledgora::testing {

inline std::uint32_t Le(const unsigned char* p, int width) {
  std::uint32_t v = 0;
  for (int i = width; i-- > 0;) v = (v << 8) | p[i];
  return v;
}

struct TBitmapInfo {
  int width = 0, height = 0, bits = 0;
  std::uint32_t colours = 0;
  std::set<std::uint32_t> used;  // distinct pixel values
};

// The information header at p (of `available` bytes) and the pixels after
// its palette; `rows` is the count of colour rows (an icon image's header
// says twice its height).
inline std::optional<TBitmapInfo> ReadInfo(const unsigned char* p, std::size_t available,
                                           int rows_divisor) {
  if (available < 40 || Le(p, 4) != 40) return std::nullopt;
  TBitmapInfo info;
  info.width = static_cast<int>(Le(p + 4, 4));
  info.height = static_cast<int>(Le(p + 8, 4)) / rows_divisor;
  info.bits = static_cast<int>(Le(p + 14, 2));
  if (Le(p + 12, 2) != 1 || Le(p + 16, 4) != 0) return std::nullopt;  // one plane, no packing
  info.colours = Le(p + 32, 4);
  if (info.bits <= 8 && info.colours == 0) info.colours = 1u << info.bits;
  if (info.bits > 8) info.colours = 0;
  const std::size_t row_bytes = ((static_cast<std::size_t>(info.width) * info.bits + 31) / 32) * 4;
  const std::size_t pixels = 40 + 4 * static_cast<std::size_t>(info.colours);
  if (available < pixels + row_bytes * info.height) return std::nullopt;
  for (int y = 0; y < info.height; ++y) {
    const unsigned char* row = p + pixels + row_bytes * y;
    for (int x = 0; x < info.width; ++x) {
      std::uint32_t v = 0;
      if (info.bits == 4) v = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
      if (info.bits == 8) v = row[x];
      if (info.bits == 32) v = Le(row + 4 * x, 4);
      info.used.insert(v);
    }
  }
  return info;
}

// A complete bitmap file.
inline std::optional<TBitmapInfo> ReadBitmapFile(const unsigned char* data, std::size_t size) {
  if (size < 54 || data[0] != 'B' || data[1] != 'M' || Le(data + 2, 4) != size) return std::nullopt;
  const auto info = ReadInfo(data + 14, size - 14, 1);
  if (!info || Le(data + 10, 4) != 14 + 40 + 4 * info->colours) return std::nullopt;
  return info;
}

// A complete icon file: its images in order.
inline std::optional<std::vector<TBitmapInfo>> ReadIconFile(const unsigned char* data,
                                                            std::size_t size) {
  if (size < 6 || Le(data, 2) != 0 || Le(data + 2, 2) != 1) return std::nullopt;
  const std::uint32_t count = Le(data + 4, 2);
  if (size < 6 + 16 * count) return std::nullopt;
  std::vector<TBitmapInfo> images;
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* entry = data + 6 + 16 * i;
    const std::uint32_t bytes = Le(entry + 8, 4), offset = Le(entry + 12, 4);
    if (offset > size || bytes > size - offset) return std::nullopt;
    auto info = ReadInfo(data + offset, bytes, 2);
    if (!info || info->width != entry[0] || info->height != entry[1] ||
        static_cast<int>(Le(entry + 6, 2)) != info->bits) {
      return std::nullopt;
    }
    images.push_back(*info);
  }
  return images;
}

}  // namespace ledgora::testing
