// The rules of projects: create, rename, delete and close, and the
// operations a project is linked to ("&Détail des opérations liées").
//
// Labels hold at most 50 characters and are unique in the book (exact
// comparison: a label differing only by case is another label). A closed
// project stays on the operations that carry it and is never reopened.
// Questions and refusals go through the book's port. Errors: TXOrvanet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"

namespace ledgora {

inline constexpr std::string_view kProjectLabelRefused = "Ce libellé n'est pas autorisé !";
inline constexpr std::string_view kProjectLabelExists =
    "Il existe déjà un projet portant ce libellé !";
inline constexpr std::string_view kNewProjectCaption = "Nouveau projet";
inline constexpr std::string_view kRenameProjectCaption = "Renommer le projet";
inline constexpr std::size_t kProjectLabelMaxChars = 50;

// OK of "Nouveau projet": an empty label or "[Aucun]" shows
// kProjectLabelRefused, a label in use kProjectLabelExists (the dialog
// stays open: null). Otherwise an open project is added.
TProjectRecord* CreateProject(TDatabase& db, std::string_view label);
// OK of "Renommer le projet": the same checks, the uniqueness one only
// when the label changed. False when refused.
bool RenameProject(TDatabase& db, TProjectRecord& project, std::string_view label);
// "Désirez-vous supprimer le projet %s ?": Yes takes the project off every
// operation that carries it (each saved) and deletes it.
bool DeleteProjectAsked(TDatabase& db, TProjectRecord& project);
// "Désirez-vous clore le projet %s ?\n...": Yes clears the open flag.
// A closed project is not asked about again (false).
bool CloseProjectAsked(TDatabase& db, TProjectRecord& project);

// The operations that carry a project, account by account in book order.
struct TLinkedOperation {
  TAccountRecord* account = nullptr;
  TOperationRecord* op = nullptr;
};
std::vector<TLinkedOperation> OperationsOfProject(const TDatabase& db, std::uint32_t project);
// The operations classified in a category: Normal operations that carry
// it and Splits with a line of it (lines are read: TXOrvanet).
std::vector<TLinkedOperation> OperationsOfCategory(TDatabase& db, std::uint32_t category);

}  // namespace ledgora
