// The texts that name what an operation is: its category, its
// classification in the "Classement" column, its label, its project; and
// the lookups that go from a typed text back to a category or a project.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

class TAccountRecord;
class TCategoryRecord;
class TDatabase;
class TOperationRecord;
class TProjectRecord;

// How "no project" is shown where a project is chosen.
inline constexpr std::string_view kNoProjectLabel = "[Aucun]";
// Between a category and its sub-category.
inline constexpr std::string_view kCategorySeparator = " : ";

// TransferOut or TransferIn: the category field holds the other half.
bool IsTransferHalf(const TOperationRecord& op);

// The category and, for a sub-category, "%s : %s" (parent, sub-category);
// empty when the identifier names no category.
std::string CategoryText(const TDatabase& db, std::uint32_t category_id);
// The category named by a text: a name, or a name and a sub-category name
// joined by " : "; names compare without regard to case. Null when none.
TCategoryRecord* FindCategoryByText(const TDatabase& db, std::string_view text);
// The texts of every category in tree order (each category, then its
// sub-categories): the choices of the editor's category field.
std::vector<std::string> CategoryTexts(const TDatabase& db);
// Whether category is selected or, with include_subcategories, one of the
// sub-categories of selected. 0 matches nothing.
bool CategoryMatches(const TDatabase& db, std::uint32_t category, std::uint32_t selected,
                     bool include_subcategories);

// The label, followed by " / " and the complementary label when that one is
// not empty.
std::string FullLabel(const TOperationRecord& op);

// The classification text of an operation of account: for a Normal one its
// category text, or "Divers"; "Opération Ventilée" for a Split ("Opération
// Ventilée Filtrée" with filtered_split); "Relevé Carte"; "Virement vers %s"
// and "Virement reçu de %s" with the other account's name ("???" when no
// account has that identifier); "Conversion du compte de %s en EUR" with the
// account's currency.
std::string ClassificationText(const TDatabase& db, const TAccountRecord& account,
                               const TOperationRecord& op, bool filtered_split);

// The project with exactly this label, or null.
TProjectRecord* FindProjectByLabel(const TDatabase& db, std::string_view label);
// The label of a project, empty for 0 or an unknown identifier.
std::string ProjectLabel(const TDatabase& db, std::uint32_t project_id);

}  // namespace ledgora
