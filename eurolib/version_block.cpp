#include "eurolib/version_block.h"

#include <cstdio>
#include <fstream>

namespace ledgora::eurolib {

namespace {

// Bounds on what a damaged or foreign file can make us read.
constexpr std::uint64_t kMaxTableBytes = 4u << 20;
constexpr std::uint64_t kMaxBlockBytes = 1u << 20;

std::uint64_t Little(std::string_view bytes, std::size_t offset, std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t i = width; i-- > 0;) {
    v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return v;
}

class TFileReader {
 public:
  explicit TFileReader(const std::string& path) : in_(path, std::ios::binary) {
    if (in_) {
      in_.seekg(0, std::ios::end);
      const std::streamoff end = in_.tellg();
      size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
  }
  bool IsOpen() const { return static_cast<bool>(in_); }

  std::optional<std::string> Read(std::uint64_t offset, std::uint64_t length) {
    if (offset > size_ || length > size_ - offset) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    if (!in_.read(bytes.data(), static_cast<std::streamsize>(length))) return std::nullopt;
    return bytes;
  }

 private:
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SamePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string BuildVersionBlockText(std::span<const TVersionEntry> entries) {
  std::string block;
  auto put16 = [&](std::size_t v) {
    block.push_back(static_cast<char>(v & 0xFF));
    block.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  block.append(kVersionBlockMagic);
  const std::size_t size = VersionBlockSize(entries);
  put16(size & 0xFFFF);
  put16((size >> 16) & 0xFFFF);
  put16(entries.size() & 0xFFFF);
  put16((entries.size() >> 16) & 0xFFFF);
  for (const TVersionEntry& e : entries) {
    put16(e.path.size());
    block.append(e.path);
    put16(e.value.size());
    block.append(e.value);
  }
  return block;
}

std::optional<std::string> ReadVersionBlock(const std::string& file) {
  TFileReader reader(file);
  if (!reader.IsOpen()) return std::nullopt;
  const auto ident = reader.Read(0, 64);
  if (!ident || ident->compare(0, 4,
                               "\x7f"
                               "ELF") != 0)
    return std::nullopt;
  const unsigned char elf_class = static_cast<unsigned char>((*ident)[4]);
  if ((*ident)[5] != 1) return std::nullopt;  // little-endian files only
  const bool wide = elf_class == 2;
  if (!wide && elf_class != 1) return std::nullopt;
  const std::string_view header(*ident);

  // The section header table and the table of section names.
  const std::uint64_t table_offset = wide ? Little(header, 40, 8) : Little(header, 32, 4);
  const std::uint64_t entry_size = Little(header, wide ? 58 : 46, 2);
  const std::uint64_t count = Little(header, wide ? 60 : 48, 2);
  const std::uint64_t names_index = Little(header, wide ? 62 : 50, 2);
  const std::uint64_t min_entry = wide ? 64 : 40;
  if (entry_size < min_entry || count == 0 || names_index >= count ||
      entry_size * count > kMaxTableBytes) {
    return std::nullopt;
  }
  const auto table = reader.Read(table_offset, entry_size * count);
  if (!table) return std::nullopt;
  const std::string_view sections(*table);
  struct TSection {
    std::uint64_t name, type, offset, size;
  };
  auto section = [&](std::uint64_t i) {
    const std::size_t base = static_cast<std::size_t>(i * entry_size);
    TSection s;
    s.name = Little(sections, base, 4);
    s.type = Little(sections, base + 4, 4);
    s.offset = wide ? Little(sections, base + 24, 8) : Little(sections, base + 16, 4);
    s.size = wide ? Little(sections, base + 32, 8) : Little(sections, base + 20, 4);
    return s;
  };
  constexpr std::uint64_t kNoBits = 8;
  const TSection names_section = section(names_index);
  if (names_section.type == kNoBits || names_section.size > kMaxTableBytes) return std::nullopt;
  const auto names = reader.Read(names_section.offset, names_section.size);
  if (!names) return std::nullopt;

  const std::string_view wanted(kVersionSectionName);
  for (std::uint64_t i = 0; i < count; ++i) {
    const TSection s = section(i);
    if (s.name >= names->size()) continue;
    const std::size_t end = names->find('\0', static_cast<std::size_t>(s.name));
    if (end == std::string::npos) continue;
    if (std::string_view(*names).substr(static_cast<std::size_t>(s.name), end - s.name) != wanted) {
      continue;
    }
    if (s.type == kNoBits || s.size > kMaxBlockBytes) return std::nullopt;
    return reader.Read(s.offset, s.size);
  }
  return std::nullopt;
}

std::optional<std::string_view> QueryVersionValue(std::string_view block, std::string_view path) {
  if (block.size() < 16 || block.substr(0, kVersionBlockMagic.size()) != kVersionBlockMagic) {
    return std::nullopt;
  }
  const std::uint64_t size = Little(block, 8, 4);
  if (size < 16 || size > block.size()) return std::nullopt;
  block = block.substr(0, static_cast<std::size_t>(size));
  const std::uint64_t count = Little(block, 12, 4);
  std::size_t p = 16;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (block.size() - p < 2) return std::nullopt;
    const std::size_t path_size = static_cast<std::size_t>(Little(block, p, 2));
    p += 2;
    if (block.size() - p < path_size + 2) return std::nullopt;
    const std::string_view entry_path = block.substr(p, path_size);
    p += path_size;
    const std::size_t value_size = static_cast<std::size_t>(Little(block, p, 2));
    p += 2;
    if (block.size() - p < value_size) return std::nullopt;
    if (SamePath(entry_path, path)) return block.substr(p, value_size);
    p += value_size;
  }
  return std::nullopt;
}

std::optional<std::string> ProductVersionOf(std::string_view block) {
  // Step 4: the first translation entry.
  auto translation = QueryVersionValue(block, "\\VarFileInfo\\Translation");
  if (!translation) translation = QueryVersionValue(block, "\\VarFileInfo\\Traduction");
  if (!translation || translation->size() < 4) return std::nullopt;
  // The entry is two words, language then code page; read as one
  // little-endian double word the code page is the high half, so the halves
  // are swapped to print language first.
  const std::uint32_t entry = static_cast<std::uint32_t>(Little(*translation, 0, 4));
  const std::uint32_t swapped = (entry << 16) | (entry >> 16);

  // Step 5: the product version of that string table.
  char path[64];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%08lx\\%s",
                static_cast<unsigned long>(swapped), "ProductVersion");
  const auto value = QueryVersionValue(block, path);
  if (!value) return std::nullopt;
  std::string_view text = *value;
  text = text.substr(0, text.find('\0'));
  return std::string(text.substr(0, 20));
}

}  // namespace ledgora::eurolib
