#include "app/side_views.h"

#include <QDialog>
#include <QMenu>
#include <QMetaMethod>

#include "app/command_table.h"
#include "app/list/account_list_box.h"
#include "app/list/linked_operations_window.h"
#include "app/list/name_dialog.h"
#include "app/list/side_panes.h"
#include "operations/category_rules.h"
#include "operations/project_rules.h"
#include "operations/refresh.h"

namespace ledgora::app {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString TextOf(int id) {
  const TCommand* c = FindCommand(id);
  return c ? Q(c->text) : QString();
}

void AddEntry(QMenu& menu, const QString& text, int entry, bool enabled) {
  QAction* action = menu.addAction(text);
  action->setData(entry);
  action->setEnabled(enabled);
}

}  // namespace

// --- CSideView -------------------------------------------------------------------------------

CSideView::CSideView(const QString& title, QWidget* view, TDatabase& db, CAccountListPane& list,
                     QWidget* parent)
    : CListSidePane(title, view, {}, parent),
      db_(db),
      list_(&list),
      run_dialog_([](QDialog& dialog) { return dialog.exec(); }) {
  view->setContextMenuPolicy(Qt::CustomContextMenu);
}

void CSideView::CommitListEditor() {
  if (list_) list_->CommitEditor();
}

void CSideView::AfterChange() {
  static const QMetaMethod signal = QMetaMethod::fromSignal(&CPane::RefreshRequested);
  if (isSignalConnected(signal)) {
    emit RefreshRequested(kRefreshAfterChange);
    return;
  }
  Refresh(kRefreshAfterChange);
  if (list_) list_->Refresh(kRefreshAfterChange);
}

void CSideView::ShowContextMenu(const QPoint& global) {
  const QPointer<CSideView> self(this);
  QMenu* menu = BuildContextMenu(this);
  QAction* chosen = menu->exec(global);
  // The pane (and its menu) may have gone while the menu was open.
  if (!self) return;
  const int entry = chosen ? chosen->data().toInt() : 0;
  delete menu;
  if (entry != 0) RunMenuEntry(entry);
  emit CommandStateChanged();
}

// --- CCatOpView ------------------------------------------------------------------------------

CCatOpView::CCatOpView(TDatabase& db, CAccountListPane& list, QWidget* parent)
    : CSideView(QStringLiteral("Catégories"), new TCategoryPane(db), db, list, parent),
      tree_(static_cast<TCategoryPane*>(View())) {
  setObjectName("CCatOpView");
  TAccountListBox* box = &list.Box();
  // The list filters on the marked category; the state of its node follows.
  connect(tree_, &TCategoryPane::MarkedCollapsedChanged, box,
          &TAccountListBox::SetCategorySelection);
  // "Opérations sans cat&égorie" chosen in the list: the mark goes.
  connect(box, &TAccountListBox::CategorySelectionCleared, tree_, &TCategoryPane::ClearMark);
  connect(tree_, &QTreeWidget::currentItemChanged, this, &CPane::CommandStateChanged);
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    tree_->setCurrentItem(tree_->itemAt(pos));
    ShowContextMenu(tree_->viewport()->mapToGlobal(pos));
  });
}

void CCatOpView::Refresh(unsigned bits) {
  if (!(bits & kRefreshSidePanes)) return;
  tree_->Fill();
  // A marked category that went, or whose node gained its first
  // sub-category: the list follows.
  if (list_) tree_->TellList(list_->Box().List());
}

TCategoryRecord* CCatOpView::Current() const {
  const std::optional<std::uint32_t> id = tree_->CurrentCategory();
  return id && *id ? db_.FindCategory(*id) : nullptr;
}

bool CCatOpView::HandlesCommand(int id) const {
  return id >= kCmdCategoryNew && id <= kCmdCategoryExport;
}

bool CCatOpView::CommandEnabled(int id) const {
  switch (id) {
    case kCmdCategoryNew:
      return true;
    case kCmdCategoryModify:
    case kCmdCategoryDelete:
    case kCmdCategoryDetail:
      return Current() != nullptr;
    case kCmdCategorySelect:
      // On "Divers" or no entry it marks nothing: the operations without
      // category are shown.
      return list_ != nullptr;
    case kCmdCategoryDeselect:
      return list_ != nullptr && (tree_->Marked() != 0 || list_->Box().List().Settings().filter ==
                                                              TDisplayFilter::Uncategorised);
    default:
      // "&Importer..." / "&Exporter...": the category files are not part of
      // the program yet.
      return false;
  }
}

