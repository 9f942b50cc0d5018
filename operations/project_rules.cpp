#include "operations/project_rules.h"

#include "foundation/cp1252.h"
#include "operations/classification.h"
#include "operations/undo_slot.h"

namespace ledgora {
namespace {

// Steps 1 and 2 of the dialog's OK: the label to store, or empty when
// refused (the message shown).
std::string CheckedLabel(TDatabase& db, std::string_view typed, const TProjectRecord* former) {
  const std::string label(Utf8Prefix(typed, kProjectLabelMaxChars));
  if (label.empty() || label == kNoProjectLabel) {
    db.Port().Show(std::string(kProjectLabelRefused), TIcon::Exclamation);
    return {};
  }
  if (!former || label != former->label) {
    for (const TProjectRecord& p : db.Projects().Records<TProjectRecord>()) {
      if (&p != former && p.label == label) {
        db.Port().Show(std::string(kProjectLabelExists), TIcon::Exclamation);
        return {};
      }
    }
  }
  return label;
}

}  // namespace

TProjectRecord* CreateProject(TDatabase& db, std::string_view label) {
  const std::string text = CheckedLabel(db, label, nullptr);
  if (text.empty()) return nullptr;
  auto record = std::make_unique<TProjectRecord>();
  record->label = text;
  record->open = 1;
  return &db.AddProject(std::move(record));
}

bool RenameProject(TDatabase& db, TProjectRecord& project, std::string_view label) {
  const std::string text = CheckedLabel(db, label, &project);
  if (text.empty()) return false;
  if (text != project.label) {
    project.label = text;
    db.ModifyProject(project);
  }
  return true;
}

bool DeleteProjectAsked(TDatabase& db, TProjectRecord& project) {
  if (db.Port().Ask("Désirez-vous supprimer le projet " + project.label + " ?", TButtons::YesNo) !=
      TButton::Yes)
    return false;
  const std::uint32_t id = project.id;
  {
    TWritePhase phase(db);
    // Every kind of operation: a split or a transfer half left naming a
    // project that is gone would point at nothing.
    for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
        if (op.project != id) continue;
        op.project = 0;
        db.ModifyOperation(op);
      }
    }
    db.DeleteProject(project);
  }
  // Nor may an undo bring it back.
  if (auto* slot = dynamic_cast<TUndoSlot*>(db.UndoRecorder())) {
    if (slot->SavedOperation() && slot->SavedOperation()->project == id) slot->Clear();
  }
  return true;
}

bool CloseProjectAsked(TDatabase& db, TProjectRecord& project) {
  if (project.open == 0) return false;
  if (db.Port().Ask("Désirez-vous clore le projet " + project.label +
                        " ?\nVous ne pourrez alors plus affecter ce projet à vos "
                        "opérations.\nAttention ! Cette clôture est irréversible.",
                    TButtons::YesNo) != TButton::Yes)
    return false;
  project.open = 0;
  db.ModifyProject(project);
  return true;
}

std::vector<TLinkedOperation> OperationsOfProject(const TDatabase& db, std::uint32_t project) {
  std::vector<TLinkedOperation> out;
  if (project == 0) return out;
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (op.project == project) out.push_back({&account, &op});
    }
  }
  return out;
}

std::vector<TLinkedOperation> OperationsOfCategory(TDatabase& db, std::uint32_t category) {
  std::vector<TLinkedOperation> out;
  if (category == 0) return out;
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (op.kind == kOpNormal && op.category == category) {
        out.push_back({&account, &op});
      } else if (op.kind == kOpSplit) {
        for (const TSplitLineRecord& line : db.LoadSplitLines(op).Records<TSplitLineRecord>()) {
          if (line.category == category) {
            out.push_back({&account, &op});
            break;
          }
        }
      }
    }
  }
  return out;
}

}  // namespace ledgora
