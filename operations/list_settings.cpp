#include "operations/list_settings.h"

#include "platform/configuration.h"

namespace ledgora {
namespace {

constexpr std::string_view kSetup = "Setup";
constexpr std::string_view kOptions = "Options";

TRowLayout LayoutFromValue(long value) {
  return value == kTypeDisplayCondensed || value == kCommandCondensed ? TRowLayout::Condensed
                                                                      : TRowLayout::Detailed;
}

long FilterValue(TDisplayFilter filter) {
  return static_cast<long>(filter);
}

void StoreFlag(std::string_view key, bool on) {
  platform::ProfileWriteInt(kSetup, key, on ? 1 : 0);
}

}  // namespace

TDisplayFilter DisplayFilterFromValue(long value) {
  if (value < 0 || value > 5) return TDisplayFilter::NotPointedOnly;
  return static_cast<TDisplayFilter>(value);
}

TListSettings TListSettings::Load() {
  TListSettings s;
  s.layout = LayoutFromValue(platform::ProfileReadInt(kSetup, "TypeDisplay", kTypeDisplayDetailed));
  s.show_account_balance = platform::ProfileReadInt(kSetup, "ModeSolde", 1) != 0;
  long filter = platform::ProfileReadInt(kSetup, "Filter", 2);
  if (filter == 5) {
    filter = 3;
    platform::ProfileWriteInt(kSetup, "Filter", filter);
  }
  s.filter = DisplayFilterFromValue(filter);
  s.general = TGeneralFilter::Load(kListFilterKeys);
  s.counter_value_column = platform::ProfileReadInt(kSetup, "AffColContreval", 1) != 0;
  s.project_column = platform::ProfileReadInt(kSetup, "AffColProjets", 1) != 0;
  if (platform::Profile().HasKey(kSetup, "LigneCompteActif")) {
    s.stored_row = platform::ProfileReadInt(kSetup, "LigneCompteActif", 0);
  }
  s.condensed_tooltips = platform::ProfileReadInt(kOptions, "InfoBulleCondense", 1) != 0;
  return s;
}

std::string_view ViewCommandText(TViewCommand command) {
  switch (command) {
    case TViewCommand::Detailed:
      return "&Détaillé";
    case TViewCommand::Condensed:
      return "&Condensé";
    case TViewCommand::ToggleGeneralFilter:
      return "&Activer le filtre";
    case TViewCommand::FilterComplete:
      return "Co&mplet";
    case TViewCommand::FilterDownloaded:
      return "Opérations téléchar&gées";
    case TViewCommand::FilterNotPointed:
      return "Opérations non &pointées";
    case TViewCommand::FilterSelectedCategory:
      return "Opérations correspondant à la catégorie &sélectionnée";
    case TViewCommand::FilterPointed:
      return "Opérations p&ointées";
    case TViewCommand::FilterUncategorised:
      return "Opérations sans cat&égorie";
    case TViewCommand::ToggleTotal:
      return "&Total des opérations affichées";
    case TViewCommand::ToggleCounterValueColumn:
      return "Co&lonne contre-valeur";
    case TViewCommand::ToggleProjects:
      return "Pro&jets";
  }
  return {};
}

namespace {

std::optional<TDisplayFilter> FilterOf(TViewCommand command) {
  switch (command) {
    case TViewCommand::FilterComplete:
      return TDisplayFilter::Complete;
    case TViewCommand::FilterDownloaded:
      return TDisplayFilter::DownloadedOnly;
    case TViewCommand::FilterNotPointed:
      return TDisplayFilter::NotPointedOnly;
    case TViewCommand::FilterSelectedCategory:
      return TDisplayFilter::SelectedCategory;
    case TViewCommand::FilterPointed:
      return TDisplayFilter::PointedOnly;
    case TViewCommand::FilterUncategorised:
      return TDisplayFilter::Uncategorised;
    default:
      return std::nullopt;
  }
}

}  // namespace

TViewCommandEffect ApplyViewCommand(TListSettings& s, TViewCommand command) {
  TViewCommandEffect effect;
  if (const std::optional<TDisplayFilter> filter = FilterOf(command)) {
    if (*filter == TDisplayFilter::Uncategorised) effect.clear_category_selection = true;
    if (*filter == s.filter) return effect;
    s.filter = *filter;
    platform::ProfileWriteInt(kSetup, "Filter", FilterValue(s.filter));
    effect.refill = true;
    return effect;
  }
  effect.refill = true;
  switch (command) {
    case TViewCommand::Detailed:
    case TViewCommand::Condensed:
      s.layout = command == TViewCommand::Detailed ? TRowLayout::Detailed : TRowLayout::Condensed;
      platform::ProfileWriteInt(
          kSetup, "TypeDisplay",
          s.layout == TRowLayout::Detailed ? kTypeDisplayDetailed : kTypeDisplayCondensed);
      break;
    case TViewCommand::ToggleGeneralFilter:
      s.general.SetActive(!s.general.Active());
      StoreFlag(kListFilterKeys.active, s.general.Active());
      break;
    case TViewCommand::ToggleTotal:
      s.show_account_balance = !s.show_account_balance;
      StoreFlag("ModeSolde", s.show_account_balance);
      break;
    case TViewCommand::ToggleCounterValueColumn:
      s.counter_value_column = !s.counter_value_column;
      StoreFlag("AffColContreval", s.counter_value_column);
      break;
    case TViewCommand::ToggleProjects:
      s.project_column = !s.project_column;
      StoreFlag("AffColProjets", s.project_column);
      effect.project_pane = true;
      break;
    default:
      break;
  }
  return effect;
}

bool ViewCommandChecked(const TListSettings& s, TViewCommand command) {
  if (const std::optional<TDisplayFilter> filter = FilterOf(command)) return *filter == s.filter;
  switch (command) {
    case TViewCommand::Detailed:
      return s.layout == TRowLayout::Detailed;
    case TViewCommand::Condensed:
      return s.layout == TRowLayout::Condensed;
    case TViewCommand::ToggleGeneralFilter:
      return s.general.Active();
    case TViewCommand::ToggleTotal:
      return !s.show_account_balance;
    case TViewCommand::ToggleCounterValueColumn:
      return s.counter_value_column;
    case TViewCommand::ToggleProjects:
      return s.project_column;
    default:
      return false;
  }
}

}  // namespace ledgora
