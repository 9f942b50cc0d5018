// Windows-1252 codec and UTF-8 helpers.
//
// Strings live in memory as UTF-8; every file of the system (books, exchange
// files, profiles) is Windows-1252 on disk. The conversion happens where a
// file is read or written, with these functions and nowhere else.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ledgora {

// Bytes of Windows-1252 to UTF-8. The five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, as Windows does, so that any byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252. A character that Windows-1252 cannot hold, and any
// byte that is not valid UTF-8, is written as "?".
std::string Utf8ToCp1252(std::string_view utf8);

// The Windows-1252 byte of one Unicode code point, or '?' when it has none.
char CodePointToCp1252(char32_t cp);
// The code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// Number of characters (code points) of a UTF-8 text; an invalid byte counts
// as one character.
std::size_t Utf8Length(std::string_view utf8);

// The first max_chars characters of a UTF-8 text (never cuts a character).
std::string_view Utf8Prefix(std::string_view utf8, std::size_t max_chars);

// Byte length of the first n characters of a UTF-8 text (all of it if shorter).
std::size_t Utf8PrefixBytes(std::string_view utf8, std::size_t n);

// Decodes the character at pos; advances pos. An invalid byte decodes as
// U+FFFD and advances by one.
char32_t DecodeUtf8At(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace ledgora
