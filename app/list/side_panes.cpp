#include "app/list/side_panes.h"

#include <QHeaderView>
#include <algorithm>
#include <vector>

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
  connect(this, &QTreeWidget::itemExpanded, this, &TCategoryPane::NodeToggled);
  connect(this, &QTreeWidget::itemCollapsed, this, &TCategoryPane::NodeToggled);
  Fill();
}

void TCategoryPane::Fill() {
  const std::optional<std::uint32_t> current = CurrentCategory();
  std::vector<std::uint32_t> expanded;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isExpanded()) expanded.push_back(CategoryOf(topLevelItem(i)));
  }
  QSignalBlocker block(this);
  clear();
  auto add = [this](QTreeWidgetItem* item, const TCategoryRecord& c) {
    item->setText(0, Q(c.name));
    item->setData(0, kIdRole, c.id);
    item->setForeground(0, c.debit ? QColor(140, 0, 0) : QColor(0, 100, 0));
    return item;
  };
  auto* none = new QTreeWidgetItem(this, {Q(kNoCategoryText)});
  none->setData(0, kIdRole, 0u);
  for (TCategoryRecord& top : db_.Categories().Records<TCategoryRecord>()) {
    QTreeWidgetItem* item = add(new QTreeWidgetItem(this), top);
    if (const TRecordList* subs = top.SubCategoriesIfAny()) {
      for (TCategoryRecord& sub : subs->Records<TCategoryRecord>()) {
        add(new QTreeWidgetItem(item), sub);
      }
    }
    if (std::find(expanded.begin(), expanded.end(), top.id) != expanded.end()) {
      item->setExpanded(true);
    }
  }
  // The mark of a category that went is gone with it.
  if (Marked() && !ItemOf(Marked())) *MarkSlot() = 0;
  ShowMark();
  if (current) {
    if (QTreeWidgetItem* item = ItemOf(*current)) setCurrentItem(item);
  }
}

std::uint32_t TCategoryPane::CategoryOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kIdRole).toUInt() : 0;
}

std::optional<std::uint32_t> TCategoryPane::CurrentCategory() const {
  if (!currentItem()) return std::nullopt;
  return CategoryOf(currentItem());
}

bool TCategoryPane::SetCurrentCategory(std::uint32_t category) {
  QTreeWidgetItem* item = ItemOf(category);
  if (!item) return false;
  if (item->parent()) item->parent()->setExpanded(true);
  setCurrentItem(item);
  scrollToItem(item);
  return true;
}

void TCategoryPane::ShowMark() {
  for (QTreeWidgetItemIterator it(this); *it; ++it) {
    QFont font = (*it)->font(0);
    const bool bold = Marked() != 0 && CategoryOf(*it) == Marked();
    if (font.bold() != bold) {
      font.setBold(bold);
      (*it)->setFont(0, font);
    }
  }
}

void TCategoryPane::MarkCategory(TOperationList& list, std::uint32_t category) {
  // The state of the node goes with the mark; set beforehand when that
  // costs no refill, so that the marking refills once.
  if (list.Settings().filter != TDisplayFilter::SelectedCategory) {
    list.SetCategorySelection({list.CategorySelection().category, Collapsed(category)});
  }
  mark_.Select(list, category);
  ShowMark();
  TellList(list);
}

void TCategoryPane::UnmarkCategory(TOperationList& list) {
  mark_.Deselect(list);
  ShowMark();
  // Under another display filter the list still named the category: a later
  // "Opérations correspondant à la catégorie sélectionnée" must not show it.
  TellList(list);
}

void TCategoryPane::TellList(TOperationList& list) const {
  const TCategorySelection wanted{Marked(), Collapsed(Marked())};
  if (list.CategorySelection() != wanted) list.SetCategorySelection(wanted);
}

void TCategoryPane::ClearMark() {
  *MarkSlot() = 0;
  ShowMark();
}

bool TCategoryPane::Collapsed(std::uint32_t category) const {
  const QTreeWidgetItem* item = category ? ItemOf(category) : nullptr;
  return item && item->childCount() > 0 && !item->isExpanded();
}

QTreeWidgetItem* TCategoryPane::ItemOf(std::uint32_t category) const {
  for (QTreeWidgetItemIterator it(const_cast<TCategoryPane*>(this)); *it; ++it) {
    if (CategoryOf(*it) == category) return *it;
  }
  return nullptr;
}

void TCategoryPane::Refresh(unsigned bits) {
  if (bits & kRefreshSidePanes) Fill();
}

void TCategoryPane::NodeToggled(QTreeWidgetItem* item) {
  if (Marked() != 0 && CategoryOf(item) == Marked()) {
    emit MarkedCollapsedChanged(Marked(), Collapsed(Marked()));
  }
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
  const std::optional<std::uint32_t> current = CurrentProject();
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
  if (current) SetCurrentProject(*current);
}

std::uint32_t TProjectPane::ProjectOf(const QListWidgetItem* item) {
  return item ? item->data(kIdRole).toUInt() : 0;
}

std::optional<std::uint32_t> TProjectPane::CurrentProject() const {
  if (!currentItem()) return std::nullopt;
  return ProjectOf(currentItem());
}

bool TProjectPane::SetCurrentProject(std::uint32_t project) {
  QListWidgetItem* item = ItemOf(project);
  if (!item) return false;
  setCurrentItem(item);
  scrollToItem(item);
  return true;
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
