// The side panes beside the operation list: the category tree and the
// project list. Their entries are dragged onto a row of the list, which
// applies the drop rule of the core. The first entry of each stands for
// "none" ("Divers": no category; "[Aucun]": no project). The commands that
// change categories and projects are those of the panes of the main window
// (CCatOpView, CProjetView), which show these lists.
#pragma once

#include <QListWidget>
#include <QMimeData>
#include <QTreeWidget>
#include <cstdint>
#include <optional>

#include "operations/category_rules.h"
#include "operations/operation_list.h"
#include "storage/database.h"

namespace ledgora {

// The drag formats: the identifier as decimal text (0: none).
inline constexpr const char* kCategoryMimeType = "application/x-ledgora-category";
inline constexpr const char* kProjectMimeType = "application/x-ledgora-project";

// The identifier a drag carries, none when it carries no such entry.
std::optional<std::uint32_t> DraggedCategory(const QMimeData* mime);
std::optional<std::uint32_t> DraggedProject(const QMimeData* mime);

// The category tree. The cursor only says which category the commands act
// on; the category the list filters on (display filter 3) is the marked one,
// drawn in bold: "Sé&lectionner" marks the category under the cursor,
// "&Désélectionner" removes the mark (the rules of TCategoryMark). While a
// category is marked, collapsing or expanding its node is told to the list
// (its sub-categories count with it while it is collapsed). Refilling keeps
// the cursor, the mark and the nodes that were expanded.
//
// Wiring with the list window:
//   connect(tree, &TCategoryPane::MarkedCollapsedChanged, box,
//           &TAccountListBox::SetCategorySelection);
//   connect(box, &TAccountListBox::CategorySelectionCleared, tree,
//           &TCategoryPane::ClearMark);
class TCategoryPane : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TCategoryPane(TDatabase& db, QWidget* parent = nullptr);

  // The drag data of an entry (owned by the caller).
  QMimeData* MimeFor(const QTreeWidgetItem* item) const;
  // The entry of a category (0: "Divers"), or null.
  QTreeWidgetItem* ItemOf(std::uint32_t category) const;
  // The category of an entry (0: "Divers").
  static std::uint32_t CategoryOf(const QTreeWidgetItem* item);
  // The category under the cursor: none when the cursor is on no entry,
  // 0 on "Divers".
  std::optional<std::uint32_t> CurrentCategory() const;
  // Puts the cursor on a category's entry (its main category is expanded);
  // false when it has none.
  bool SetCurrentCategory(std::uint32_t category);
  // Whether a category's node holds sub-categories and is collapsed.
  bool Collapsed(std::uint32_t category) const;

  // The mark. Marked: 0 when none.
  std::uint32_t Marked() const { return mark_.Marked(); }
  // The slot the deletion and merge rules update.
  std::uint32_t* MarkSlot() { return mark_.Slot(); }
  // "Sé&lectionner": marks category (0: none, the list then shows the
  // operations without category) through TCategoryMark::Select, with the
  // collapsed state of its node. Errors: TXOrvanet.
  void MarkCategory(TOperationList& list, std::uint32_t category);
  // "&Désélectionner" (TCategoryMark::Deselect). Errors: TXOrvanet.
  void UnmarkCategory(TOperationList& list);
  // Tells the list the marked category and the state of its node when they
  // differ from what it holds (after a change of the tree). Errors:
  // TXOrvanet.
  void TellList(TOperationList& list) const;
  // Draws the mark again (after a rule changed MarkSlot()).
  void ShowMark();

 public slots:
  // Rebuilt on kRefreshSidePanes.
  void Refresh(unsigned bits);
  void Fill();
  // The list dropped its category ("Opérations sans cat&égorie" chosen): the
  // mark goes, without touching the display filter.
  void ClearMark();

 signals:
  // The node of the marked category was collapsed or expanded.
  void MarkedCollapsedChanged(quint32 category, bool collapsed);

 protected:
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  QStringList mimeTypes() const override;

 private:
  void NodeToggled(QTreeWidgetItem* item);
  TDatabase& db_;
  TCategoryMark mark_;
};

// The project list: "[Aucun]", then the projects in book order (a closed
// one in grey italics). Refilling keeps the cursor.
class TProjectPane : public QListWidget {
  Q_OBJECT
 public:
  explicit TProjectPane(TDatabase& db, QWidget* parent = nullptr);

  QMimeData* MimeFor(const QListWidgetItem* item) const;
  QListWidgetItem* ItemOf(std::uint32_t project) const;
  // The project of an entry (0: "[Aucun]").
  static std::uint32_t ProjectOf(const QListWidgetItem* item);
  // The project under the cursor: none when the cursor is on no entry, 0 on
  // "[Aucun]".
  std::optional<std::uint32_t> CurrentProject() const;
  bool SetCurrentProject(std::uint32_t project);

 public slots:
  void Refresh(unsigned bits);
  void Fill();

 protected:
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
  QStringList mimeTypes() const override;

 private:
  TDatabase& db_;
};

}  // namespace ledgora
