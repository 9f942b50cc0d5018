#include "foundation/mask.h"

#include <utility>

#include "foundation/cp1252.h"
#include "foundation/nocase.h"

namespace ledgora {

struct TMask::Node {
  enum class Kind { Digit, Letter, LetterUpper, AnyUpper, Any, Literal, Optional, Group, Repeat };
  Kind kind = Kind::Literal;
  std::uint32_t offset = 0;  // byte offset of the element in the mask text
  char32_t literal = 0;
  bool bounded = false;                        // Repeat: with a count
  std::uint32_t count = 0;                     // Repeat
  int child = -1;                              // Repeat
  std::vector<std::vector<int>> alternatives;  // Optional, Group
};

namespace {

using Node = TMask::Node;
using Kind = TMask::Node::Kind;

// A count beyond this is taken as this: no text is that long.
constexpr std::uint32_t kMaxCount = 1'000'000'000;
// Steps (elements matched) one match may take. Matching has no backtracking,
// but nested repetitions of alternatives can rescan a long text many times;
// a pathological mask on a long text is refused as an error instead of
// hanging the dialog. The program's masks take a few steps per character.
constexpr long kMaxSteps = 1L << 25;  // some 50 ms

bool IsSpecial(char32_t c) {
  switch (c) {
    case '#':
    case '?':
    case '&':
    case '!':
    case '@':
    case '*':
    case '{':
    case '}':
    case '[':
    case ']':
    case ',':
      return true;
    default:
      return false;
  }
}

// The letters of Windows-1252.
bool IsLetter(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0 && c <= 0xFF) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x0160:
    case 0x0161:
    case 0x0152:
    case 0x0153:
    case 0x017D:
    case 0x017E:
    case 0x0178:
    case 0x0192:
    case 0x00AA:
    case 0x00B5:
    case 0x00BA:
      return true;
    default:
      return false;
  }
}

struct TDecoded {
  std::vector<char32_t> chars;
  std::vector<std::uint32_t> offsets;  // size chars + 1: the end as well
};

TDecoded Decode(std::string_view text) {
  TDecoded d;
  std::size_t pos = 0;
  while (pos < text.size()) {
    d.offsets.push_back(static_cast<std::uint32_t>(pos));
    d.chars.push_back(DecodeUtf8At(text, pos));
  }
  d.offsets.push_back(static_cast<std::uint32_t>(text.size()));
  return d;
}

class TParser {
 public:
  TParser(std::string_view mask, std::vector<Node>& nodes) : mask_(Decode(mask)), nodes_(nodes) {}

  bool Run() {
    nodes_.clear();
    nodes_.push_back(Node{});
    nodes_[0].kind = Kind::Group;
    return Alternatives(0, 0, 0) && i_ == mask_.chars.size();
  }

 private:
  // The alternatives of node `owner`, up to `closer` (0: the mask's end).
  bool Alternatives(int owner, char32_t closer, int depth) {
    std::vector<std::vector<int>> alternatives(1);
    while (true) {
      if (i_ == mask_.chars.size()) {
        if (closer != 0) return false;  // "[" or "{" left open
        break;
      }
      const char32_t c = mask_.chars[i_];
      if (c == ',') {
        ++i_;
        alternatives.emplace_back();
        continue;
      }
      if (c == ']' || c == '}') {
        if (c != closer) return false;  // closes nothing, or the wrong one
        ++i_;
        break;
      }
      const int element = Element(depth);
      if (element < 0) return false;
      alternatives.back().push_back(element);
    }
    nodes_[owner].alternatives = std::move(alternatives);
    return true;
  }

