// The side panes beside the operation list: the category tree and the
// project list. Read-only here; their entries are dragged onto a row of the
// list, which applies the drop rule of the core. The first entry of each
// stands for "none" ("Divers": no category; "[Aucun]": no project).
#pragma once

#include <QListWidget>
#include <QMimeData>
#include <QTreeWidget>
#include <cstdint>
#include <optional>

#include "storage/database.h"

namespace ledgora {

// The drag formats: the identifier as decimal text (0: none).
inline constexpr const char* kCategoryMimeType = "application/x-ledgora-category";
inline constexpr const char* kProjectMimeType = "application/x-ledgora-project";

// The identifier a drag carries, none when it carries no such entry.
std::optional<std::uint32_t> DraggedCategory(const QMimeData* mime);
std::optional<std::uint32_t> DraggedProject(const QMimeData* mime);

class TCategoryPane : public QTreeWidget {
  Q_OBJECT
 public:
  explicit TCategoryPane(TDatabase& db, QWidget* parent = nullptr);

  // The drag data of an entry (owned by the caller).
  QMimeData* MimeFor(const QTreeWidgetItem* item) const;
  // The entry of a category (0: "Divers"), or null.
  QTreeWidgetItem* ItemOf(std::uint32_t category) const;

 public slots:
  // Rebuilt on kRefreshSidePanes.
  void Refresh(unsigned bits);
  void Fill();
  void ClearCategorySelection();

 signals:
  // The selected category (0: none) and whether its node is collapsed.
  void CategorySelected(quint32 category, bool collapsed);

 protected:
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  QStringList mimeTypes() const override;

 private:
  void TellSelection();
  TDatabase& db_;
};

class TProjectPane : public QListWidget {
  Q_OBJECT
 public:
  explicit TProjectPane(TDatabase& db, QWidget* parent = nullptr);

  QMimeData* MimeFor(const QListWidgetItem* item) const;
  QListWidgetItem* ItemOf(std::uint32_t project) const;

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
