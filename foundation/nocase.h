// Comparison of texts without regard to case.
//
// "Without regard to case" folds the letters of Windows-1252, accented ones
// included: "é" equals "É", but "é" does not equal "e". Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace ledgora {

// Upper and lower case of one code point, for the letters of Windows-1252
// (ASCII, Latin-1, Š Œ Ž Ÿ); other code points are returned unchanged.
char32_t FoldUpper(char32_t cp);
char32_t FoldLower(char32_t cp);

std::string ToUpperNoCase(std::string_view utf8);
std::string ToLowerNoCase(std::string_view utf8);

bool EqualsNoCase(std::string_view a, std::string_view b);

// Ordering for sorted lists (accounts, categories, associations, ...):
// 0 exactly when EqualsNoCase; otherwise letters compare by their base letter
// first ("école" sorts between "eau" and "fruit"), then by their accent.
int CompareNoCase(std::string_view a, std::string_view b);

bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Position (in bytes) of the first occurrence of needle, or npos.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle);

}  // namespace ledgora
