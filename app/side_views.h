// The side panes of mode 1 with their commands: the category pane
// (CCatOpView, menu "&Catégories") and the project pane (CProjetView, menu
// "&Projets"), each with the same commands in its context menu.
//
// Every question and refusal comes from the rules of the core
// (operations/category_rules.h, operations/project_rules.h) through the
// book's port. A change ends with the refresh notification
// kRefreshAfterChange (RefreshRequested), which the main window relays to
// the list and to both panes; without a listener the pane refreshes itself
// and the list. Storage errors (TXOrvanet) leave RunCommand for the main
// window's handling; those of a context-menu entry leave the pane's event
// handler for the application's.
//
// The category the list filters on (display filter 3) is the marked one
// ("Sé&lectionner"), not the one under the cursor.
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/operation_panes.h"

class QDialog;
class QMenu;

namespace ledgora {
class TCategoryPane;
class TCategoryRecord;
class TProjectPane;
class TProjectRecord;
}  // namespace ledgora

namespace ledgora::app {

// How the panes show their dialogs (modal): exec() by default; the tests
// answer instead. Returns the dialog's result.
using TDialogRunner = std::function<int(QDialog&)>;

class CSideView : public CListSidePane {
  Q_OBJECT
 public:
  CSideView(const QString& title, QWidget* view, TDatabase& db, CAccountListPane& list,
            QWidget* parent);
  void SetDialogRunner(TDialogRunner runner) { run_dialog_ = std::move(runner); }

  // The context menu at the cursor: each entry carries its entry number
  // (data), carried out by RunMenuEntry. Owned by the caller.
  virtual QMenu* BuildContextMenu(QWidget* parent) = 0;
  virtual void RunMenuEntry(int entry) = 0;

 protected:
  int RunDialog(QDialog& dialog) { return run_dialog_(dialog); }
  // The list's open editor commits its edit before a change of the book.
  void CommitListEditor();
  // The refresh after a change: RefreshRequested(kRefreshAfterChange) to
  // the main window, or the list and this pane refreshed at once when
  // nothing listens.
  void AfterChange();
  // The context menu at a point of the screen; the chosen entry is carried
  // out once the menu has closed.
  void ShowContextMenu(const QPoint& global);

  TDatabase& db_;
  QPointer<CAccountListPane> list_;

 private:
  TDialogRunner run_dialog_;
};

class CCatOpView : public CSideView {
  Q_OBJECT
 public:
  // Entries of the context menu beyond the commands of the table.
  static constexpr int kEntryAddSubCategory = -1;  // "&Ajouter une sous-catégorie..."
  static constexpr int kEntryMerge = -2;           // "F&usion : %s + %s => %s"

  CCatOpView(TDatabase& db, CAccountListPane& list, QWidget* parent);
  TCategoryPane& Tree() const { return *tree_; }

  void Refresh(unsigned bits) override;
  bool HandlesCommand(int id) const override;
  bool CommandEnabled(int id) const override;
  void RunCommand(int id) override;

  QMenu* BuildContextMenu(QWidget* parent) override;
  void RunMenuEntry(int entry) override;

 private:
  // The category under the cursor; null on "Divers" or no entry.
  TCategoryRecord* Current() const;
  void NewCategory(TCategoryRecord* parent);
  void ModifyCategory(TCategoryRecord& category);
  void DeleteCategory(TCategoryRecord& category);
  void Merge();
  void Detail(std::uint32_t category);
  void Changed(std::optional<std::uint32_t> cursor);

  TCategoryPane* tree_;
};

// The project commands are enabled on a project of the pane (not on
// "[Aucun]"); "&Clore le projet..." on an open one. While the pane is
// hidden (the list's project column is off) only "&Nouveau..." stays
// enabled: the others would act on a project the user cannot see.
class CProjetView : public CSideView {
  Q_OBJECT
 public:
  CProjetView(TDatabase& db, CAccountListPane& list, QWidget* parent);
  TProjectPane& Projects() const { return *projects_; }

  void Refresh(unsigned bits) override;
  bool HandlesCommand(int id) const override;
  bool CommandEnabled(int id) const override;
  void RunCommand(int id) override;

  QMenu* BuildContextMenu(QWidget* parent) override;
  void RunMenuEntry(int entry) override { RunCommand(entry); }

 private:
  // The project under the cursor; null on "[Aucun]" or no entry.
  TProjectRecord* Current() const;
  bool Shown() const;
  void NewProject();
  void RenameProject(TProjectRecord& project);
  void Changed(std::optional<std::uint32_t> cursor);

  TProjectPane* projects_;
};

}  // namespace ledgora::app
