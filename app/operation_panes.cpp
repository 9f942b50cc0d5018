#include "app/operation_panes.h"

#include "app/command_table.h"
#include "app/list/account_list_box.h"
#include "app/list/operation_row_editor.h"
#include "app/list/side_panes.h"
#include "app/side_views.h"

namespace ledgora::app {

namespace {

std::optional<TOperationCommand> OperationCommandOf(int id) {
  switch (id) {
    case kCmdUndo:
      return TOperationCommand::Undo;
    case kCmdModify:
      return TOperationCommand::Modify;
    case kCmdPoint:
      return TOperationCommand::Point;
    case kCmdMarkDownloaded:
      return TOperationCommand::MarkDownloaded;
    case kCmdDelete:
      return TOperationCommand::Delete;
    case kCmdCut:
      return TOperationCommand::Cut;
    case kCmdCopy:
      return TOperationCommand::Copy;
    case kCmdPaste:
      return TOperationCommand::Paste;
    case kCmdSplit:
      return TOperationCommand::Split;
    case kCmdTransfer:
      return TOperationCommand::Transfer;
    default:
      // The periodicity and reconciliation commands have no window in the
      // list yet; the searches and the association are routed apart.
      return std::nullopt;
  }
}

std::optional<TViewCommand> ViewCommandOf(int id) {
  switch (id) {
    case kCmdViewDetailed:
      return TViewCommand::Detailed;
    case kCmdViewCondensed:
      return TViewCommand::Condensed;
    case kCmdViewFilterOn:
      return TViewCommand::ToggleGeneralFilter;
    case kCmdViewAll:
      return TViewCommand::FilterComplete;
    case kCmdViewDownloaded:
      return TViewCommand::FilterDownloaded;
    case kCmdViewNotPointed:
      return TViewCommand::FilterNotPointed;
    case kCmdViewPointed:
      return TViewCommand::FilterPointed;
    case kCmdViewSelectedCategory:
      return TViewCommand::FilterSelectedCategory;
    case kCmdViewWithoutCategory:
      return TViewCommand::FilterUncategorised;
    case kCmdViewTotal:
      return TViewCommand::ToggleTotal;
    case kCmdViewCounterValue:
      return TViewCommand::ToggleCounterValueColumn;
    case kCmdProjectPane:
      return TViewCommand::ToggleProjects;
    default:
      return std::nullopt;
  }
}

}  // namespace

CAccountListPane::CAccountListPane(TDatabase& db, TOperationsHooks& hooks, TUserPort& port,
                                   QWidget* parent)
    : CPane(parent), box_(new TAccountListBox(db, hooks, port, this)) {
  setObjectName("Mouvements par compte");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(box_);
  connect(box_, &TAccountListBox::RefreshRequested, this, &CPane::RefreshRequested);
  connect(box_, &TAccountListBox::CommandStateChanged, this, &CPane::CommandStateChanged);
  // A search that found its match in another account: the list is already
  // on it, the account bar follows.
  connect(box_, &TAccountListBox::ActiveAccountChanged, this, &CPane::AccountMadeActive);
  box_->SelectAccount(db.CurrentAccount());
}

void CAccountListPane::Refresh(unsigned bits) {
  box_->Refresh(bits);
}

namespace {

bool IsSearchOrAssociation(int id) {
  return id == kCmdFindLabel || id == kCmdFindAmount || id == kCmdCreateAssociation;
}

}  // namespace

bool CAccountListPane::HandlesCommand(int id) const {
  return OperationCommandOf(id).has_value() || ViewCommandOf(id).has_value() ||
         id == kCmdViewFilters || IsSearchOrAssociation(id);
}

bool CAccountListPane::CommandEnabled(int id) const {
  if (auto c = OperationCommandOf(id)) return box_->CommandAvailable(*c);
  if (id == kCmdCreateAssociation) return box_->CanCreateAssociation();
  if (id == kCmdFindLabel || id == kCmdFindAmount) return true;
  return ViewCommandOf(id).has_value() || id == kCmdViewFilters;
}

bool CAccountListPane::CommandChecked(int id) const {
  if (auto c = OperationCommandOf(id)) return box_->CommandChecked(*c);
  if (auto v = ViewCommandOf(id)) return box_->ViewCommandChecked(*v);
  return false;
}

QString CAccountListPane::CommandText(int id) const {
  return id == kCmdUndo ? box_->UndoText() : QString();
}

void CAccountListPane::RunCommand(int id) {
  if (id == kCmdViewFilters) {
    box_->GeneralFilter();
    return;
  }
  if (auto v = ViewCommandOf(id)) {
    box_->RunViewCommand(*v);
    return;
  }
  switch (id) {
    case kCmdFindLabel:
      box_->FindLabel();
      break;
    case kCmdFindAmount:
      box_->FindAmount();
      break;
    case kCmdCreateAssociation:
      box_->CreateAssociation();
      break;
    case kCmdUndo:
      box_->Undo();
      break;
    case kCmdModify:
      box_->Modify();
      break;
    case kCmdPoint:
      box_->TogglePointing();
      break;
    case kCmdMarkDownloaded:
      box_->MarkDownloaded();
      break;
    case kCmdDelete:
      box_->Delete();
      break;
    case kCmdCut:
      box_->Cut();
      break;
    case kCmdCopy:
      box_->Copy();
      break;
    case kCmdPaste:
      box_->Paste();
      break;
    case kCmdSplit:
      box_->Split();
      break;
    case kCmdTransfer:
      box_->Transfer();
      break;
    default:
      break;
  }
}

void CAccountListPane::CommitEditor() {
  if (TOperationRowEditor* editor = box_->Editor()) editor->Validate();
}

void CAccountListPane::AccountChosen(TAccountRecord* account) {
  box_->SelectAccount(account);
}

CListSidePane::CListSidePane(const QString& title, QWidget* view,
                             std::function<void(unsigned)> refresh, QWidget* parent)
    : CPane(parent), view_(view), refresh_(std::move(refresh)) {
  setObjectName(title);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* label = new QLabel(title, this);
  label->setObjectName("title");
  label->setAlignment(Qt::AlignHCenter);
  label->setFrameShape(QFrame::StyledPanel);
  label->setMargin(3);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  layout->addWidget(label);
  view->setParent(this);
  layout->addWidget(view, 1);
}

CListSidePane* MakeCategoryPane(TDatabase& db, CAccountListPane& list, QWidget* parent) {
  return new CCatOpView(db, list, parent);
}

CListSidePane* MakeProjectPane(TDatabase& db, CAccountListPane& list, QWidget* parent) {
  auto* pane = new CProjetView(db, list, parent);
  QObject::connect(&list.Box(), &TAccountListBox::ProjectColumnToggled, pane, &QWidget::setVisible);
  return pane;
}

}  // namespace ledgora::app
