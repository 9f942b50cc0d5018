#include "storage/record_buffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "foundation/cp1252.h"

namespace ledgora {

std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void StoreU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

void StoreU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::string LoadText(const std::uint8_t* p, std::size_t width) {
  if (width == 0) return {};
  // At most width - 1 characters: the last byte is the terminator's place.
  const auto* start = reinterpret_cast<const char*>(p);
  const void* nul = std::memchr(start, 0, width - 1);
  const std::size_t n =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - start) : width - 1;
  bool ascii = true;
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return std::string(start, n);
  return Cp1252ToUtf8(std::string_view(start, n));
}

void StoreText(std::uint8_t* p, std::size_t width, std::string_view utf8) {
  if (width == 0) return;
  std::memset(p, 0, width);
  const std::string bytes = Utf8ToCp1252(utf8);
  std::memcpy(p, bytes.data(), std::min(bytes.size(), width - 1));
}

std::optional<TScrambleKey> MakeScrambleKey(std::string_view password) {
  if (password.empty()) return std::nullopt;
  TScrambleKey key{};
  for (std::size_t i = 0; i < key.size(); ++i) {
    key[i] = static_cast<std::uint8_t>(kScrambleTable[i] +
                                       static_cast<std::uint8_t>(password[i % password.size()]));
  }
  return key;
}

std::array<std::uint8_t, 9> ScramblePasswordField(std::string_view password) {
  std::array<std::uint8_t, 9> field{};
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto plain = i < 8 && i < password.size() ? static_cast<std::uint8_t>(password[i]) : 0;
    field[i] = static_cast<std::uint8_t>(plain + kScrambleTable[i]);
  }
  return field;
}

std::string UnscramblePasswordField(const std::uint8_t* field) {
  std::string out;
  for (std::size_t i = 0; i < 8; ++i) {
    const auto plain = static_cast<std::uint8_t>(field[i] - kScrambleTable[i]);
    if (plain == 0) break;
    out.push_back(static_cast<char>(plain));
  }
  return out;
}

void TRecordBuffer::Reset(std::size_t size) {
  if (size > kMaxPayloadSize) throw std::logic_error("record payload too large");
  size_ = size;
  position_ = 0;
  key_position_ = 0;
  std::memset(bytes_.data(), 0, size);
}

std::uint8_t* TRecordBuffer::Claim(std::size_t n) {
  if (position_ + n > size_) throw std::logic_error("record field beyond its payload");
  std::uint8_t* p = bytes_.data() + position_;
  position_ += n;
  return p;
}

const std::uint8_t* TRecordBuffer::Take(std::size_t n) {
  static const std::array<std::uint8_t, kMaxPayloadSize> zeros{};
  if (position_ + n > size_) {
    position_ = size_;
    return zeros.data();
  }
  const std::uint8_t* p = bytes_.data() + position_;
  position_ += n;
  return p;
}

std::uint32_t TRecordBuffer::GetU32() {
  return LoadU32(Take(4));
}
std::uint16_t TRecordBuffer::GetU16() {
  return LoadU16(Take(2));
}

double TRecordBuffer::GetDouble() {
  const std::uint8_t* p = Take(8);
  const std::uint64_t bits =
      static_cast<std::uint64_t>(LoadU32(p)) | static_cast<std::uint64_t>(LoadU32(p + 4)) << 32;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

std::string TRecordBuffer::GetText(std::size_t width) {
  return LoadText(Take(width), width);
}

KDate TRecordBuffer::GetDate() {
  const std::uint8_t* p = Take(11);
  if (p[0] == 0) return KDate();
  const auto digit = [&](int i) { return p[i] >= '0' && p[i] <= '9'; };
  const auto value = [&](int i) { return static_cast<unsigned>(p[i] - '0'); };
  // The form every writer uses, "dd/mm/yyyy", read directly: opening a large
  // book reads one date per operation.
  if (digit(0) && digit(1) && digit(3) && digit(4) && digit(6) && digit(7) && digit(8) &&
      digit(9) && p[10] == 0 && p[2] == p[5]) {
    const unsigned day = value(0) * 10 + value(1);
    const unsigned month = value(3) * 10 + value(4);
    const unsigned year = value(6) * 1000 + value(7) * 100 + value(8) * 10 + value(9);
    if (year >= 100 && KDate::IsValidDate(month, day, year)) {
      return KDate::FromDayNumber(KDate::ToDayNumber(month, day, year), static_cast<char>(p[2]));
    }
  }
  return KDate::FromText(LoadText(p, 11), KD_STANDARD);
}

void TRecordBuffer::Skip(std::size_t n) {
  Take(n);
}

void TRecordBuffer::PutU32(std::uint32_t v) {
  StoreU32(Claim(4), v);
}
void TRecordBuffer::PutU16(std::uint16_t v) {
  StoreU16(Claim(2), v);
}

void TRecordBuffer::PutDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  std::uint8_t* p = Claim(8);
  StoreU32(p, static_cast<std::uint32_t>(bits));
  StoreU32(p + 4, static_cast<std::uint32_t>(bits >> 32));
}

void TRecordBuffer::PutText(std::string_view utf8, std::size_t width) {
  StoreText(Claim(width), width, utf8);
}

void TRecordBuffer::PutDate(const KDate& date) {
  std::uint8_t* p = Claim(11);
  std::memset(p, 0, 11);
  if (!date.IsValid()) return;
  char text[32] = {};
  const std::size_t n = date.Format(text, KD_STANDARD);
  std::memcpy(p, text, std::min<std::size_t>(n, 10));
}

void TRecordBuffer::PutZeros(std::size_t n) {
  std::memset(Claim(n), 0, n);
}

void TRecordBuffer::Scramble(const TScrambleKey& key) {
  for (std::size_t k = 0; k < size_; ++k) {
    bytes_[k] = static_cast<std::uint8_t>(bytes_[k] + key[(key_position_ + k) % 16]);
  }
}

void TRecordBuffer::Unscramble(const TScrambleKey& key) {
  for (std::size_t k = 0; k < size_; ++k) {
    bytes_[k] = static_cast<std::uint8_t>(bytes_[k] - key[(key_position_ + k) % 16]);
  }
}

}  // namespace ledgora
