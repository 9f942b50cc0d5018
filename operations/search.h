// The two "Recherche" dialogs' rule: the next operation by label or by
// amount in the operation list, up or down from the selected row and, on
// request, through the other accounts with wrap-around. Only what the list
// would show is found: the general filter (when "FiltreActif" is 1) and the
// display filter apply, in every account searched.
//
// Settings of section "Setup": "SensRecherche" (1 up "&Haut", 0 down
// "&Bas"; default 1), "RechDiffMajMin" (label search case-sensitive;
// default 0), "RechTousComptes" (continue into the other accounts;
// default 0).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ledgora {

class TAccountRecord;
class TOperationList;
class TOperationRecord;

inline constexpr std::string_view kSearchCaption = "Recherche";
inline constexpr std::string_view kSearchReady = "Prêt";
inline constexpr std::string_view kLabelNotFound = "Libellé non trouvé...";
inline constexpr std::string_view kAmountNotFound = "Montant non trouvé...";
// The label dialog keeps at most this many characters of the text searched.
inline constexpr std::size_t kSearchLabelMaxChars = 50;

struct TSearchSettings {
  bool up = true;               // "SensRecherche"
  bool case_sensitive = false;  // "RechDiffMajMin"
  bool all_accounts = false;    // "RechTousComptes"

  static TSearchSettings Load();
  void Store() const;
};

struct TSearchRequest {
  enum class Kind { Label, Amount };
  Kind kind = Kind::Label;
  std::string label;  // Label: the text searched
  double amount = 0;  // Amount: matches this amount and its opposite
  TSearchSettings settings;
};

struct TSearchResult {
  bool searched = false;  // false: an empty field, nothing done
  bool found = false;
  TAccountRecord* account = nullptr;  // where the match is (now the active account)
  TOperationRecord* op = nullptr;
  std::size_t row = 0;  // its row in the list, selected
  std::string status;   // kSearchReady, or the not-found text of the kind
};

// Whether op's text matches: label search on the label, followed by " / "
// and the complementary label when that one is not empty, containing the
// text (both in capitals unless case-sensitive; `needle` is given in the
// form to look for, see PrepareNeedle); amount search on the amount or its
// opposite, to the half cent.
std::string PrepareNeedle(const TSearchRequest& request);
bool SearchMatches(const TOperationRecord& op, const TSearchRequest& request,
                   std::string_view needle, std::string& scratch);

// Next match. Starts in the active account at the row after the selected
// one in the chosen direction (the new-entry line counts as no selection:
// the first operation going down, the last going up). At the end of the
// account: without all_accounts, not found; with it, the next account of
// the book (down) or the previous one (up), from its first or last
// operation, wrapping round the list of accounts, until the search comes
// back to the account where it started (not found). A match in another
// account makes it active (the list is refilled for it); the matching row
// is selected. Errors: TXOrvanet when split lines must be read.
TSearchResult FindNext(TOperationList& list, const TSearchRequest& request);

// "&Suivant" of the label dialog: an empty text does nothing; otherwise
// the settings are stored and the next match is looked for.
TSearchResult SearchLabel(TOperationList& list, std::string_view text,
                          const TSearchSettings& settings);
// "&Suivant" of the amount dialog with the amount typed (French form); an
// empty field does nothing. all_accounts and up are taken from settings;
// the case setting is stored as it is.
TSearchResult SearchAmount(TOperationList& list, std::string_view amount_text,
                           const TSearchSettings& settings);

}  // namespace ledgora
