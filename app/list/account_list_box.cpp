#include "app/list/account_list_box.h"

#include <QHeaderView>
#include <QMenu>
#include <QMetaMethod>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/list/account_list_model.h"
#include "app/list/account_list_view.h"
#include "app/list/association_dialogs.h"
#include "app/list/general_filter_dialog.h"
#include "app/list/list_footer_bar.h"
#include "app/list/list_row_delegate.h"
#include "app/list/operation_row_editor.h"
#include "app/list/search_dialogs.h"
#include "app/list/split_dialog.h"
#include "app/list/storage_errors.h"
#include "app/list/transfer_dialog.h"
#include "operations/undo_slot.h"

namespace ledgora {

namespace {
QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

// The list's refresh sink: the bits leave through RefreshRequested when the
// main window listens, else this window handles them at once (the sink must
// be synchronous either way).
class TAccountListBox::TSignalSink : public TRefreshSink {
 public:
  explicit TSignalSink(TAccountListBox& box) : box_(box) {}
  void Refresh(unsigned bits) override {
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TAccountListBox::RefreshRequested);
    if (box_.isSignalConnected(signal)) {
      emit box_.RefreshRequested(bits);
    } else {
      box_.Refresh(bits);
    }
  }

 private:
  TAccountListBox& box_;
};

TAccountListBox::TAccountListBox(TDatabase& db, TOperationsHooks& hooks, TUserPort& port,
                                 QWidget* parent)
    : QWidget(parent),
      db_(db),
      port_(port),
      sink_(std::make_unique<TSignalSink>(*this)),
      list_(std::make_unique<TOperationList>(db, hooks, TListSettings::Load())),
      commands_(*list_),
      editor_rule_(*list_),
      transfer_rule_(*list_),
      split_rule_(*list_) {
  list_->SetRefreshSink(sink_.get());
  model_ = new TAccountListModel(*list_, this);
  view_ = new TAccountListView(this);
  view_->setModel(model_);
  view_->setItemDelegate(new TListRowDelegate(view_));
  footer_ = new TListFooterBar(this);
  // The list's own small font: its columns are laid out for it.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(view_, 1);
  layout->addWidget(footer_);

  const std::vector<TListColumnInfo> columns = list_->Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    int width = columns[i].width;
    // A date must show whole in this font, however wide its digits.
    if (columns[i].column == TListColumn::Date) {
      width =
          std::max(width, QFontMetrics(small).horizontalAdvance(QStringLiteral("00/00/0000")) + 10);
    }
    view_->setColumnWidth(static_cast<int>(i), width);
  }

  connect(model_, &TAccountListModel::Refilled, this, &TAccountListBox::AfterRefill);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (syncing_selection_ || !current.isValid()) return;
            list_->Select(static_cast<std::size_t>(current.row()));
            emit CommandStateChanged();
          });
  connect(view_, &TAccountListView::ModifyRequested, this, &TAccountListBox::ModifyRow);
  connect(view_, &TAccountListView::PointRequested, this, [this](int row) {
    SelectRow(row);
    TogglePointing();
  });
  connect(view_, &TAccountListView::DeleteRequested, this, [this](int row) {
    SelectRow(row);
    Delete();
  });
  connect(view_, &TAccountListView::CategoryDropped, this, &TAccountListBox::DropCategory);
  connect(view_, &TAccountListView::ProjectDropped, this, &TAccountListBox::DropProject);
  connect(view_, &TAccountListView::MenuRequested, this, [this](int row, const QPoint& pos) {
    SelectRow(row);
    std::unique_ptr<QMenu> menu(BuildRowMenu(row, this));
    menu->exec(pos);
  });
  connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceEditor(); });
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceEditor(); });

  if (db_.CurrentAccount()) {
    Guarded([this] { list_->Refill(); });
  } else {
    AfterRefill();
  }
  // Shortly after creation the row stored in "LigneCompteActif" is selected.
  QTimer::singleShot(100, this, [this] {
    if (list_->RowCount() > 0) SelectRow(static_cast<int>(list_->InitialRow()));
  });
}

TAccountListBox::~TAccountListBox() {
  // The search dialogs call into this window: they go first.
  delete label_search_.data();
  delete amount_search_.data();
  // The view and the model read the core list: they go before it does.
  delete editor_.data();
  delete view_;
  delete model_;
  list_->SetRefreshSink(nullptr);
}

