#include "app/list/operation_row_editor.h"

#include <QKeyEvent>

#include "app/list/qt_field_validator.h"
#include "app/list/storage_errors.h"
#include "operations/entry_fields.h"

namespace ledgora {

namespace {
QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}
constexpr int kFieldHeight = 20;
}  // namespace

TOperationRowEditor::TOperationRowEditor(TOperationEditor& rule, TEditSession session,
                                         TUserPort& port, QWidget* parent)
    : QFrame(parent), rule_(rule), session_(std::move(session)), port_(port) {
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(255, 250, 220));
  setPalette(p);

  const TEditorSetup& setup = session_.Setup();
  date_ = new QLineEdit(Q(setup.date), this);
  AttachDateValidator(*date_, &port_);
  date_->setToolTip(QStringLiteral("Date"));
  pointed_ = new QCheckBox(this);
  pointed_->setChecked(setup.pointed);
  if (setup.card_account) {
    amount_ = AmountEdit(setup.amount, true);
    amount_->setToolTip(QStringLiteral("Montant"));
  } else {
    debit_ = AmountEdit(setup.debit, false);
    debit_->setToolTip(QStringLiteral("Débit"));
    credit_ = AmountEdit(setup.credit, false);
    credit_->setToolTip(QStringLiteral("Crédit"));
  }
  if (setup.labels) {
    label_ = new QLineEdit(Q(setup.label), this);
    label_->setMaxLength(static_cast<int>(kLabelMaxChars));
    complementary_ = new QLineEdit(Q(setup.complementary_label), this);
    complementary_->setMaxLength(static_cast<int>(kLabelMaxChars));
  }
  if (setup.classification) {
    project_ = Choice(setup.project_choices, setup.project);
    category_ = Choice(setup.category_choices, setup.category);
  }
  // Enter in any field reaches keyPressEvent: the fields ignore it.
}

QLineEdit* TOperationRowEditor::AmountEdit(const std::string& text, bool allow_negative) {
  auto* field = new QLineEdit(Q(text), this);
  AttachAmountValidator(*field, allow_negative, &port_);
  field->setAlignment(Qt::AlignRight);
  return field;
}

QComboBox* TOperationRowEditor::Choice(const std::vector<std::string>& choices,
                                       const std::string& text) {
  auto* combo = new QComboBox(this);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->addItem(QString());
  for (const std::string& c : choices) combo->addItem(Q(c));
  combo->setCurrentText(Q(text));
  return combo;
}

void TOperationRowEditor::Place(const QRect& row,
                                const std::array<std::pair<int, int>, kListColumnCount>& columns) {
  const bool two_lines = label_ != nullptr && category_ != nullptr;
  const int height = std::max(row.height(), two_lines ? 2 * kFieldHeight + 4 : kFieldHeight + 2);
  int top = row.top();
  if (QWidget* p = parentWidget(); p && top + height > p->height()) {
    top = std::max(0, p->height() - height);
  }
  setGeometry(0, top, row.width(), height);
  auto column = [&](TListColumn c) { return columns[static_cast<std::size_t>(c)]; };
  auto put = [&](QWidget* w, std::pair<int, int> col, int line) {
    if (!w) return;
    if (col.second <= 0) {
      w->hide();
      return;
    }
    w->setGeometry(col.first + 1, 2 + line * (kFieldHeight + 1), col.second - 2, kFieldHeight);
    w->show();
  };
  put(date_, column(TListColumn::Date), 0);
  put(pointed_, column(TListColumn::Pointing), 0);
  if (amount_) {
    put(amount_, column(TListColumn::Debit), 0);
  } else {
    put(debit_, column(TListColumn::Debit), 0);
    put(credit_, column(TListColumn::Credit), 0);
  }
  const auto cls = column(TListColumn::Classification);
  if (label_) {
    // The label and the complementary label share the first line of
    // "Classement"; the category takes the second.
    const int half = cls.second * 3 / 5;
    put(label_, {cls.first, half}, 0);
    put(complementary_, {cls.first + half, cls.second - half}, 0);
    put(category_, cls, 1);
    auto proj = column(TListColumn::Project);
    put(project_, proj.second > 0 ? proj : std::pair<int, int>{0, 0}, proj.second > 0 ? 0 : 1);
  } else {
    put(category_, cls, 0);
    put(project_, column(TListColumn::Project), 0);
  }
  if (project_ && column(TListColumn::Project).second <= 0) {
    // Without the project column the project goes beside the category.
    const int half = cls.second / 2;
    put(category_, {cls.first, half}, label_ ? 1 : 0);
    put(project_, {cls.first + half, cls.second - half}, label_ ? 1 : 0);
  }
}

TEditorInput TOperationRowEditor::Input() const {
  TEditorInput in = session_.UnchangedInput();
  in.date = S(date_->text());
  in.pointed = pointed_->isChecked();
  if (amount_) in.amount = S(amount_->text());
  if (debit_) in.debit = S(debit_->text());
  if (credit_) in.credit = S(credit_->text());
  if (label_) in.label = S(label_->text());
  if (complementary_) in.complementary_label = S(complementary_->text());
  if (project_) in.project = S(project_->currentText());
  if (category_) in.category = S(category_->currentText());
  return in;
}

TEditOutcome TOperationRowEditor::Validate() {
  // Once applied the session is spent: a second Enter must not add the new
  // operation twice.
  if (finished_) return TEditOutcome::Gone;
  TEditOutcome outcome = TEditOutcome::StayOpen;
  const TEditorInput input = Input();
  const bool done = ShowingStorageErrors(port_, [&] { outcome = rule_.Validate(session_, input); });
  if (!done) outcome = TEditOutcome::Gone;
  if (outcome != TEditOutcome::StayOpen) {
    finished_ = true;
    emit Finished(outcome == TEditOutcome::Applied);
  }
  return outcome;
}

void TOperationRowEditor::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (!finished_) {
        finished_ = true;
        emit Finished(false);
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Validate();
      return;
    default:
      QFrame::keyPressEvent(event);
  }
}

}  // namespace ledgora
