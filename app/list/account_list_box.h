// TAccountListBox: the operation list window of the active account.
//
// A table view over TAccountListModel (no widget or string per row), the
// footer, the in-place editor over the selected row, and the commands of the
// "&Opérations" menu and of the view menu that the main window routes here.
// Every command calls the rule of the core (TOperationCommands,
// TOperationEditor, TTransferRule, TSplitRule, the view settings), which asks
// its questions through the book's user port; nothing of a rule is done
// here.
//
// Refresh: the rules notify the list's refresh sink, which this window turns
// into the RefreshRequested signal so that the main window relays the bits to
// the panes of the current mode, this one included (Refresh). While nothing
// is connected to RefreshRequested the window handles the bits itself.
//
// Wiring in the main window (all connections direct, on the UI thread):
//   connect(box, &TAccountListBox::RefreshRequested, frame, <relay>), the
//     relay calling box->Refresh(bits) and the panes' Refresh(bits);
//   connect(categories, &TCategoryPane::MarkedCollapsedChanged, box,
//           &TAccountListBox::SetCategorySelection): the marked category
//     of the pane is the list's category filter;
//   connect(box, &TAccountListBox::CategorySelectionCleared, categories,
//           &TCategoryPane::ClearMark);
//   CommandStateChanged: the menus ask CommandAvailable, CommandChecked,
//     UndoText and ViewCommandChecked again.
//   connect(box, &TAccountListBox::ActiveAccountChanged, frame, <account bar
//     selects the account>): a search found its match in another account,
//     which is now the book's active one and the list shows it.
//
// The two "Recherche" dialogs (FindLabel, FindAmount) are modeless, one of
// each per list, owned by this window: reopening shows the existing one,
// and they go with the list.
//
// Storage failures (TXOrvanet) of a command are shown through the user port
// with their French text; the list is then refilled from the book as it is.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "app/list/operation_row_editor.h"
#include "operations/list_settings.h"
#include "operations/operation_commands.h"
#include "operations/operation_editor.h"
#include "operations/operation_list.h"
#include "operations/split_rule.h"
#include "operations/transfer_rule.h"

class QMenu;

namespace ledgora {

class TAccountListModel;
class TAccountListView;
class TAmountSearchDialog;
class TLabelSearchDialog;
class TListFooterBar;
struct TSearchResult;
struct TSearchSettings;

class TAccountListBox : public QWidget {
  Q_OBJECT
 public:
  // db and hooks must outlive the window; port answers the validators of the
  // editor and dialogs (the rules use the book's port).
  TAccountListBox(TDatabase& db, TOperationsHooks& hooks, TUserPort& port,
                  QWidget* parent = nullptr);
  ~TAccountListBox() override;

  TOperationList& List() { return *list_; }
  TOperationCommands& Commands() { return commands_; }
  TAccountListModel& Model() { return *model_; }
  TAccountListView& View() { return *view_; }
  TListFooterBar& Footer() { return *footer_; }
  // The editor open over a row, or null.
  TOperationRowEditor* Editor() const { return editor_; }

  // The selected row (the core list's selection).
  int CurrentRow() const;
  // The context name of the list ("TAccountListBox-Courant", ...).
  QString ContextName() const;
  // For the menus: availability and check marks of the commands on the
  // selected row, the undo command's text, the view commands' check marks.
  bool CommandAvailable(TOperationCommand command) const;
  bool CommandChecked(TOperationCommand command) const;
  QString UndoText() const;
  bool ViewCommandChecked(TViewCommand command) const;
  // "Créer une associa&tion..." is offered on the selected row: a Normal
  // operation with a category of the book.
  bool CanCreateAssociation() const;
  // The search dialogs once opened, else null.
  TLabelSearchDialog* LabelSearch() const;
  TAmountSearchDialog* AmountSearch() const;

  // The pop-up menu of a row: the commands, with the transfer candidates
  // ("Aucun" and at most 250 accounts) in the "V&irement..." entry.
  // Owned by the caller.
  QMenu* BuildRowMenu(int row, QWidget* parent);

 public slots:
  // The bits of a refresh notification (kRefillFull, kRepaintOnly,
  // kRecomputeBalances); the others are ignored here.
  void Refresh(unsigned bits);
  // Makes account the active one (null: none) and refills.
  void SelectAccount(TAccountRecord* account);
  void SelectRow(int row);
  // From the category pane: the selected category and whether its node is
  // collapsed.
  void SetCategorySelection(quint32 category, bool collapsed);

  // "&Opérations".
  void Modify();  // "&Modifier\tEntrée": opens the editor over the selected row
  bool ModifyRow(int row);
  void TogglePointing();  // "&Pointer\tEspace"
  void MarkDownloaded();
  void Delete();
  void Cut();
  void Copy();
  void Paste();  // then opens the pasted row in the editor
  void Undo();
  void Transfer();  // the transfer dialog
  void Split();     // the split dialog
  // Drops from the side panes (0: "no category" / no project).
  bool DropCategory(int row, quint32 category);
  bool DropProject(int row, quint32 project);
  // "Ch&ercher libellé...\tCtrl+L" and "C&hercher montant...\tCtrl+M": the
  // modeless dialog, made on first use, shown and brought to the front.
  void FindLabel();
  void FindAmount();
  // "Créer une associa&tion..." on the selected row.
  void CreateAssociation();

  // The view menu.
  void GeneralFilter();  // "&Filtres pour l'affichage..."
  void RunViewCommand(ledgora::TViewCommand command);

  // Closes the editor without applying it.
  void CancelEdit();

 signals:
  void RefreshRequested(unsigned bits);
  // The category filter "sans catégorie" was chosen: the category pane drops
  // its selection.
  void CategorySelectionCleared();
  // "Pro&jets" flipped the project column (the project pane follows).
  void ProjectColumnToggled(bool shown);
  // The selection moved, or a command changed what the menus show.
  void CommandStateChanged();
  // A search made another account the active one (the list was refilled
  // for it): the account bar follows. Not sent by SelectAccount.
  void ActiveAccountChanged(ledgora::TAccountRecord* account);

 private:
  class TSignalSink;
  template <class F>
  bool Guarded(F&& body);
  void AfterRefill();
  void ApplyColumns();
  void PlaceEditor();
  void CloseEditor();
  std::size_t Row() const;
  TSearchResult RunSearch(bool by_label, const std::string& text, const TSearchSettings& settings);

  TDatabase& db_;
  TUserPort& port_;
  std::unique_ptr<TSignalSink> sink_;
  std::unique_ptr<TOperationList> list_;
  TOperationCommands commands_;
  TOperationEditor editor_rule_;
  TTransferRule transfer_rule_;
  TSplitRule split_rule_;
  TAccountListModel* model_;
  TAccountListView* view_;
  TListFooterBar* footer_;
  QPointer<TOperationRowEditor> editor_;
  QPointer<TLabelSearchDialog> label_search_;
  QPointer<TAmountSearchDialog> amount_search_;
  bool syncing_selection_ = false;
};

}  // namespace ledgora