  int Add(Kind kind, std::uint32_t offset) {
    Node n;
    n.kind = kind;
    n.offset = offset;
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size()) - 1;
  }

  int Element(int depth) {
    const std::uint32_t offset = mask_.offsets[i_];
    const char32_t c = mask_.chars[i_++];
    switch (c) {
      case '#':
        return Add(Kind::Digit, offset);
      case '?':
        return Add(Kind::Letter, offset);
      case '&':
        return Add(Kind::LetterUpper, offset);
      case '!':
        return Add(Kind::AnyUpper, offset);
      case '@':
        return Add(Kind::Any, offset);
      case ';': {
        if (i_ == mask_.chars.size()) return -1;  // ends with ";"
        const int n = Add(Kind::Literal, offset);
        nodes_[n].literal = mask_.chars[i_++];
        return n;
      }
      case '*': {
        if (depth >= kMaxMaskDepth) return -1;
        bool bounded = false;
        std::uint32_t count = 0;
        while (i_ < mask_.chars.size() && mask_.chars[i_] >= '0' && mask_.chars[i_] <= '9') {
          bounded = true;
          count = count > kMaxCount / 10 ? kMaxCount : count * 10 + (mask_.chars[i_] - '0');
          if (count > kMaxCount) count = kMaxCount;
          ++i_;
        }
        // "*" needs an element: at the end, or before "," "]" "}", it has none.
        if (i_ == mask_.chars.size()) return -1;
        const char32_t next = mask_.chars[i_];
        if (next == ',' || next == ']' || next == '}') return -1;
        const int child = Element(depth + 1);
        if (child < 0) return -1;
        const int n = Add(Kind::Repeat, offset);
        nodes_[n].bounded = bounded;
        nodes_[n].count = count;
        nodes_[n].child = child;
        return n;
      }
      case '[':
      case '{': {
        if (depth >= kMaxMaskDepth) return -1;
        const int n = Add(c == '[' ? Kind::Optional : Kind::Group, offset);
        if (!Alternatives(n, c == '[' ? U']' : U'}', depth + 1)) return -1;
        return n;
      }
      default: {
        const int n = Add(Kind::Literal, offset);
        nodes_[n].literal = c;
        return n;
      }
    }
  }

  TDecoded mask_;
  std::vector<Node>& nodes_;
  std::size_t i_ = 0;
};

using State = TMatchResult;

bool IsIncomplete(State s) {
  return s == State::Incomplete || s == State::IncompleteNoFill;
}
bool IsComplete(State s) {
  return s == State::Complete || s == State::Ambiguous;
}

struct TOutcome {
  State state = State::Error;
  std::size_t pos = 0;     // text position after the match
  std::uint32_t fill = 0;  // Incomplete: mask offset of the element the text ended at
};

class TMatcher {
 public:
  TMatcher(const std::vector<Node>& nodes, const std::vector<char32_t>& text)
      : nodes_(nodes), in_(text), stored_(text) {}

  TOutcome Run() { return Alternatives(nodes_[0], 0); }
  bool Exhausted() const { return steps_ > kMaxSteps; }
  const std::vector<char32_t>& Stored() const { return stored_; }

 private:
  struct TWrite {
    std::size_t index;
    char32_t value;
  };

  void Store(std::size_t index, char32_t value) {
    if (stored_[index] == value) return;
    log_.push_back({index, stored_[index]});
    stored_[index] = value;
  }
  std::size_t Mark() const { return log_.size(); }
  void Rollback(std::size_t mark) {
    while (log_.size() > mark) {
      stored_[log_.back().index] = log_.back().value;
      log_.pop_back();
    }
  }
  // The values written since mark, to be put back after later attempts.
  std::vector<TWrite> Saved(std::size_t mark) const {
    std::vector<TWrite> writes;
    for (std::size_t k = mark; k < log_.size(); ++k) {
      writes.push_back({log_[k].index, stored_[log_[k].index]});
    }
    return writes;
  }