template <class F>
bool TAccountListBox::Guarded(F&& body) {
  const bool done = ShowingStorageErrors(port_, std::forward<F>(body));
  if (!done && list_->Stale()) {
    // A failed change may leave rows naming records that went: read the
    // book again.
    ShowingStorageErrors(port_, [this] { list_->Refill(); });
  }
  emit CommandStateChanged();
  return done;
}

std::size_t TAccountListBox::Row() const {
  return list_->Selected();
}

int TAccountListBox::CurrentRow() const {
  return static_cast<int>(list_->Selected());
}

QString TAccountListBox::ContextName() const {
  return Q(list_->ContextName());
}

bool TAccountListBox::CommandAvailable(TOperationCommand command) const {
  return commands_.Available(command, Row());
}

bool TAccountListBox::CommandChecked(TOperationCommand command) const {
  return commands_.Checked(command, Row());
}

QString TAccountListBox::UndoText() const {
  return QString::fromStdString(commands_.UndoText());
}

bool TAccountListBox::ViewCommandChecked(TViewCommand command) const {
  return ledgora::ViewCommandChecked(list_->Settings(), command);
}

// --- Refill and selection ----------------------------------------------------------------

void TAccountListBox::Refresh(unsigned bits) {
  Guarded([this, bits] { list_->HandleRefresh(bits); });
  if (bits & (kRepaintOnly | kRecomputeBalances)) footer_->Show(list_->Footer());
}

void TAccountListBox::SelectAccount(TAccountRecord* account) {
  CloseEditor();
  Guarded([this, account] { list_->SelectAccount(account); });
  if (account && list_->RowCount() > 0) SelectRow(static_cast<int>(list_->RowCount() - 1));
}

void TAccountListBox::SelectRow(int row) {
  if (row < 0 || list_->RowCount() == 0) return;
  list_->Select(static_cast<std::size_t>(row));
  const QModelIndex index = model_->index(static_cast<int>(list_->Selected()), 1);
  syncing_selection_ = true;
  view_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  syncing_selection_ = false;
  view_->scrollTo(index);
  emit CommandStateChanged();
}

void TAccountListBox::SetCategorySelection(quint32 category, bool collapsed) {
  Guarded([&] { list_->SetCategorySelection({category, collapsed}); });
}

void TAccountListBox::ApplyColumns() {
  const std::vector<TListColumnInfo> columns = list_->Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    view_->setColumnHidden(static_cast<int>(i), !columns[i].visible);
  }
  view_->verticalHeader()->setDefaultSectionSize(list_->Settings().RowHeight());
}

void TAccountListBox::AfterRefill() {
  ApplyColumns();
  if (list_->RowCount() > 0) {
    const QModelIndex index = model_->index(static_cast<int>(list_->Selected()), 1);
    syncing_selection_ = true;
    view_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_selection_ = false;
  }
  footer_->Show(list_->Footer());
  if (editor_) {
    // The rows moved under the editor: follow its operation, or close.
    const TEditSession& s = editor_->Session();
    const bool there =
        s.NewEntry() ? list_->Account() != nullptr : list_->RowOf(s.OperationId()).has_value();
    if (there) {
      PlaceEditor();
    } else {
      CloseEditor();
    }
  }
  emit CommandStateChanged();
}

// --- The in-place editor ------------------------------------------------------------------

void TAccountListBox::Modify() {
  ModifyRow(CurrentRow());
}

bool TAccountListBox::ModifyRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= list_->RowCount()) return false;
  CloseEditor();
  SelectRow(row);
  std::optional<TEditSession> session;
  if (!Guarded([&] {
        session = editor_rule_.Begin(static_cast<std::size_t>(row));
        return session.has_value();
      })) {
    return false;
  }
  editor_ = new TOperationRowEditor(editor_rule_, std::move(*session), port_, view_->viewport());
  connect(editor_, &TOperationRowEditor::Finished, this, [this](bool) {
    CloseEditor();
    view_->setFocus();
  });
  PlaceEditor();
  editor_->show();
  editor_->DateField()->setFocus();
  editor_->DateField()->selectAll();
  return true;
}

