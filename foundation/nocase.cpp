#include "foundation/nocase.h"

#include "foundation/cp1252.h"

namespace ledgora {
namespace {

// Base letter of a Latin-1 letter, for the primary ordering key.
char32_t BaseLetter(char32_t cp) {
  cp = FoldLower(cp);
  if (cp < 0xE0) {
    switch (cp) {
      case 0x0161:
        return 's';  // š
      case 0x0153:
        return 'o';  // œ
      case 0x017E:
        return 'z';  // ž
      default:
        return cp;
    }
  }
  if (cp > 0xFF) return cp;
  static constexpr char kBase[] =
      "aaaaaaaceeeeiiii"   // E0..EF: à á â ã ä å æ ç è é ê ë ì í î ï
      "dnooooo/ouuuuyty";  // F0..FF: ð ñ ò ó ô õ ö ÷ ø ù ú û ü ý þ ÿ
  return static_cast<unsigned char>(kBase[cp - 0xE0]);
}

}  // namespace

char32_t FoldUpper(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  switch (cp) {
    case 0x0161:
      return 0x0160;  // š
    case 0x0153:
      return 0x0152;  // œ
    case 0x017E:
      return 0x017D;  // ž
    case 0x00FF:
      return 0x0178;  // ÿ
    default:
      return cp;
  }
}

char32_t FoldLower(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  switch (cp) {
    case 0x0160:
      return 0x0161;
    case 0x0152:
      return 0x0153;
    case 0x017D:
      return 0x017E;
    case 0x0178:
      return 0x00FF;
    default:
      return cp;
  }
}

std::string ToUpperNoCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) AppendUtf8(out, FoldUpper(DecodeUtf8At(s, pos)));
  return out;
}

std::string ToLowerNoCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) AppendUtf8(out, FoldLower(DecodeUtf8At(s, pos)));
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[j]);
    if (ca < 0x80 && cb < 0x80) {
      if (FoldLower(ca) != FoldLower(cb)) return false;
      ++i;
      ++j;
      continue;
    }
    if (FoldLower(DecodeUtf8At(a, i)) != FoldLower(DecodeUtf8At(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

int CompareNoCase(std::string_view a, std::string_view b) {
  // Primary key: base letters, case-folded.
  int tie = 0;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = FoldLower(DecodeUtf8At(a, i));
    const char32_t cb = FoldLower(DecodeUtf8At(b, j));
    if (ca == cb) continue;
    const char32_t ba = BaseLetter(ca);
    const char32_t bb = BaseLetter(cb);
    if (ba != bb) return ba < bb ? -1 : 1;
    if (tie == 0) tie = ca < cb ? -1 : 1;  // same base letter, other accent
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return tie;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  std::size_t i = 0, j = 0;
  while (j < prefix.size()) {
    if (i >= text.size()) return false;
    if (FoldLower(DecodeUtf8At(text, i)) != FoldLower(DecodeUtf8At(prefix, j))) return false;
  }
  return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  const std::size_t n = Utf8Length(suffix);
  const std::size_t len = Utf8Length(text);
  if (n > len) return false;
  const std::size_t start = Utf8PrefixBytes(text, len - n);
  return EqualsNoCase(text.substr(start), suffix);
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return 0;
  std::size_t pos = 0;
  while (pos < haystack.size()) {
    if (StartsWithNoCase(haystack.substr(pos), needle)) return pos;
    DecodeUtf8At(haystack, pos);
  }
  return std::string_view::npos;
}

}  // namespace ledgora
