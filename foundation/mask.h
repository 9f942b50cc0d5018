// The input mask language of the dialog fields, and its matcher.
//
//   #        a digit 0-9, as typed
//   ?        a letter, as typed            &   a letter, stored in capitals
//   !        any character, in capitals    @   any character, as typed
//   *n X     X repeated n times; without n, as many times as X matches
//   [ ... ]  an optional part              { ... }  a group
//   ,        separates the alternatives of the enclosing group, optional
//            part or of the whole mask
//   ;c       the character c as a literal
//   other    that literal, compared without regard to case (the letters of
//            Windows-1252); a typed space also stands for it; stored as the
//            mask's character
//
// A mask is well formed when its brackets and braces pair up (";" escapes
// the next character), it does not end with ";", every "*" and its count are
// followed by an element, and it nests at most kMaxMaskDepth levels.
//
// Matching has no backtracking: alternatives are tried in order and the
// first complete one is taken (the first incomplete one is kept in case none
// is complete); a repetition without count takes as many elements as match.
// Texts are UTF-8 and matched character by character; a letter is a letter of
// Windows-1252. Any byte string is accepted: a byte that is not UTF-8 is one
// character that only "!" and "@" take. A match is bounded to 2^25 steps
// (elements tried); beyond that the text is refused as Error. Only nested
// repetitions of alternatives over thousands of characters come near it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

// The results of a match. Ambiguous (complete, but the text could go on)
// and IncompleteNoFill (incomplete where literals must not be completed)
// serve inside the matcher; MatchMask reports them as Complete and
// Incomplete.
enum class TMatchResult : int {
  Complete = 0,
  Incomplete = 1,
  Empty = 2,
  Error = 3,
  SyntaxError = 4,
  Ambiguous = 5,
  IncompleteNoFill = 6,
};

// The masks of the program's amount and number fields.
// Amount without sign: digits, then optionally a comma with two, one or no
// digits.
inline constexpr std::string_view kMaskAmount = "*#[{;,##,;,#,;,}]";
// The same with an optional leading minus.
inline constexpr std::string_view kMaskSignedAmount = "[-]*#[{;,##,;,#,;,}]";
// Signed whole number.
inline constexpr std::string_view kMaskSignedInteger = "[-]*#";
// Signed number with a comma and any number of decimals, or a trailing
// comma (an amount in another currency).
inline constexpr std::string_view kMaskSignedDecimals = "[-]*#{;,*#,;,}";

inline constexpr int kMaxMaskDepth = 64;

// A mask compiled once for many matches.
class TMask {
 public:
  // The empty mask: it matches the empty text only.
  TMask();
  ~TMask();
  TMask(const TMask&);
  TMask(TMask&&) noexcept;
  TMask& operator=(const TMask&);
  TMask& operator=(TMask&&) noexcept;
  // None when the mask is not well formed.
  static std::optional<TMask> Compile(std::string_view mask);

  const std::string& Text() const { return text_; }
  bool IsEmpty() const { return text_.empty(); }

  // Matches text against the mask and reports Complete, Incomplete, Empty or
  // Error. Unless the result is Error, the matched characters are stored as
  // the mask says (capitals, the mask's literals). With complete_literals and
  // an incomplete text, the literals that the mask expects next (up to its
  // next special character) are appended to text and the text is matched
  // again.
  TMatchResult Match(std::string& text, bool complete_literals) const;

  struct Node;  // the compiled form

 private:
  std::string text_;
  std::vector<Node> nodes_;  // nodes_[0]: the alternatives of the whole mask
};

bool IsWellFormedMask(std::string_view mask);

// One match with a mask given as text: SyntaxError when it is not well
// formed, otherwise as TMask::Match.
TMatchResult MatchMask(std::string_view mask, std::string& text, bool complete_literals);

}  // namespace ledgora