  TOutcome Char(const Node& node, std::size_t pos) {
    if (pos == in_.size()) return {State::Incomplete, pos, node.offset};
    const char32_t c = in_[pos];
    switch (node.kind) {
      case Kind::Digit:
        if (c < '0' || c > '9') return {};
        break;
      case Kind::Letter:
        if (!IsLetter(c)) return {};
        break;
      case Kind::LetterUpper:
        if (!IsLetter(c)) return {};
        Store(pos, FoldUpper(c));
        break;
      case Kind::AnyUpper:
        Store(pos, FoldUpper(c));
        break;
      case Kind::Any:
        break;
      default:  // Literal
        if (c != ' ' && FoldUpper(c) != FoldUpper(node.literal)) return {};
        Store(pos, node.literal);
        break;
    }
    return {State::Complete, pos + 1, 0};
  }

  // Elements one after the other. An element that ends ambiguous at the end
  // of the text (a repetition that could take more, an optional part not
  // typed yet) forbids completing the literals of a later element.
  TOutcome Sequence(const std::vector<int>& elements, std::size_t pos) {
    bool ambiguous = false;
    for (const int index : elements) {
      const TOutcome r = Match(index, pos);
      if (r.state == State::Error) return r;
      if (IsIncomplete(r.state)) {
        return {ambiguous ? State::IncompleteNoFill : r.state, r.pos, r.fill};
      }
      const bool ambiguous_here = r.state == State::Ambiguous;
      ambiguous = r.pos > pos ? ambiguous_here : (ambiguous || ambiguous_here);
      pos = r.pos;
    }
    return {ambiguous ? State::Ambiguous : State::Complete, pos, 0};
  }

  // The first complete alternative is taken; failing that, the incomplete
  // one that consumed most of the text (the first of equals).
  TOutcome Alternatives(const Node& node, std::size_t pos) {
    std::optional<TOutcome> best;
    std::vector<TWrite> best_writes;
    for (const auto& alternative : node.alternatives) {
      const std::size_t mark = Mark();
      TOutcome r = Sequence(alternative, pos);
      if (IsComplete(r.state)) {
        // An earlier alternative could still take the text further.
        if (best && r.pos == in_.size()) r.state = State::Ambiguous;
        return r;
      }
      if (IsIncomplete(r.state) && (!best || r.pos > best->pos)) {
        best = r;
        best_writes = Saved(mark);
      }
      Rollback(mark);
    }
    if (!best) return {};
    for (const TWrite& w : best_writes) Store(w.index, w.value);
    return *best;
  }

  TOutcome Match(int index, std::size_t pos) {
    if (++steps_ > kMaxSteps) return {};
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    switch (node.kind) {
      case Kind::Optional: {
        // Not typed yet at the end of the text: skipped, but it may come.
        if (pos == in_.size()) return {State::Ambiguous, pos, 0};
        const std::size_t mark = Mark();
        const TOutcome r = Alternatives(node, pos);
        if (r.state != State::Error) return r;
        Rollback(mark);
        return {State::Complete, pos, 0};
      }
      case Kind::Group:
        return Alternatives(node, pos);
      case Kind::Repeat:
        return node.bounded ? Counted(node, pos) : Unbounded(node, pos);
      default:
        return Char(node, pos);
    }
  }

  TOutcome Counted(const Node& node, std::size_t pos) {
    bool ambiguous = false;
    for (std::uint32_t k = 0; k < node.count; ++k) {
      const TOutcome r = Match(node.child, pos);
      if (r.state == State::Error) return r;
      if (IsIncomplete(r.state)) {
        return {ambiguous ? State::IncompleteNoFill : r.state, r.pos, r.fill};
      }
      if (r.pos == pos) {
        // Every further repetition would match the same nothing.
        ambiguous = ambiguous || r.state == State::Ambiguous;
        break;
      }
      ambiguous = r.state == State::Ambiguous;
      pos = r.pos;
    }
    return {ambiguous ? State::Ambiguous : State::Complete, pos, 0};
  }

