#include "app/list/association_dialogs.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <optional>
#include <tuple>

#include "app/list/account_list_model.h"
#include "app/list/list_pictures.h"
#include "app/list/list_row_delegate.h"
#include "app/list/storage_errors.h"
#include "foundation/validator.h"
#include "operations/category_rules.h"
#include "operations/classification.h"
#include "operations/operations_hooks.h"
#include "platform/configuration.h"

namespace ledgora {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool IsFigure(TListColumn c) {
  return c == TListColumn::Debit || c == TListColumn::Credit || c == TListColumn::CounterValue ||
         c == TListColumn::Balance;
}

// The one row of the preview, with the roles the list's delegate paints
// (those of TAccountListModel).
class TPreviewModel : public QAbstractTableModel {
 public:
  TPreviewModel(TRowTexts texts, std::vector<TListColumnInfo> columns, QObject* parent)
      : QAbstractTableModel(parent), texts_(std::move(texts)), columns_(std::move(columns)) {}

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(kListColumnCount);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() != 0) return {};
    const auto c = static_cast<TListColumn>(index.column());
    switch (role) {
      case Qt::DisplayRole:
        return Q(texts_.cells[static_cast<std::size_t>(index.column())]);
      case Qt::TextAlignmentRole:
        if (IsFigure(c)) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (c == TListColumn::Pointing) return QVariant(Qt::AlignCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
      case Qt::ForegroundRole:
        if (c == TListColumn::Balance && texts_.balance_colour == TListColour::Warning) {
          return TAccountListModel::WarningColour();
        }
        return {};
      case Qt::DecorationRole:
        if (c == TListColumn::Pointing) {
          const QPixmap mark = PointingMarkPixmap(texts_.mark);
          return mark.isNull() ? QVariant() : QVariant(mark);
        }
        return {};
      case TAccountListModel::MarkRole:
        return static_cast<int>(texts_.mark);
      case TAccountListModel::PeriodicRole:
        return texts_.periodic_mark;
      case TAccountListModel::OriginIconRole:
        return static_cast<uint>(texts_.origin_icon);
      case TAccountListModel::NewEntryRole:
        return texts_.new_entry;
      case TAccountListModel::LabelLineRole:
        return Q(texts_.label_line);
      case TAccountListModel::ClassificationRole:
        return Q(texts_.classification);
      case TAccountListModel::SourceAmountRole:
        return Q(texts_.source_amount_line);
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return Q(columns_[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
    return {};
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
  }

 private:
  TRowTexts texts_;
  std::vector<TListColumnInfo> columns_;
};

// The list binds to the book's active account and writes the view keys of
// the profile at each refill: while the preview's list is filled for
// another account, both are put back as they were.
class TPreviewScope {
 public:
  TPreviewScope(TDatabase& db, const TAccountRecord& account)
      : db_(db), active_(db.CurrentAccount()) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      saved_[i] = platform::ProfileReadText("Setup", kKeys[i], kAbsent);
    }
    db_.SetCurrentAccount(const_cast<TAccountRecord*>(&account));
  }
  ~TPreviewScope() {
    db_.SetCurrentAccount(active_);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (platform::ProfileReadText("Setup", kKeys[i], kAbsent) == saved_[i]) continue;
      if (saved_[i] == kAbsent) {
        platform::ProfileDeleteKey("Setup", kKeys[i]);
      } else {
        platform::ProfileWriteText("Setup", kKeys[i], saved_[i]);
      }
    }
  }
  TPreviewScope(const TPreviewScope&) = delete;
  TPreviewScope& operator=(const TPreviewScope&) = delete;

 private:
  static constexpr std::array<std::string_view, 2> kKeys = {"LigneCompteActif", "CompteActif"};
  static constexpr std::string_view kAbsent = "\x01";
  TDatabase& db_;
  TAccountRecord* active_;
  std::array<std::string, 2> saved_;
};

}  // namespace

// --- "Association Libellé-Catégorie" ------------------------------------------------------------

