#include "foundation/charset_validator.h"

#include <optional>
#include <vector>

#include "foundation/cp1252.h"

namespace ledgora {
namespace {

// The Windows-1252 byte of a character, or none.
std::optional<unsigned char> ByteOf(char32_t c) {
  const char byte = CodePointToCp1252(c);
  if (byte == '?' && c != U'?') return std::nullopt;
  return static_cast<unsigned char>(byte);
}

}  // namespace

TCharSetValidator::TCharSetValidator(std::string_view set, TRequiredMode mode, TUserPort* port)
    : TValidator(mode, port) {
  struct TItem {
    char32_t c;
    bool plain;  // escaped with "\"
  };
  std::vector<TItem> items;
  std::size_t pos = 0;
  while (pos < set.size()) {
    const char32_t c = DecodeUtf8At(set, pos);
    if (c == U'\\' && pos < set.size()) {
      items.push_back({DecodeUtf8At(set, pos), true});
    } else {
      items.push_back({c, false});  // a "\" at the very end stands for itself
    }
  }
  for (std::size_t k = 0; k < items.size(); ++k) {
    const TItem& item = items[k];
    const bool range = !item.plain && item.c == U'-' && k > 0 && k + 1 < items.size();
    if (!range) {
      if (const auto b = ByteOf(item.c)) set_.set(*b);
      continue;
    }
    const auto from = ByteOf(items[k - 1].c);
    const auto to = ByteOf(items[k + 1].c);
    ++k;  // the range's end is taken here
    if (!from || !to) {
      if (to) set_.set(*to);
      continue;
    }
    const unsigned low = *from < *to ? *from : *to;
    const unsigned high = *from < *to ? *to : *from;
    for (unsigned b = low; b <= high; ++b) set_.set(b);
  }
}

bool TCharSetValidator::Contains(char32_t c) const {
  const auto b = ByteOf(c);
  return b && set_.test(*b);
}

bool TCharSetValidator::AllInSet(std::string_view text) const {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!Contains(DecodeUtf8At(text, pos))) return false;
  }
  return true;
}

bool TCharSetValidator::CheckTyping(std::string& text, bool /*suppress_completion*/) const {
  return AllInSet(text);
}

std::string TCharSetValidator::ErrorText() const {
  return "Caractère saisi non valide !";
}

}  // namespace ledgora
