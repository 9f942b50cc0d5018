#include "operations/search.h"

#include <cmath>
#include <cstring>

#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "operations/operation_list.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

constexpr std::string_view kSetup = "Setup";

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

struct TUpperTable {
  unsigned char up[256];
  constexpr TUpperTable() : up() {
    for (int c = 0; c < 256; ++c)
      up[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
};
constexpr TUpperTable kUpper;

// Whether needle (in capitals, ASCII) occurs in text read in capitals.
// The candidates are found by memchr on both cases of the first letter.
bool FindUpperAscii(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return false;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* n = reinterpret_cast<const unsigned char*>(needle.data());
  const std::size_t span = text.size() - needle.size() + 1;
  const unsigned char first = n[0];
  const unsigned char other =
      first >= 'A' && first <= 'Z' ? static_cast<unsigned char>(first + 32) : first;
  std::size_t i = 0;
  while (i < span) {
    const void* a = std::memchr(t + i, first, span - i);
    const void* b = other == first ? nullptr : std::memchr(t + i, other, span - i);
    const unsigned char* hit = static_cast<const unsigned char*>(a);
    if (!hit || (b && static_cast<const unsigned char*>(b) < hit))
      hit = static_cast<const unsigned char*>(b);
    if (!hit) return false;
    i = static_cast<std::size_t>(hit - t);
    std::size_t k = 1;
    while (k < needle.size() && kUpper.up[t[i + k]] == n[k]) ++k;
    if (k == needle.size()) return true;
    ++i;
  }
  return false;
}

// Capitals of a text into out: ASCII directly, the rest through the
// Windows-1252 folding.
void UpperInto(std::string_view text, std::string& out) {
  out.clear();
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      out = ToUpperNoCase(text);
      return;
    }
    out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
}

TSearchResult NotFound(const TSearchRequest& request) {
  TSearchResult r;
  r.searched = true;
  r.status =
      std::string(request.kind == TSearchRequest::Kind::Label ? kLabelNotFound : kAmountNotFound);
  return r;
}

}  // namespace

TSearchSettings TSearchSettings::Load() {
  TSearchSettings s;
  s.up = platform::ProfileReadInt(kSetup, "SensRecherche", 1) != 0;
  s.case_sensitive = platform::ProfileReadInt(kSetup, "RechDiffMajMin", 0) != 0;
  s.all_accounts = platform::ProfileReadInt(kSetup, "RechTousComptes", 0) != 0;
  return s;
}

void TSearchSettings::Store() const {
  platform::ProfileWriteInt(kSetup, "SensRecherche", up ? 1 : 0);
  platform::ProfileWriteInt(kSetup, "RechDiffMajMin", case_sensitive ? 1 : 0);
  platform::ProfileWriteInt(kSetup, "RechTousComptes", all_accounts ? 1 : 0);
}

std::string PrepareNeedle(const TSearchRequest& request) {
  if (request.kind != TSearchRequest::Kind::Label) return {};
  if (request.settings.case_sensitive) return request.label;
  std::string out;
  UpperInto(request.label, out);
  return out;
}

bool SearchMatches(const TOperationRecord& op, const TSearchRequest& request,
                   std::string_view needle, std::string& scratch) {
  if (request.kind == TSearchRequest::Kind::Amount) {
    return std::fabs(std::fabs(op.amount) - std::fabs(request.amount)) < 0.005;
  }
  if (needle.empty()) return false;
  const bool joined = !op.complementary_label.empty();
  if (request.settings.case_sensitive) {
    if (op.label.find(needle) != std::string::npos) return true;
    if (!joined) return false;
    scratch.assign(op.label).append(" / ").append(op.complementary_label);
    return scratch.find(needle) != std::string::npos;
  }
  if (IsAscii(needle)) {
    // An ASCII needle can only meet ASCII letters, and the capitals of an
    // accented letter are never ASCII: the labels are compared in place, letter by letter in
    // capitals; the joined text is made only for a needle that could straddle the " / " between the
    // two.
    if (FindUpperAscii(op.label, needle)) return true;
    if (!joined) return false;
    if (needle.find_first_of(" /") == std::string_view::npos)
      return FindUpperAscii(op.complementary_label, needle);
    scratch.assign(op.label).append(" / ").append(op.complementary_label);
    return FindUpperAscii(scratch, needle);
  }
  UpperInto(joined ? op.label + " / " + op.complementary_label : op.label, scratch);
  return scratch.find(needle) != std::string::npos;
}