void CCatOpView::RunCommand(int id) {
  if (!CommandEnabled(id)) return;
  switch (id) {
    case kCmdCategoryNew: {
      // On a main category: one of its sub-categories; elsewhere a main one.
      TCategoryRecord* current = Current();
      NewCategory(current && current->parent == 0 ? current : nullptr);
      break;
    }
    case kCmdCategoryModify:
      ModifyCategory(*Current());
      break;
    case kCmdCategoryDelete:
      DeleteCategory(*Current());
      break;
    case kCmdCategorySelect:
      // The filter changes the rows: an edit in progress is committed first.
      CommitListEditor();
      tree_->MarkCategory(list_->Box().List(), tree_->CurrentCategory().value_or(0));
      break;
    case kCmdCategoryDeselect:
      CommitListEditor();
      tree_->UnmarkCategory(list_->Box().List());
      break;
    case kCmdCategoryDetail:
      Detail(Current()->id);
      break;
    default:
      break;
  }
  emit CommandStateChanged();
}

QMenu* CCatOpView::BuildContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  auto add = [&](int id) { AddEntry(*menu, TextOf(id), id, CommandEnabled(id)); };
  TCategoryRecord* current = Current();
  add(kCmdCategoryNew);
  if (current && current->parent == 0) {
    AddEntry(*menu, QStringLiteral("&Ajouter une sous-catégorie..."), kEntryAddSubCategory, true);
  }
  add(kCmdCategoryModify);
  add(kCmdCategoryDelete);
  menu->addSeparator();
  add(kCmdCategorySelect);
  add(kCmdCategoryDeselect);
  menu->addSeparator();
  const TMergeCommand merge = MergeCommand(db_, tree_->Marked(), current ? current->id : 0);
  AddEntry(*menu, Q(merge.text), kEntryMerge, merge.enabled);
  menu->addSeparator();
  add(kCmdCategoryDetail);
  menu->addSeparator();
  add(kCmdCategoryImport);
  add(kCmdCategoryExport);
  return menu;
}

void CCatOpView::RunMenuEntry(int entry) {
  switch (entry) {
    case kEntryAddSubCategory: {
      TCategoryRecord* current = Current();
      if (current && current->parent == 0) NewCategory(current);
      break;
    }
    case kEntryMerge:
      Merge();
      break;
    default:
      RunCommand(entry);
      return;
  }
  emit CommandStateChanged();
}

void CCatOpView::NewCategory(TCategoryRecord* parent) {
  CommitListEditor();
  std::uint32_t created = 0;
  TNameDialog dialog(
      parent ? QStringLiteral("Nouvelle sous-catégorie") : QStringLiteral("Nouvelle catégorie"),
      QStringLiteral("&Nom :"), QString(), static_cast<int>(kCategoryNameMaxChars), !parent, true,
      [&](const std::string& name, bool debit) {
        // The parent is looked up again: nothing else runs while the dialog
        // is open, but the record is not held across the user's typing.
        TCategoryRecord* p = parent ? db_.FindCategory(parent->id) : nullptr;
        TCategoryRecord* c = CreateCategory(db_, name, p, debit);
        if (c) created = c->id;
        return c != nullptr;
      },
      this);
  RunDialog(dialog);
  dialog.RethrowFailure();
  if (created) Changed(created);
}

void CCatOpView::ModifyCategory(TCategoryRecord& category) {
  CommitListEditor();
  const std::uint32_t id = category.id;
  const bool main = category.parent == 0;
  bool changed = false;
  TNameDialog dialog(
      Q(RenameCaption(category)), QStringLiteral("&Nom :"), Q(category.name),
      static_cast<int>(kCategoryNameMaxChars), main, category.debit != 0,
      [&](const std::string& name, bool debit) {
        TCategoryRecord* c = db_.FindCategory(id);
        if (!c) return true;
        changed = main ? RenameCategory(db_, *c, name, debit) : RenameCategory(db_, *c, name);
        return changed;
      },
      this);
  RunDialog(dialog);
  dialog.RethrowFailure();
  if (changed) Changed(id);
}

void CCatOpView::DeleteCategory(TCategoryRecord& category) {
  CommitListEditor();
  // Where the cursor goes: a sub-category's main category, else the next
  // main category, else the one before ("Divers" at the top).
  std::uint32_t cursor = category.parent;
  if (!cursor) {
    if (QTreeWidgetItem* item = tree_->ItemOf(category.id)) {
      const int index = tree_->indexOfTopLevelItem(item);
      QTreeWidgetItem* next = tree_->topLevelItem(index + 1);
      cursor = TCategoryPane::CategoryOf(next ? next : tree_->topLevelItem(index - 1));
    }
  }
  if (!DeleteCategoryWithRules(db_, category, TCategoryDeleteFrom::Pane, tree_->MarkSlot())) {
    return;
  }
  tree_->ShowMark();
  Changed(cursor);
}

void CCatOpView::Merge() {
  TCategoryRecord* into = Current();
  TCategoryRecord* from = tree_->Marked() ? db_.FindCategory(tree_->Marked()) : nullptr;
  if (!into || !from || !MergeCommand(db_, from->id, into->id).enabled) return;
  CommitListEditor();
  const std::uint32_t into_id = into->id;
  if (!MergeCategories(db_, *from, *into, tree_->MarkSlot())) return;
  tree_->ShowMark();
  Changed(into_id);
}