TAssociationDialog::TAssociationDialog(const QString& caption, const QString& label,
                                       QWidget* parent)
    : QDialog(parent), label_(new QLineEdit(label, this)) {
  setObjectName(Q(kAssociationDialogCaption));
  setWindowTitle(caption.isEmpty() ? Q(kAssociationDialogCaption) : caption);
  label_->setMaxLength(static_cast<int>(kAssociationLabelMaxChars));
  label_->setMinimumWidth(300);
  label_->selectAll();
  auto* prompt = new QLabel(QStringLiteral("&Libellé :"), this);
  prompt->setBuddy(label_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // An empty label makes no association: OK waits for one.
  auto update = [this] { ok_->setEnabled(!label_->text().trimmed().isEmpty()); };
  connect(label_, &QLineEdit::textChanged, this, update);
  update();

  auto* row = new QHBoxLayout;
  row->addWidget(prompt);
  row->addWidget(label_, 1);
  // The caption names the category: wide enough for the title bar to show
  // it whole beside its buttons.
  setMinimumWidth(QFontMetrics(font()).horizontalAdvance(windowTitle()) + 140);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

bool RunCreateAssociation(TDatabase& db, const TOperationRecord& op, TUserPort& port,
                          QWidget* parent) {
  if (!CanCreateAssociation(op)) return false;
  TAssociationDialog dialog(Q(AssociationFromOperationCaption(db, op)), Q(op.label), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  bool changed = false;
  ShowingStorageErrors(port,
                       [&] { changed = CreateAssociationFromOperation(db, op, dialog.Label()); });
  return changed;
}

// --- The choice of an association ---------------------------------------------------------------

TAssociationChooserDialog::TAssociationChooserDialog(TDatabase& db, QWidget* parent)
    : QDialog(parent), choices_(new QTreeWidget(this)) {
  setWindowTitle(QStringLiteral("Réaffecter une association"));
  choices_->setColumnCount(2);
  choices_->setHeaderLabels({QStringLiteral("Libellé"), QStringLiteral("Catégorie")});
  choices_->setRootIsDecorated(false);
  choices_->setUniformRowHeights(true);
  // In the book's order, that of the labels.
  for (TAssociationRecord& a : db.LoadAssociations().Records<TAssociationRecord>()) {
    associations_.push_back(&a);
    auto* item = new QTreeWidgetItem(
        choices_, {Q(a.label), Q(a.category != 0 ? CategoryPairText(db, a.category) : "")});
    item->setData(0, Qt::UserRole, static_cast<qulonglong>(associations_.size() - 1));
  }
  if (choices_->topLevelItemCount() > 0) choices_->setCurrentItem(choices_->topLevelItem(0));
  choices_->setColumnWidth(0, 240);
  choices_->setMinimumSize(480, 260);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Chosen()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(choices_, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (Chosen()) accept();
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Association à réaffecter :"), this));
  layout->addWidget(choices_, 1);
  layout->addWidget(buttons);
}

TAssociationRecord* TAssociationChooserDialog::Chosen() const {
  const QTreeWidgetItem* item = choices_->currentItem();
  if (!item) return nullptr;
  const auto i = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
  return i < associations_.size() ? associations_[i] : nullptr;
}

bool TAssociationChooserDialog::ChooseLabel(const std::string& label) {
  for (int i = 0; i < choices_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = choices_->topLevelItem(i);
    const auto k = static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong());
    if (k < associations_.size() && associations_[k]->label == label) {
      choices_->setCurrentItem(item);
      return true;
    }
  }
  return false;
}

// --- The operation drawn as a row of the list ---------------------------------------------------

std::pair<TRowTexts, std::vector<TListColumnInfo>> PreviewRow(TDatabase& db,
                                                              TOperationsHooks& hooks,
                                                              const TAccountRecord& account,
                                                              const TOperationRecord& op) {
  TListSettings settings = TListSettings::Load();
  // The row is shown whatever the filters of the list hide.
  settings.filter = TDisplayFilter::Complete;
  settings.general.SetActive(false);
  TPreviewScope scope(db, account);
  TOperationList list(db, hooks, settings);
  list.Refill();
  std::pair<TRowTexts, std::vector<TListColumnInfo>> out;
  if (const std::optional<std::size_t> row = list.RowOf(op.id)) out.first = list.Texts(*row);
  out.second = list.Columns();
  return out;
}

TOperationPreview::TOperationPreview(TDatabase& db, TOperationsHooks& hooks,
                                     const TAccountRecord& account, const TOperationRecord& op,
                                     QWidget* parent)
    : QTableView(parent) {
  try {
    std::tie(texts_, columns_) = PreviewRow(db, hooks, account, op);
  } catch (const TXOrvanet&) {
    // The split lines of the account could not be read: the operation's
    // own texts, without the figures of the list.
    texts_ = {};
    texts_.label_line = FullLabel(op);
    texts_.classification = ClassificationText(db, account, op, false);
    texts_.cells[static_cast<std::size_t>(TListColumn::Classification)] =
        texts_.label_line + "\n" + texts_.classification;
  }
  if (columns_.empty()) {
    columns_ = {{TListColumn::Project, "", 0, false},
                {TListColumn::Date, "Date", 76, true},
                {TListColumn::Classification, "Classement", 300, true},
                {TListColumn::Pointing, "P", 25, true},
                {TListColumn::Debit, "", 0, false},
                {TListColumn::Credit, "", 0, false},
                {TListColumn::CounterValue, "", 0, false},
                {TListColumn::Balance, "", 0, false}};
  }
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  model_ = new TPreviewModel(texts_, columns_, this);
  setModel(model_);
  setItemDelegate(new TListRowDelegate(this));
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalHeader()->hide();
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  setShowGrid(true);
  const bool two_lines = texts_.cells[static_cast<std::size_t>(TListColumn::Classification)].find(
                             '\n') != std::string::npos;
  verticalHeader()->setDefaultSectionSize(two_lines ? kDetailedRowHeight : kCondensedRowHeight);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    int width = columns_[i].width;
    if (columns_[i].column == TListColumn::Date) {
      width =
          std::max(width, QFontMetrics(small).horizontalAdvance(QStringLiteral("00/00/0000")) + 10);
    }
    setColumnWidth(static_cast<int>(i), width);
    setColumnHidden(static_cast<int>(i), !columns_[i].visible);
  }
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFixedSize(sizeHint());
}

QSize TOperationPreview::sizeHint() const {
  int width = 2 * frameWidth();
  for (int i = 0; i < model_->columnCount(); ++i) {
    if (!isColumnHidden(i)) width += columnWidth(i);
  }
  const int height = 2 * frameWidth() + horizontalHeader()->sizeHint().height() + rowHeight(0);
  return {width, height};
}

// --- "Réaffectation de catégories" --------------------------------------------------------------

const std::array<std::pair<TReassociationAnswer, const char*>, 6>& TReassociationDialog::Buttons() {
  static const std::array<std::pair<TReassociationAnswer, const char*>, 6> buttons = {{
      {TReassociationAnswer::Yes, "&Oui"},
      {TReassociationAnswer::No, "&Non"},
      {TReassociationAnswer::YesAccount, "Oui : &Compte"},
      {TReassociationAnswer::YesAllAccounts, "Oui : &Tous les comptes"},
      {TReassociationAnswer::NextAccount, "Compte &suivant"},
      {TReassociationAnswer::Cancel, "A&nnuler"},
  }};
  return buttons;
}

TReassociationDialog::TReassociationDialog(TDatabase& db, TOperationsHooks& hooks,
                                           const TReassociationQuestion& question, QWidget* parent)
    : QDialog(parent),
      question_(new QLabel(Q(question.text), this)),
      account_(new QLabel(Q(question.account_text), this)) {
  setWindowTitle(Q(kReassociationDialogCaption));
  question_->setWordWrap(true);
  QFont bold = question_->font();
  bold.setBold(true);
  question_->setFont(bold);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question_);
  layout->addWidget(account_);
  if (question.account && question.op) {
    preview_ = new TOperationPreview(db, hooks, *question.account, *question.op, this);
    layout->addWidget(preview_, 0, Qt::AlignLeft);
  }
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (std::size_t i = 0; i < Buttons().size(); ++i) {
    const auto [answer, text] = Buttons()[i];
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, answer = answer] {
      answer_ = answer;
      QDialog::done(answer == TReassociationAnswer::Cancel ? Rejected : Accepted);
    });
    buttons_[i] = button;
    row->addWidget(button);
  }
  buttons_[0]->setDefault(true);
  buttons_[0]->setFocus();
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* TReassociationDialog::ButtonOf(TReassociationAnswer answer) const {
  for (std::size_t i = 0; i < Buttons().size(); ++i) {
    if (Buttons()[i].first == answer) return buttons_[i];
  }
  return nullptr;
}

