#include "app/list/account_list_model.h"

#include "app/list/list_pictures.h"

namespace ledgora {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool IsFigure(int column) {
  const auto c = static_cast<TListColumn>(column);
  return c == TListColumn::Debit || c == TListColumn::Credit || c == TListColumn::CounterValue ||
         c == TListColumn::Balance;
}

}  // namespace

TAccountListModel::TAccountListModel(TOperationList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  list_.SetObserver(this);
}

TAccountListModel::~TAccountListModel() {
  list_.SetObserver(nullptr);
}

int TAccountListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.RowCount());
}

int TAccountListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kListColumnCount);
}

const TRowTexts& TAccountListModel::TextsOf(int row) const {
  if (row != cached_row_) {
    cached_ = list_.Texts(static_cast<std::size_t>(row));
    cached_row_ = row;
  }
  return cached_;
}

QVariant TAccountListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || resetting_ || index.row() >= rowCount()) return {};
  const int column = index.column();
  const auto c = static_cast<TListColumn>(column);
  switch (role) {
    case Qt::DisplayRole:
      return Q(TextsOf(index.row()).cells[static_cast<std::size_t>(column)]);
    case Qt::ToolTipRole: {
      const std::string tip = list_.ToolTip(static_cast<std::size_t>(index.row()));
      return tip.empty() ? QVariant() : QVariant(Q(tip));
    }
    case Qt::TextAlignmentRole:
      if (IsFigure(column)) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      if (c == TListColumn::Pointing) return QVariant(Qt::AlignCenter);
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
      if (c == TListColumn::Balance &&
          TextsOf(index.row()).balance_colour == TListColour::Warning) {
        return WarningColour();
      }
      return {};
    case Qt::DecorationRole:
      if (c == TListColumn::Pointing) {
        const QPixmap mark = PointingMarkPixmap(TextsOf(index.row()).mark);
        return mark.isNull() ? QVariant() : QVariant(mark);
      }
      return {};
    case MarkRole:
      return static_cast<int>(TextsOf(index.row()).mark);
    case PeriodicRole:
      return TextsOf(index.row()).periodic_mark;
    case OriginIconRole:
      return static_cast<uint>(TextsOf(index.row()).origin_icon);
    case NewEntryRole:
      return TextsOf(index.row()).new_entry;
    case LabelLineRole:
      return Q(TextsOf(index.row()).label_line);
    case ClassificationRole:
      return Q(TextsOf(index.row()).classification);
    case SourceAmountRole:
      return Q(TextsOf(index.row()).source_amount_line);
    case OperationIdRole: {
      const TOperationRecord* op = list_.OperationAt(static_cast<std::size_t>(index.row()));
      return static_cast<uint>(op ? op->id : 0);
    }
    default:
      return {};
  }
}

QVariant TAccountListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(kListColumnCount)) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) {
    return Q(list_.Columns()[static_cast<std::size_t>(section)].title);
  }
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
  return {};
}

Qt::ItemFlags TAccountListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}

void TAccountListModel::ListAboutToRefill() {
  if (resetting_) return;
  resetting_ = true;
  beginResetModel();
}

void TAccountListModel::ListRefilled() {
  cached_row_ = -1;
  if (resetting_) {
    resetting_ = false;
    endResetModel();
  }
  emit Refilled();
}

void TAccountListModel::ListRepaint() {
  cached_row_ = -1;
  if (rowCount() > 0) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  }
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

}  // namespace ledgora