void CCatOpView::Detail(std::uint32_t category) {
  TLinkedOperationsWindow window(Q(CategoryDetailCaption(db_, category)),
                                 LinkedRows(db_, OperationsOfCategory(db_, category)), this);
  RunDialog(window);
}

void CCatOpView::Changed(std::optional<std::uint32_t> cursor) {
  AfterChange();
  if (cursor) tree_->SetCurrentCategory(*cursor);
}

// --- CProjetView -----------------------------------------------------------------------------

CProjetView::CProjetView(TDatabase& db, CAccountListPane& list, QWidget* parent)
    : CSideView(QStringLiteral("Projets"), new TProjectPane(db), db, list, parent),
      projects_(static_cast<TProjectPane*>(View())) {
  setObjectName("CProjetView");
  connect(projects_, &QListWidget::currentItemChanged, this, &CPane::CommandStateChanged);
  connect(projects_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    projects_->setCurrentItem(projects_->itemAt(pos));
    ShowContextMenu(projects_->viewport()->mapToGlobal(pos));
  });
}

void CProjetView::Refresh(unsigned bits) {
  projects_->Refresh(bits);
}

TProjectRecord* CProjetView::Current() const {
  const std::optional<std::uint32_t> id = projects_->CurrentProject();
  return id && *id ? db_.FindProject(*id) : nullptr;
}

bool CProjetView::Shown() const {
  return list_ && list_->Box().List().Settings().project_column;
}

bool CProjetView::HandlesCommand(int id) const {
  // "Pro&jets" is the list's; "&Tous les projets" and "&Filtrer sur un
  // projet..." belong to the analysis views.
  return id >= kCmdProjectNew && id <= kCmdProjectDetail;
}

bool CProjetView::CommandEnabled(int id) const {
  if (id == kCmdProjectNew) return true;
  if (!HandlesCommand(id) || !Shown()) return false;
  const TProjectRecord* project = Current();
  if (!project) return false;
  return id != kCmdProjectClose || project->open;
}

void CProjetView::RunCommand(int id) {
  if (!CommandEnabled(id)) return;
  TProjectRecord* project = Current();
  switch (id) {
    case kCmdProjectNew:
      NewProject();
      break;
    case kCmdProjectRename:
      RenameProject(*project);
      break;
    case kCmdProjectDelete: {
      CommitListEditor();
      // The cursor goes to the next project, else the one before.
      const int row = projects_->row(projects_->ItemOf(project->id));
      QListWidgetItem* next =
          projects_->item(row + 1) ? projects_->item(row + 1) : projects_->item(row - 1);
      const std::uint32_t cursor = TProjectPane::ProjectOf(next);
      if (DeleteProjectAsked(db_, *project)) Changed(cursor);
      break;
    }
    case kCmdProjectClose: {
      CommitListEditor();
      const std::uint32_t cursor = project->id;
      if (CloseProjectAsked(db_, *project)) Changed(cursor);
      break;
    }
    case kCmdProjectDetail: {
      TLinkedOperationsWindow window(Q(ProjectDetailCaption(*project)),
                                     LinkedRows(db_, OperationsOfProject(db_, project->id)), this);
      RunDialog(window);
      break;
    }
    default:
      break;
  }
  emit CommandStateChanged();
}

QMenu* CProjetView::BuildContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (int id : std::initializer_list<int>{kCmdProjectNew, kCmdProjectRename, kCmdProjectDelete,
                                           kCmdProjectClose, 0, kCmdProjectDetail}) {
    if (id == 0) {
      menu->addSeparator();
    } else {
      AddEntry(*menu, TextOf(id), id, CommandEnabled(id));
    }
  }
  return menu;
}

void CProjetView::NewProject() {
  CommitListEditor();
  std::uint32_t created = 0;
  TNameDialog dialog(
      Q(kNewProjectCaption), QStringLiteral("&Libellé :"), QString(),
      static_cast<int>(kProjectLabelMaxChars), false, true,
      [&](const std::string& label, bool) {
        TProjectRecord* p = CreateProject(db_, label);
        if (p) created = p->id;
        return p != nullptr;
      },
      this);
  RunDialog(dialog);
  dialog.RethrowFailure();
  if (created) Changed(created);
}

void CProjetView::RenameProject(TProjectRecord& project) {
  CommitListEditor();
  const std::uint32_t id = project.id;
  bool renamed = false;
  TNameDialog dialog(
      Q(kRenameProjectCaption), QStringLiteral("&Libellé :"), Q(project.label),
      static_cast<int>(kProjectLabelMaxChars), false, true,
      [&](const std::string& label, bool) {
        TProjectRecord* p = db_.FindProject(id);
        if (!p) return true;
        renamed = ledgora::RenameProject(db_, *p, label);
        return renamed;
      },
      this);
  RunDialog(dialog);
  dialog.RethrowFailure();
  if (renamed) Changed(id);
}

void CProjetView::Changed(std::optional<std::uint32_t> cursor) {
  AfterChange();
  if (cursor) projects_->SetCurrentProject(*cursor);
}

}  // namespace ledgora::app
