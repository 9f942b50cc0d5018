// TGeneralFilter: the general display filter of the operation list, its
// profile keys and the validation of its dialog.
//
// Five values, each optional: two inclusive date bounds, two inclusive
// bounds on the signed amount, and a label fragment stored in capitals that
// the label (and the complementary label after " / ") must contain. The
// same dialog and rule serve the category recap with keys of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/kdate.h"
#include "platform/user_port.h"

namespace ledgora {

class TOperationRecord;

// The profile keys (section "Setup") of one use of the filter, and the
// caption of its dialog.
struct TGeneralFilterKeys {
  std::string_view active;
  std::string_view date_inf;
  std::string_view date_sup;
  std::string_view amount_inf;
  std::string_view amount_sup;
  std::string_view label;
  std::string_view caption;
};

inline constexpr TGeneralFilterKeys kListFilterKeys{"FiltreActif",
                                                    "DateInf",
                                                    "DateSup",
                                                    "MontantInf",
                                                    "MontantSup",
                                                    "LibOp",
                                                    "Filtre pour l'affichage"};
inline constexpr TGeneralFilterKeys kRecapFilterKeys{"FiltreActifRecapCat",
                                                     "DateInfRecapCat",
                                                     "DateSupRecapCat",
                                                     "MontantInfRecapCat",
                                                     "MontantSupRecapCat",
                                                     "LibOpRecapCat",
                                                     "Filtre pour l'affichage - Multicomptes"};

// The five values as texts: as typed in the dialog, as stored in the profile.
struct TGeneralFilterTexts {
  std::string date_inf;
  std::string date_sup;
  std::string amount_inf;
  std::string amount_sup;
  std::string label;
  bool operator==(const TGeneralFilterTexts&) const = default;
};

inline constexpr std::string_view kFilterDateOrderMessage =
    "La première date doit être plus petite que la seconde !";
inline constexpr std::string_view kFilterAmountOrderMessage =
    "Le premier montant doit être plus petit que le second !";

class TGeneralFilter {
 public:
  TGeneralFilter() = default;
  // Reads the texts: a date that does not read as a date, or an empty text,
  // is no bound; amounts are read in the French form; the label fragment is
  // taken in capitals.
  static TGeneralFilter FromTexts(const TGeneralFilterTexts& texts, bool active);
  // The values stored under keys (section "Setup"); the label at most 50
  // characters.
  static TGeneralFilter Load(const TGeneralFilterKeys& keys = kListFilterKeys);

  // Writes the five texts and the switch under keys.
  void Store(const TGeneralFilterKeys& keys = kListFilterKeys) const;

  // The filter as the list applies it: every given bound and the fragment.
  // Does not look at Active().
  bool Matches(const TOperationRecord& op) const;

  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  const TGeneralFilterTexts& Texts() const { return texts_; }
  const std::optional<KDate>& DateInf() const { return date_inf_; }
  const std::optional<KDate>& DateSup() const { return date_sup_; }
  const std::optional<double>& AmountInf() const { return amount_inf_; }
  const std::optional<double>& AmountSup() const { return amount_sup_; }
  const std::string& Label() const { return label_; }

 private:
  bool active_ = false;
  TGeneralFilterTexts texts_;
  std::optional<KDate> date_inf_;
  std::optional<KDate> date_sup_;
  std::optional<double> amount_inf_;
  std::optional<double> amount_sup_;
  std::string label_;
};

// The validation of the dialog. Each field that is not empty must pass its
// field's validator (kMaskDate for the dates, the signed amount mask for the
// amounts), whose message is shown; then two dates in the wrong order show
// kFilterDateOrderMessage, two amounts in the wrong order
// kFilterAmountOrderMessage. None: the dialog stays open. Otherwise the
// texts to store, the label in capitals and cut to 50 characters.
std::optional<TGeneralFilterTexts> ValidateGeneralFilter(const TGeneralFilterTexts& typed,
                                                         TUserPort& port);

}  // namespace ledgora
