#include "app/list/side_panes.h"

#include <QHeaderView>

#include "operations/classification.h"
#include "operations/refresh.h"

namespace ledgora {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr int kIdRole = Qt::UserRole + 1;

std::optional<std::uint32_t> Dragged(const QMimeData* mime, const char* type) {
  if (!mime || !mime->hasFormat(type)) return std::nullopt;
  bool ok = false;
  const qulonglong id = QString::fromLatin1(mime->data(type)).toULongLong(&ok);
  if (!ok || id > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<std::uint32_t>(id);
}

QMimeData* Mime(const char* type, std::uint32_t id) {
  auto* mime = new QMimeData;
  mime->setData(type, QByteArray::number(id));
  return mime;
}

}  // namespace

std::optional<std::uint32_t> DraggedCategory(const QMimeData* mime) {
  return Dragged(mime, kCategoryMimeType);
}

std::optional<std::uint32_t> DraggedProject(const QMimeData* mime) {
  return Dragged(mime, kProjectMimeType);
}

// --- Categories -----------------------------------------------------------------------------

TCategoryPane::TCategoryPane(TDatabase& db, QWidget* parent) : QTreeWidget(parent), db_(db) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { TellSelection(); });
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (item == currentItem()) TellSelection();
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (item == currentItem()) TellSelection();
  });
  Fill();
}

void TCategoryPane::Fill() {
  const std::uint32_t selected = currentItem() ? currentItem()->data(0, kIdRole).toUInt() : 0;
  const bool had_selection = currentItem() != nullptr;
  QSignalBlocker block(this);
  clear();
  auto* none = new QTreeWidgetItem(this, {QStringLiteral("Divers")});
  none->setData(0, kIdRole, 0u);
  for (TCategoryRecord& top : db_.Categories().Records<TCategoryRecord>()) {
    auto* item = new QTreeWidgetItem(this, {Q(top.name)});
    item->setData(0, kIdRole, top.id);
    item->setForeground(0, top.debit ? QColor(140, 0, 0) : QColor(0, 100, 0));
    if (const TRecordList* subs = top.SubCategoriesIfAny()) {
      for (TCategoryRecord& sub : subs->Records<TCategoryRecord>()) {
        auto* child = new QTreeWidgetItem(item, {Q(sub.name)});
        child->setData(0, kIdRole, sub.id);
        child->setForeground(0, sub.debit ? QColor(140, 0, 0) : QColor(0, 100, 0));
      }
    }
  }
  if (had_selection) {
    if (QTreeWidgetItem* item = ItemOf(selected)) setCurrentItem(item);
  }
}

QTreeWidgetItem* TCategoryPane::ItemOf(std::uint32_t category) const {
  for (QTreeWidgetItemIterator it(const_cast<TCategoryPane*>(this)); *it; ++it) {
    if ((*it)->data(0, kIdRole).toUInt() == category) return *it;
  }
  return nullptr;
}

void TCategoryPane::Refresh(unsigned bits) {
  if (bits & kRefreshSidePanes) Fill();
}

void TCategoryPane::ClearCategorySelection() {
  QSignalBlocker block(this);
  setCurrentItem(nullptr);
  clearSelection();
}

void TCategoryPane::TellSelection() {
  QTreeWidgetItem* item = currentItem();
  if (!item) {
    emit CategorySelected(0, false);
    return;
  }
  const bool collapsed = item->childCount() > 0 && !item->isExpanded();
  emit CategorySelected(item->data(0, kIdRole).toUInt(), collapsed);
}

QMimeData* TCategoryPane::MimeFor(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  return Mime(kCategoryMimeType, item->data(0, kIdRole).toUInt());
}

QMimeData* TCategoryPane::mimeData(const QList<QTreeWidgetItem*>& items) const {
  return items.isEmpty() ? nullptr : MimeFor(items.first());
}

QStringList TCategoryPane::mimeTypes() const {
  return {QString::fromLatin1(kCategoryMimeType)};
}

// --- Projects --------------------------------------------------------------------------------

TProjectPane::TProjectPane(TDatabase& db, QWidget* parent) : QListWidget(parent), db_(db) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
  Fill();
}

void TProjectPane::Fill() {
  QSignalBlocker block(this);
  clear();
  auto* none = new QListWidgetItem(Q(kNoProjectLabel), this);
  none->setData(kIdRole, 0u);
  for (TProjectRecord& project : db_.Projects().Records<TProjectRecord>()) {
    auto* item = new QListWidgetItem(Q(project.label), this);
    item->setData(kIdRole, project.id);
    if (!project.open) {
      // A closed project is shown, greyed: dropping it is refused by the rule.
      QFont italic = item->font();
      italic.setItalic(true);
      item->setFont(italic);
      item->setForeground(QColor(128, 128, 128));
    }
  }
}

QListWidgetItem* TProjectPane::ItemOf(std::uint32_t project) const {
  for (int i = 0; i < count(); ++i) {
    if (item(i)->data(kIdRole).toUInt() == project) return item(i);
  }
  return nullptr;
}

void TProjectPane::Refresh(unsigned bits) {
  if (bits & kRefreshSidePanes) Fill();
}

QMimeData* TProjectPane::MimeFor(const QListWidgetItem* item) const {
  if (!item) return nullptr;
  return Mime(kProjectMimeType, item->data(kIdRole).toUInt());
}

QMimeData* TProjectPane::mimeData(const QList<QListWidgetItem*>& items) const {
  return items.isEmpty() ? nullptr : MimeFor(items.first());
}

QStringList TProjectPane::mimeTypes() const {
  return {QString::fromLatin1(kProjectMimeType)};
}

}  // namespace ledgora