void TAccountListBox::PlaceEditor() {
  if (!editor_) return;
  const TEditSession& s = editor_->Session();
  std::optional<std::size_t> row;
  if (s.NewEntry()) {
    if (list_->RowCount() > 0) row = list_->RowCount() - 1;
  } else {
    row = list_->RowOf(s.OperationId());
  }
  if (!row) return;
  const int r = static_cast<int>(*row);
  const int y = view_->rowViewportPosition(r);
  const int h = view_->rowHeight(r);
  std::array<std::pair<int, int>, kListColumnCount> columns{};
  QHeaderView* header = view_->horizontalHeader();
  for (std::size_t c = 0; c < kListColumnCount; ++c) {
    const int i = static_cast<int>(c);
    if (!view_->isColumnHidden(i)) {
      columns[c] = {header->sectionViewportPosition(i), header->sectionSize(i)};
    }
  }
  // The editor spans the columns shown, not the empty space after them.
  int right = 0;
  for (const auto& [left, width] : columns) right = std::max(right, left + width);
  editor_->Place(QRect(0, y, std::min(right + 1, view_->viewport()->width()), h), columns);
}

void TAccountListBox::CloseEditor() {
  if (!editor_) return;
  TOperationRowEditor* editor = editor_;
  editor_ = nullptr;
  editor->hide();
  editor->deleteLater();
}

void TAccountListBox::CancelEdit() {
  CloseEditor();
}

// --- "&Opérations" ---------------------------------------------------------------------------

void TAccountListBox::TogglePointing() {
  if (!commands_.Available(TOperationCommand::Point, Row())) return;
  Guarded([this] { return commands_.TogglePointing(Row()); });
}

void TAccountListBox::MarkDownloaded() {
  Guarded([this] { return commands_.MarkDownloaded(Row()); });
}

void TAccountListBox::Delete() {
  CloseEditor();
  if (!commands_.Available(TOperationCommand::Delete, Row())) return;
  Guarded([this] { return commands_.Delete(Row()); });
}

void TAccountListBox::Cut() {
  CloseEditor();
  if (!commands_.Available(TOperationCommand::Cut, Row())) return;
  Guarded([this] { return commands_.Cut(Row()); });
}

void TAccountListBox::Copy() {
  if (!commands_.Available(TOperationCommand::Copy, Row())) return;
  Guarded([this] { return commands_.Copy(Row()); });
}

void TAccountListBox::Paste() {
  CloseEditor();
  if (!commands_.Available(TOperationCommand::Paste, Row())) return;
  TPasteResult result;
  if (!Guarded([&] {
        result = commands_.Paste();
        return result.pasted;
      })) {
    return;
  }
  if (result.row) ModifyRow(static_cast<int>(*result.row));
}

void TAccountListBox::Undo() {
  CloseEditor();
  if (!commands_.Available(TOperationCommand::Undo, Row())) return;
  Guarded([this] { return commands_.Undo(); });
}

void TAccountListBox::Transfer() {
  CloseEditor();
  const std::size_t row = Row();
  if (!transfer_rule_.Available(row)) return;
  TTransferDialog dialog(transfer_rule_, row, port_, this);
  dialog.exec();
  emit CommandStateChanged();
}

void TAccountListBox::Split() {
  CloseEditor();
  const std::size_t row = Row();
  if (!split_rule_.Available(row)) return;
  std::optional<TSplitDraft> draft;
  if (!Guarded([&] {
        draft = split_rule_.Begin(row);
        return draft.has_value();
      })) {
    return;
  }
  TSplitDialog dialog(split_rule_, std::move(*draft), db_, port_, this);
  dialog.exec();
  emit CommandStateChanged();
}

bool TAccountListBox::DropCategory(int row, quint32 category) {
  if (row < 0) return false;
  CloseEditor();
  SelectRow(row);
  return Guarded([&] { return commands_.DropCategory(static_cast<std::size_t>(row), category); });
}

bool TAccountListBox::DropProject(int row, quint32 project) {
  if (row < 0) return false;
  CloseEditor();
  SelectRow(row);
  return Guarded([&] { return commands_.DropProject(static_cast<std::size_t>(row), project); });
}