TSearchResult FindNext(TOperationList& list, const TSearchRequest& request) {
  TAccountRecord* start = list.Account();
  if (!start) return NotFound(request);
  if (list.Stale()) list.Refill();
  const bool up = request.settings.up;
  const std::string needle = PrepareNeedle(request);
  std::string scratch;

  // Phase 1: the rows of the active account, which the filters made.
  const std::size_t operations = list.RowCount() - 1;  // without the new-entry line
  const std::size_t selected = list.Selected();
  const bool no_selection = selected >= operations;
  std::ptrdiff_t row;
  if (no_selection) {
    row = up ? static_cast<std::ptrdiff_t>(operations) - 1 : 0;
  } else {
    row = static_cast<std::ptrdiff_t>(selected) + (up ? -1 : 1);
  }
  for (; row >= 0 && row < static_cast<std::ptrdiff_t>(operations); row += up ? -1 : 1) {
    TOperationRecord* op = list.OperationAt(static_cast<std::size_t>(row));
    if (op && SearchMatches(*op, request, needle, scratch)) {
      list.Select(static_cast<std::size_t>(row));
      TSearchResult r;
      r.searched = r.found = true;
      r.account = start;
      r.op = op;
      r.row = static_cast<std::size_t>(row);
      r.status = std::string(kSearchReady);
      return r;
    }
  }
  if (!request.settings.all_accounts) return NotFound(request);

  // Phase 2: the other accounts in turn, round the list, back to the start.
  TRecordNode* start_node = nullptr;
  for (TRecordNode* n = list.Book().Accounts().Head(); n; n = n->Next()) {
    if (&n->Record() == start) start_node = n;
  }
  if (!start_node) return NotFound(request);
  const TRecordList& accounts = list.Book().Accounts();
  TRecordNode* node = start_node;
  for (;;) {
    node = up ? node->Previous() : node->Next();
    if (!node) node = up ? accounts.Tail() : accounts.Head();
    if (node == start_node) return NotFound(request);
    TAccountRecord& account = node->As<TAccountRecord>();
    const TRecordList& ops = account.Operations();
    for (TRecordNode* o = up ? ops.Tail() : ops.Head(); o; o = up ? o->Previous() : o->Next()) {
      TOperationRecord& op = o->As<TOperationRecord>();
      if (!SearchMatches(op, request, needle, scratch) || !list.Shows(op)) continue;
      // Phase 3: the match's account becomes active, its row selected.
      list.SelectAccount(&account);
      TSearchResult r;
      r.searched = r.found = true;
      r.account = &account;
      r.op = &op;
      if (std::optional<std::size_t> at = list.RowOf(op.id)) {
        list.Select(*at);
        r.row = *at;
      }
      r.status = std::string(kSearchReady);
      return r;
    }
  }
}

TSearchResult SearchLabel(TOperationList& list, std::string_view text,
                          const TSearchSettings& settings) {
  const std::string label(Utf8Prefix(text, kSearchLabelMaxChars));
  if (label.empty()) return {};
  settings.Store();
  TSearchRequest request;
  request.kind = TSearchRequest::Kind::Label;
  request.label = label;
  request.settings = settings;
  return FindNext(list, request);
}

TSearchResult SearchAmount(TOperationList& list, std::string_view amount_text,
                           const TSearchSettings& settings) {
  if (amount_text.find_first_not_of(" \t") == std::string_view::npos) return {};
  settings.Store();
  TSearchRequest request;
  request.kind = TSearchRequest::Kind::Amount;
  request.amount = ParseAmount(amount_text);
  request.settings = settings;
  return FindNext(list, request);
}

}  // namespace ledgora
