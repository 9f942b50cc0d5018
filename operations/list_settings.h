// TListSettings: the view state of the operation list, kept in the profile,
// and the commands of the view menu that change it.
//
// Keys of section "Setup" (defaults in brackets): "TypeDisplay" (2865
// detailed; 2866 condensed; the menu identifiers 32790 and 32791 are read as
// the same), "ModeSolde" (1: the footer shows the account balance, 0: the
// total of the rows shown), "Filter" (0..5, 2; a stored 5 is read as 3 and
// written back), the general filter (general_filter.h), "AffColContreval"
// (1), "AffColProjets" (1), "LigneCompteActif" (the last row); of section
// "Options": "InfoBulleCondense" (1).
#pragma once

#include <optional>

#include "operations/general_filter.h"

namespace ledgora {

inline constexpr long kTypeDisplayDetailed = 2865;
inline constexpr long kTypeDisplayCondensed = 2866;
inline constexpr long kCommandDetailed = 32790;   // "&Détaillé"
inline constexpr long kCommandCondensed = 32791;  // "&Condensé"

enum class TRowLayout { Detailed, Condensed };

// Row heights in pixels: two text lines of 18 and a separator, or one.
inline constexpr int kDetailedRowHeight = 2 * 18 + 1;
inline constexpr int kCondensedRowHeight = 18 + 1;

enum class TDisplayFilter : int {
  Complete = 0,
  DownloadedOnly = 1,
  NotPointedOnly = 2,
  SelectedCategory = 3,
  PointedOnly = 4,
  Uncategorised = 5,
};
// A value of 0..5 as its filter; any other value gives NotPointedOnly.
TDisplayFilter DisplayFilterFromValue(long value);

struct TListSettings {
  TRowLayout layout = TRowLayout::Detailed;
  bool show_account_balance = true;  // "ModeSolde"
  TDisplayFilter filter = TDisplayFilter::NotPointedOnly;
  TGeneralFilter general;            // with "FiltreActif"
  bool counter_value_column = true;  // "AffColContreval"
  bool project_column = true;        // "AffColProjets"
  std::optional<long> stored_row;    // "LigneCompteActif"
  bool condensed_tooltips = true;    // "Options" / "InfoBulleCondense"

  // Reads every key; a stored "Filter" of 5 is replaced by 3 in the profile.
  static TListSettings Load();

  int RowHeight() const {
    return layout == TRowLayout::Detailed ? kDetailedRowHeight : kCondensedRowHeight;
  }
};

// The commands of the view menu that act on the list.
enum class TViewCommand {
  Detailed,                  // "&Détaillé"
  Condensed,                 // "&Condensé"
  ToggleGeneralFilter,       // "&Activer le filtre"
  FilterComplete,            // "Co&mplet"
  FilterDownloaded,          // "Opérations téléchar&gées"
  FilterNotPointed,          // "Opérations non &pointées"
  FilterSelectedCategory,    // "Opérations correspondant à la catégorie &sélectionnée"
  FilterPointed,             // "Opérations p&ointées"
  FilterUncategorised,       // "Opérations sans cat&égorie"
  ToggleTotal,               // "&Total des opérations affichées"
  ToggleCounterValueColumn,  // "Co&lonne contre-valeur"
  ToggleProjects,            // "Pro&jets"
};

// The menu text of a command.
std::string_view ViewCommandText(TViewCommand command);

struct TViewCommandEffect {
  bool refill = false;                    // the list must be refilled
  bool clear_category_selection = false;  // the category pane drops its selection first
  bool project_pane = false;              // the project pane is shown or hidden
};

// Applies a command: changes the setting, stores it in the profile and says
// what must follow. A display filter that is already the current one changes
// nothing (no refill); choosing "sans catégorie" clears the category
// selection first.
TViewCommandEffect ApplyViewCommand(TListSettings& settings, TViewCommand command);
// Whether the command's menu item shows a check mark.
bool ViewCommandChecked(const TListSettings& settings, TViewCommand command);

}  // namespace ledgora