QMenu* TAccountListBox::BuildRowMenu(int row, QWidget* parent) {
  auto* menu = new QMenu(parent);
  const std::size_t r = row < 0 ? list_->RowCount() : static_cast<std::size_t>(row);
  auto add = [&](TOperationCommand command, void (TAccountListBox::*slot)()) {
    QAction* action = menu->addAction(Q(OperationCommandText(command)));
    action->setEnabled(commands_.Available(command, r));
    if (command == TOperationCommand::Point) {
      action->setCheckable(true);
      action->setChecked(commands_.Checked(command, r));
    }
    connect(action, &QAction::triggered, this, slot);
  };
  add(TOperationCommand::Modify, &TAccountListBox::Modify);
  add(TOperationCommand::Point, &TAccountListBox::TogglePointing);
  add(TOperationCommand::MarkDownloaded, &TAccountListBox::MarkDownloaded);
  menu->addSeparator();
  add(TOperationCommand::Delete, &TAccountListBox::Delete);
  add(TOperationCommand::Cut, &TAccountListBox::Cut);
  add(TOperationCommand::Copy, &TAccountListBox::Copy);
  add(TOperationCommand::Paste, &TAccountListBox::Paste);
  menu->addSeparator();
  add(TOperationCommand::Split, &TAccountListBox::Split);
  if (transfer_rule_.Available(r)) {
    QMenu* transfers = BuildTransferMenu(transfer_rule_, r, menu, [this, r](TAccountRecord* to) {
      Guarded([&] { return transfer_rule_.Choose(r, to); });
    });
    transfers->setTitle(Q(OperationCommandText(TOperationCommand::Transfer)));
    menu->addMenu(transfers);
  } else {
    menu->addAction(Q(OperationCommandText(TOperationCommand::Transfer)))->setEnabled(false);
  }
  return menu;
}

// --- Search and associations ---------------------------------------------------------------

TLabelSearchDialog* TAccountListBox::LabelSearch() const {
  return label_search_;
}

TAmountSearchDialog* TAccountListBox::AmountSearch() const {
  return amount_search_;
}

TSearchResult TAccountListBox::RunSearch(bool by_label, const std::string& text,
                                         const TSearchSettings& settings) {
  CloseEditor();
  const TAccountRecord* before = list_->Account();
  TSearchResult result;
  Guarded([&] {
    result = by_label ? SearchLabel(*list_, text, settings) : SearchAmount(*list_, text, settings);
  });
  if (!result.found) return result;
  // The core selected the row; the view follows and scrolls to it.
  SelectRow(static_cast<int>(list_->Selected()));
  if (list_->Account() != before) emit ActiveAccountChanged(list_->Account());
  return result;
}

namespace {
void ShowSearchDialog(TSearchDialog& dialog) {
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  dialog.Field()->setFocus();
  dialog.Field()->selectAll();
}
}  // namespace

void TAccountListBox::FindLabel() {
  if (!label_search_) {
    label_search_ = new TLabelSearchDialog(
        [this](const std::string& text, const TSearchSettings& settings) {
          return RunSearch(true, text, settings);
        },
        this);
  }
  ShowSearchDialog(*label_search_);
}

void TAccountListBox::FindAmount() {
  if (!amount_search_) {
    amount_search_ = new TAmountSearchDialog(
        [this](const std::string& text, const TSearchSettings& settings) {
          return RunSearch(false, text, settings);
        },
        port_, this);
  }
  ShowSearchDialog(*amount_search_);
}

bool TAccountListBox::CanCreateAssociation() const {
  const TOperationRecord* op = list_->OperationAt(Row());
  return op && ledgora::CanCreateAssociation(*op) && db_.FindCategory(op->category);
}

void TAccountListBox::CreateAssociation() {
  CloseEditor();
  if (!CanCreateAssociation()) return;
  RunCreateAssociation(db_, *list_->OperationAt(Row()), port_, this);
  emit CommandStateChanged();
}

// --- The view menu ------------------------------------------------------------------------

void TAccountListBox::GeneralFilter() {
  CloseEditor();
  TGeneralFilterDialog dialog(kListFilterKeys, list_->Settings().general.Texts(), port_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  list_->Settings().general = TGeneralFilter::Load(kListFilterKeys);
  Guarded([this] { list_->Refill(); });
}

void TAccountListBox::RunViewCommand(TViewCommand command) {
  CloseEditor();
  const bool projects_before = list_->Settings().project_column;
  const TViewCommandEffect effect = ApplyViewCommand(list_->Settings(), command);
  if (effect.clear_category_selection) {
    Guarded([this] { list_->SetCategorySelection({}); });
    emit CategorySelectionCleared();
  }
  if (effect.refill) Guarded([this] { list_->Refill(); });
  ApplyColumns();
  footer_->Show(list_->Footer());
  if (effect.project_pane || projects_before != list_->Settings().project_column) {
    emit ProjectColumnToggled(list_->Settings().project_column);
  }
  emit CommandStateChanged();
}

}  // namespace ledgora
