// The version block: what stands in for the version resource of a library
// file.
//
// Each of the two shared libraries carries one block in its own ELF section
// ".ledgora.version" (allocated and read-only, so that stripping keeps it),
// and reads it back from its file on disk, as the version-information
// functions of the original platform read a file's version resource. A block
// is a list of values named by paths, the names those functions query:
//
//   "\VarFileInfo\Translation"               4 bytes: language, code page
//                                            (two little-endian 16-bit words)
//   "\StringFileInfo\040c04b0\ProductVersion" text, without terminator
//   "\StringFileInfo\040c04b0\FileVersion"    text, ...
//
// Byte layout (integers little-endian):
//
//   offset  size  field
//   0       8     magic "LDVRSBLK"
//   8       4     size of the whole block in bytes, magic included
//   12      4     number of entries
//   16      ...   entries, one after the other:
//                   2   length P of the path
//                   P   the path (ASCII, "\"-separated)
//                   2   length V of the value
//                   V   the value's bytes
//
// Paths are compared without regard to case. A block whose sizes do not add
// up is no block at all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ledgora::eurolib {

inline constexpr std::string_view kVersionBlockMagic = "LDVRSBLK";
inline constexpr const char* kVersionSectionName = ".ledgora.version";

struct TVersionEntry {
  std::string_view path;
  std::string_view value;
};

constexpr std::size_t VersionBlockSize(std::span<const TVersionEntry> entries) {
  std::size_t size = 16;
  for (const TVersionEntry& e : entries) size += 4 + e.path.size() + e.value.size();
  return size;
}

// Writes the block of the entries; N must be VersionBlockSize(entries).
// Usable at compile time, so that a library's block is constant data.
template <std::size_t N>
constexpr std::array<unsigned char, N> BuildVersionBlock(std::span<const TVersionEntry> entries) {
  std::array<unsigned char, N> block{};
  std::size_t p = 0;
  auto put16 = [&](std::size_t v) {
    block[p++] = static_cast<unsigned char>(v & 0xFF);
    block[p++] = static_cast<unsigned char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](std::size_t v) {
    put16(v & 0xFFFF);
    put16((v >> 16) & 0xFFFF);
  };
  auto put = [&](std::string_view bytes) {
    for (char c : bytes) block[p++] = static_cast<unsigned char>(c);
  };
  put(kVersionBlockMagic);
  put32(N);
  put32(entries.size());
  for (const TVersionEntry& e : entries) {
    put16(e.path.size());
    put(e.path);
    put16(e.value.size());
    put(e.value);
  }
  return block;
}

// The same at run time (tests build odd blocks with it).
std::string BuildVersionBlockText(std::span<const TVersionEntry> entries);

// The stand-in for asking a file's version information: the contents of the
// file's ".ledgora.version" section, or none when the file cannot be read,
// is not an ELF file, or has no such section.
std::optional<std::string> ReadVersionBlock(const std::string& file);

// The value at a path, or none.
std::optional<std::string_view> QueryVersionValue(std::string_view block, std::string_view path);

// The product version of a block: the first translation of
// "\VarFileInfo\Translation" (else "\VarFileInfo\Traduction"), its two
// halves swapped so that it prints as language then code page ("040c04b0"),
// and the value "\StringFileInfo\<that>\ProductVersion" cut to 20
// characters. None when a step finds nothing.
std::optional<std::string> ProductVersionOf(std::string_view block);

}  // namespace ledgora::eurolib