void TReassociationDialog::reject() {
  // Escape and the window's close box: "A&nnuler".
  answer_ = TReassociationAnswer::Cancel;
  QDialog::reject();
}

TReassociationAnswer TQtReassociationAsker::Ask(const TReassociationQuestion& question) {
  TReassociationDialog dialog(db_, hooks_, question, parent_);
  dialog.exec();
  return dialog.Answer();
}

// --- "&Réaffecter une association..." -----------------------------------------------------------

bool RunReassociation(TDatabase& db, TUserPort& port, QWidget* parent) {
  // Step 1: an association at least.
  bool can = false;
  if (!ShowingStorageErrors(port, [&] { can = CanReassociate(db); }) || !can) return false;
  // Step 2: the association chosen.
  TAssociationChooserDialog chooser(db, parent);
  if (chooser.exec() != QDialog::Accepted) return false;
  TAssociationRecord* chosen = chooser.Chosen();
  if (!chosen) return false;
  // Steps 3 and 4: the questions, the changes, one undo step.
  std::optional<TOperationsHooks> own;
  auto* hooks = dynamic_cast<TOperationsHooks*>(&db.Hooks());
  if (!hooks) hooks = &own.emplace();
  TQtReassociationAsker asker(db, *hooks, parent);
  TReassociationResult result;
  const bool done = ShowingStorageErrors(port, [&] { result = Reassociate(db, *chosen, asker); });
  // A failure part way may have changed some operations already.
  return !done || result.changed > 0;
}

}  // namespace ledgora
