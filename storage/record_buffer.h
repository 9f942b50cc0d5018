// TRecordBuffer: one record payload between the file and the fields.
//
// Payload encoding: integers little-endian, doubles IEEE-754 64-bit, texts
// Windows-1252 NUL-terminated in a fixed field (a field of n bytes holds at
// most n - 1 characters; bytes after the terminator are written as zeros and
// ignored on reading), dates 11-byte KDate texts "dd/mm/yyyy" with the
// date's own separator, a first byte 0 meaning "no date".
//
// Book scrambling: when the book has a password, payload byte k is stored as
// plain + key[(key position + k) mod 16]; frames and the header are never
// scrambled. The key is built from the constant table and the password.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/kdate.h"

namespace ledgora {

// The largest payload of any record type in any version (the account's).
inline constexpr std::size_t kMaxPayloadSize = 200;

// The constant table of the book scrambling. Part of the file format: books
// with a password written by another program open only with these values.
inline constexpr std::array<std::uint8_t, 16> kScrambleTable = {
    0x5A, 0x1F, 0xC3, 0x77, 0x08, 0xE4, 0x92, 0x3D, 0xB6, 0x41, 0x6E, 0xD9, 0x25, 0x8B, 0xF0, 0x13,
};

using TScrambleKey = std::array<std::uint8_t, 16>;

// key[i] = table[i] + password[i mod length], bytes modulo 256; the password
// is given in Windows-1252. An empty password gives no key (no scrambling).
std::optional<TScrambleKey> MakeScrambleKey(std::string_view password_cp1252);

// The 9-byte password field of the header: password[i] + table[i] for the
// nine bytes of the NUL-padded password (at most 8 characters kept), and back.
std::array<std::uint8_t, 9> ScramblePasswordField(std::string_view password_cp1252);
std::string UnscramblePasswordField(const std::uint8_t* field);

class TRecordBuffer {
 public:
  explicit TRecordBuffer(std::size_t size = 0) { Reset(size); }

  // Empties the buffer to size zero bytes (at most kMaxPayloadSize) and
  // moves the position to its start.
  void Reset(std::size_t size);
  std::size_t Size() const { return size_; }
  std::size_t Position() const { return position_; }
  std::uint8_t* Data() { return bytes_.data(); }
  const std::uint8_t* Data() const { return bytes_.data(); }
  std::size_t KeyPosition() const { return key_position_; }

  // Readers advance the position; past the end they give zeros.
  std::uint32_t GetU32();
  std::uint16_t GetU16();
  double GetDouble();
  // A text field of width bytes, as UTF-8.
  std::string GetText(std::size_t width);
  // An 11-byte date field; "no date" gives an invalid KDate.
  KDate GetDate();
  void Skip(std::size_t n);

  // Writers advance the position; writing past the end is a programming
  // error (std::logic_error).
  void PutU32(std::uint32_t v);
  void PutU16(std::uint16_t v);
  void PutDouble(double v);
  // utf8 converted to Windows-1252 and cut to width - 1 characters.
  void PutText(std::string_view utf8, std::size_t width);
  void PutDate(const KDate& date);
  void PutZeros(std::size_t n);

  void Scramble(const TScrambleKey& key);
  void Unscramble(const TScrambleKey& key);

 private:
  std::uint8_t* Claim(std::size_t n);
  const std::uint8_t* Take(std::size_t n);

  std::array<std::uint8_t, kMaxPayloadSize> bytes_{};
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::size_t key_position_ = 0;
};

// Field codecs shared with the header, on raw bytes.
std::uint32_t LoadU32(const std::uint8_t* p);
std::uint16_t LoadU16(const std::uint8_t* p);
void StoreU32(std::uint8_t* p, std::uint32_t v);
void StoreU16(std::uint8_t* p, std::uint16_t v);
// A NUL-terminated Windows-1252 field of width bytes as UTF-8, and back
// (cut to width - 1 characters, zero-filled).
std::string LoadText(const std::uint8_t* p, std::size_t width);
void StoreText(std::uint8_t* p, std::size_t width, std::string_view utf8);

}  // namespace ledgora
