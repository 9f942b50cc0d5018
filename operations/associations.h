// Associations: a label fragment bound to a category. Creating one from an
// operation, the association page (add, rename, delete), the automatic
// category of a downloaded operation, and the re-association run.
//
// Labels are unique among associations (exact comparison) and hold at most
// 50 characters. The storage keeps the chain in label order; the creation
// order the rules speak of is the order of the identifiers (a new
// association gets a greater one). Questions and messages go through the
// book's port with their exact texts. Errors: TXOrvanet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"

namespace ledgora {

inline constexpr std::string_view kAssociationDialogCaption = "Association Libellé-Catégorie";
inline constexpr std::string_view kAssociationExists = "Cette association existe déjà !";
inline constexpr std::string_view kNoAssociationDefined = "Vous n'avez défini aucune association !";
inline constexpr std::string_view kReassociationDialogCaption = "Réaffectation de catégories";
// The "Setup" key of the card-statement label, and its default.
inline constexpr std::string_view kCardStatementLabelKey = "RELEVE CARTE";
inline constexpr std::string_view kCardStatementLabelDefault = "RELEVE CARTE";
inline constexpr std::size_t kAssociationLabelMaxChars = 50;

// The associations from the most recently created to the oldest.
std::vector<TAssociationRecord*> AssociationsNewestFirst(TDatabase& db);
// The association with exactly this label, or null.
TAssociationRecord* FindAssociation(TDatabase& db, std::string_view label);

// --- From an operation ("Créer une associa&tion...") ---------------------------

// Offered on an operation of kind Normal that has a category.
bool CanCreateAssociation(const TOperationRecord& op);
// "Association liée à la catégorie '%s'" or "... '%s:%s'".
std::string AssociationFromOperationCaption(const TDatabase& db, const TOperationRecord& op);
// OK of the dialog with the label typed. An empty label does nothing
// (false). An association with this label that is bound to a category asks
// "Cette association est déjà associée à la catégorie %s.\n%s doit-il
// remplacer l'ancienne association ?"; No stops, Yes rebinds it to the
// operation's category; one without category is rebound without a
// question; otherwise a new association is added. True when the book
// changed.
bool CreateAssociationFromOperation(TDatabase& db, const TOperationRecord& op,
                                    std::string_view label);

// --- The association page ------------------------------------------------------------

// A new association (category 0: none). A label already used shows
// kAssociationExists; an empty one is refused without a message. Null when
// refused.
TAssociationRecord* AddAssociationChecked(TDatabase& db, std::string_view label,
                                          std::uint32_t category);
// A new label and category for an association; a label that another one
// has shows kAssociationExists. False when refused.
bool ModifyAssociationChecked(TDatabase& db, TAssociationRecord& association,
                              std::string_view label, std::uint32_t category);
// Asks "Destruction de l'association '%s' ?"; Yes deletes it.
bool DeleteAssociationAsked(TDatabase& db, TAssociationRecord& association);

// --- Automatic category of a downloaded operation -------------------------------

// Made once per download: the associations newest first and the
// card-statement label of the profile.
class TAutomaticCategory {
 public:
  explicit TAutomaticCategory(TDatabase& db);
  TAutomaticCategory(TDatabase& db, std::string card_statement_label);
  // Changes op's fields in memory (the caller writes or adds it): a Normal
  // operation without category takes the category of the first association
  // whose fragment occurs in its label (case-sensitive; none when that
  // association has none); then, whatever its category, an operation whose
  // label contains the card-statement label becomes a CardStatement.
  // Returns whether a field changed.
  bool Apply(TOperationRecord& op) const;

 private:
  struct TFragment {
    std::string label;
    std::uint32_t category;
  };
  std::vector<TFragment> fragments_;
  std::string card_statement_label_;
};

// --- Re-association ("&Réaffecter une association...") ---------------------------

enum class TReassociationAnswer {
  Yes,             // "&Oui"
  No,              // "&Non"
  YesAccount,      // "Oui : &Compte"
  YesAllAccounts,  // "Oui : &Tous les comptes"
  NextAccount,     // "Compte &suivant"
  Cancel,          // "A&nnuler"
};

// What the dialog "Réaffectation de catégories" shows for one operation.
struct TReassociationQuestion {
  std::string text;  // "Désirez-vous affecter la catégorie %s à l'opération ci-dessous ?"
  std::string account_text;  // "Compte : %s (%s)" (name, remark)
  const TAccountRecord* account = nullptr;
  const TOperationRecord* op = nullptr;  // drawn as in the list
};

// The dialog (app/), or a script in the tests.
class TReassociationAsker {
 public:
  virtual ~TReassociationAsker() = default;
  virtual TReassociationAnswer Ask(const TReassociationQuestion& question) = 0;
};

// Step 1: false with kNoAssociationDefined when the book has none.
bool CanReassociate(TDatabase& db);

struct TReassociationResult {
  bool ran = false;         // false: refused before asking anything
  bool cancelled = false;   // "A&nnuler" was chosen
  std::size_t changed = 0;  // operations that took the category
};

// Steps 2 to 4 for the chosen association. One without category shows
// "Aucune catégorie n'est associée au libellé '%s' !". Then, account by
// account in book order, each Normal operation whose label contains the
// association's label (case-sensitive) is asked about unless an earlier
// answer already covers it. The operations changed form one undo step
// (the slot's re-association kind), also when the run fails part way (the
// failure then goes on to the caller); when none changed the slot is emptied.
// The caller refills the views (kRefreshAfterChange).
TReassociationResult Reassociate(TDatabase& db, const TAssociationRecord& association,
                                 TReassociationAsker& asker);

}  // namespace ledgora