  TOutcome Unbounded(const Node& node, std::size_t pos) {
    while (true) {
      if (pos == in_.size()) return {State::Ambiguous, pos, 0};
      const std::size_t mark = Mark();
      const TOutcome r = Match(node.child, pos);
      if (r.state == State::Error) {
        Rollback(mark);
        return {State::Complete, pos, 0};
      }
      if (IsIncomplete(r.state)) return r;
      if (r.pos == pos) return {r.state, pos, 0};
      pos = r.pos;
    }
  }

  const std::vector<Node>& nodes_;
  const std::vector<char32_t>& in_;
  std::vector<char32_t> stored_;
  std::vector<TWrite> log_;  // index and previous value of each store
  long steps_ = 0;
};

// The literals of the mask from offset up to its next special character.
std::string LiteralsAt(std::string_view mask, std::size_t offset) {
  std::string out;
  std::size_t pos = offset;
  while (pos < mask.size()) {
    char32_t c = DecodeUtf8At(mask, pos);
    if (c == ';') {
      if (pos >= mask.size()) break;
      c = DecodeUtf8At(mask, pos);
    } else if (IsSpecial(c)) {
      break;
    }
    AppendUtf8(out, c);
  }
  return out;
}

TMatchResult Reported(State s) {
  if (s == State::Ambiguous) return State::Complete;
  if (s == State::IncompleteNoFill) return State::Incomplete;
  return s;
}

}  // namespace

TMask::TMask() : nodes_(1) {
  nodes_[0].kind = Node::Kind::Group;
  nodes_[0].alternatives.resize(1);
}
TMask::~TMask() = default;
TMask::TMask(const TMask&) = default;
TMask::TMask(TMask&&) noexcept = default;
TMask& TMask::operator=(const TMask&) = default;
TMask& TMask::operator=(TMask&&) noexcept = default;

std::optional<TMask> TMask::Compile(std::string_view mask) {
  TMask result;
  result.text_ = std::string(mask);
  TParser parser(mask, result.nodes_);
  if (!parser.Run()) return std::nullopt;
  return result;
}

TMatchResult TMask::Match(std::string& text, bool complete_literals) const {
  // Phase 1: the empty text.
  if (text.empty()) return State::Empty;
  // Phases 2 to 4: the match from the start of the mask.
  const TDecoded decoded = Decode(text);
  TMatcher matcher(nodes_, decoded.chars);
  TOutcome r = matcher.Run();
  if (matcher.Exhausted()) return State::Error;
  // Phase 5: text left over.
  if (IsComplete(r.state) && r.pos < decoded.chars.size()) r.state = State::Error;
  if (r.state == State::Error) return State::Error;
  // Store the characters as the mask wants them; bytes that did not change
  // (a byte that is not UTF-8 included) stay as they were.
  std::string stored;
  stored.reserve(text.size());
  const auto& values = matcher.Stored();
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (values[k] == decoded.chars[k]) {
      stored.append(text, decoded.offsets[k], decoded.offsets[k + 1] - decoded.offsets[k]);
    } else {
      AppendUtf8(stored, values[k]);
    }
  }
  text = std::move(stored);
  // Phase 6: completion of the literals that come next, and one more match.
  if (complete_literals && r.state == State::Incomplete) {
    const std::string literals = LiteralsAt(text_, r.fill);
    if (!literals.empty()) {
      std::string completed = text + literals;
      const TMatchResult again = Match(completed, false);
      if (again != State::Error) {
        text = std::move(completed);
        return again;
      }
    }
  }
  return Reported(r.state);
}

bool IsWellFormedMask(std::string_view mask) {
  return TMask::Compile(mask).has_value();
}

TMatchResult MatchMask(std::string_view mask, std::string& text, bool complete_literals) {
  const std::optional<TMask> compiled = TMask::Compile(mask);
  if (!compiled) return TMatchResult::SyntaxError;
  return compiled->Match(text, complete_literals);
}

}  // namespace ledgora
