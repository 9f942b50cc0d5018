#include "operations/classification.h"

#include "foundation/nocase.h"
#include "storage/database.h"

namespace ledgora {

bool IsTransferHalf(const TOperationRecord& op) {
  return op.kind == kOpTransferOut || op.kind == kOpTransferIn;
}

std::string CategoryText(const TDatabase& db, std::uint32_t category_id) {
  if (category_id == 0) return {};
  const TCategoryRecord* category = db.FindCategory(category_id);
  if (!category) return {};
  if (category->parent != 0) {
    if (const TCategoryRecord* parent = db.FindCategory(category->parent)) {
      std::string text = parent->name;
      text += kCategorySeparator;
      text += category->name;
      return text;
    }
  }
  return category->name;
}

TCategoryRecord* FindCategoryByText(const TDatabase& db, std::string_view text) {
  std::string_view name = text;
  std::string_view sub;
  const std::size_t cut = text.find(kCategorySeparator);
  if (cut != std::string_view::npos) {
    name = text.substr(0, cut);
    sub = text.substr(cut + kCategorySeparator.size());
  }
  for (TCategoryRecord& category : db.Categories().Records<TCategoryRecord>()) {
    if (!EqualsNoCase(category.name, name)) continue;
    if (cut == std::string_view::npos) return &category;
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      for (TCategoryRecord& s : subs->Records<TCategoryRecord>()) {
        if (EqualsNoCase(s.name, sub)) return &s;
      }
    }
  }
  return nullptr;
}

std::vector<std::string> CategoryTexts(const TDatabase& db) {
  std::vector<std::string> texts;
  for (TCategoryRecord& category : db.Categories().Records<TCategoryRecord>()) {
    texts.push_back(category.name);
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      for (TCategoryRecord& s : subs->Records<TCategoryRecord>()) {
        texts.push_back(category.name + std::string(kCategorySeparator) + s.name);
      }
    }
  }
  return texts;
}

bool CategoryMatches(const TDatabase& db, std::uint32_t category, std::uint32_t selected,
                     bool include_subcategories) {
  if (category == 0 || selected == 0) return false;
  if (category == selected) return true;
  if (!include_subcategories) return false;
  const TCategoryRecord* c = db.FindCategory(category);
  return c && c->parent == selected;
}

std::string FullLabel(const TOperationRecord& op) {
  if (op.complementary_label.empty()) return op.label;
  return op.label + " / " + op.complementary_label;
}

std::string ClassificationText(const TDatabase& db, const TAccountRecord& account,
                               const TOperationRecord& op, bool filtered_split) {
  const auto other_name = [&] {
    const TAccountRecord* other = db.FindAccount(op.linked_account);
    return other ? other->name : std::string("???");
  };
  switch (op.kind) {
    case kOpNormal: {
      std::string text = CategoryText(db, op.category);
      return text.empty() ? std::string("Divers") : text;
    }
    case kOpSplit:
      return filtered_split ? "Opération Ventilée Filtrée" : "Opération Ventilée";
    case kOpCardStatement:
      return "Relevé Carte";
    case kOpTransferOut:
      return "Virement vers " + other_name();
    case kOpTransferIn:
      return "Virement reçu de " + other_name();
    case kOpEuroConversion:
      return "Conversion du compte de " + account.currency + " en EUR";
    default:
      // A kind no rule writes (a damaged record): shown like a Normal one
      // without category rather than not at all.
      return "Divers";
  }
}

TProjectRecord* FindProjectByLabel(const TDatabase& db, std::string_view label) {
  for (TProjectRecord& project : db.Projects().Records<TProjectRecord>()) {
    if (project.label == label) return &project;
  }
  return nullptr;
}

std::string ProjectLabel(const TDatabase& db, std::uint32_t project_id) {
  if (project_id == 0) return {};
  const TProjectRecord* project = db.FindProject(project_id);
  return project ? project->label : std::string();
}

}  // namespace ledgora
