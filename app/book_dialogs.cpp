#include "app/book_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWizardPage>

#include "eurolib/orveuro32.h"
#include "ldres/ldres.h"

namespace ledgora::app {

namespace {

constexpr unsigned kLDResHelpStart = 22512;   // "Si vous le désirez, %s peut vous aider..."
constexpr unsigned kLDResCategories = 22513;  // "Une liste de catégories..."

QString ProductName() {
  QString name = ResourceText(kLDResProductName);
  return name.isEmpty() ? QStringLiteral("Ledgora") : name;
}

QLabel* Wrapped(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString ResourceText(unsigned id) {
  const int size = GetLDResString(id, nullptr, 0);
  if (size <= 0) return {};
  std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
  const int copied = GetLDResString(id, buffer.data(), size + 1);
  buffer.resize(static_cast<std::size_t>(copied));
  QString text = QString::fromStdString(buffer);
  if (id != kLDResProductName && text.contains("%s")) text.replace("%s", ProductName());
  return text;
}

QPixmap ResourcePicture(unsigned type, unsigned id) {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (GetLDResResource(type, id, &data, &size) != kResourceFound || data == nullptr) return {};
  QPixmap pixmap;
  pixmap.loadFromData(data, static_cast<uint>(size));
  return pixmap;
}

CNewBookWizard::CNewBookWizard(QWidget* parent) : QWizard(parent) {
  setWindowTitle("Créer un livre de comptes...");
  setObjectName("CNewBookWizard");
  setWizardStyle(QWizard::ClassicStyle);
  setButtonText(QWizard::BackButton, "< &Précédent");
  setButtonText(QWizard::NextButton, "&Suivant >");
  setButtonText(QWizard::FinishButton, "&Terminer");
  setButtonText(QWizard::CancelButton, "Annuler");
  const QPixmap banner = ResourcePicture(kResourceDib, kLDResBanner);
  const QPixmap picture = ResourcePicture(kResourceDib, kLDResPicture);

  // Page 1: the greeting.
  auto* hello = new QWizardPage(this);
  hello->setTitle("Bonjour !");
  if (!banner.isNull()) hello->setPixmap(QWizard::LogoPixmap, banner);
  auto* l1 = new QVBoxLayout(hello);
  if (!picture.isNull()) {
    auto* image = new QLabel(hello);
    image->setPixmap(picture);
    l1->addWidget(image);
  }
  l1->addWidget(Wrapped(ResourceText(kLDResHelpStart), hello));
  l1->addSpacing(12);
  l1->addWidget(Wrapped("Pour cela cliquez sur le bouton [Suivant >].", hello));
  l1->addStretch();
  addPage(hello);

  // Page 2: the name of the book.
  auto* naming = new QWizardPage(this);
  naming->setTitle("Nom du livre de comptes");
  if (!banner.isNull()) naming->setPixmap(QWizard::LogoPixmap, banner);
  auto* l2 = new QVBoxLayout(naming);
  auto* prompt = new QLabel("&Nom du livre de comptes :", naming);
  name_ = new QLineEdit(naming);
  name_->setObjectName("name");
  // The book's name becomes a file name in the books folder: no folder
  // separator in it.
  name_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[^/\\\\]{0,200}"), name_));
  prompt->setBuddy(name_);
  l2->addWidget(prompt);
  l2->addWidget(name_);
  l2->addStretch();
  addPage(naming);

  // Page 3: the category set.
  auto* kinds = new QWizardPage(this);
  kinds->setTitle("Catégories");
  if (!banner.isNull()) kinds->setPixmap(QWizard::LogoPixmap, banner);
  auto* l3 = new QVBoxLayout(kinds);
  l3->addWidget(Wrapped(ResourceText(kLDResCategories), kinds));
  auto* sets_prompt = new QLabel("&Type de catégories :", kinds);
  sets_ = new QListWidget(kinds);
  sets_->setObjectName("sets");
  for (TCategorySet set : {TCategorySet::None, TCategorySet::Particulier, TCategorySet::Sante,
                           TCategorySet::Agriculteur}) {
    auto* item =
        new QListWidgetItem(QString::fromUtf8(CategorySetLabel(set).data(),
                                              static_cast<int>(CategorySetLabel(set).size())),
                            sets_);
    item->setData(Qt::UserRole, static_cast<int>(set));
  }
  // A household book is the common case: "Particulier" is offered first.
  sets_->setCurrentRow(1);
  sets_prompt->setBuddy(sets_);
  l3->addWidget(sets_prompt);
  l3->addWidget(sets_);
  addPage(kinds);
  resize(520, 380);
}

TNewBookAnswers CNewBookWizard::Answers() const {
  TNewBookAnswers answers;
  answers.name = name_->text().trimmed().toStdString();
  const QListWidgetItem* item = sets_->currentItem();
  answers.categories =
      item ? static_cast<TCategorySet>(item->data(Qt::UserRole).toInt()) : TCategorySet::None;
  return answers;
}

CPasswordDialog::CPasswordDialog(TBookDocument& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle("Mot de passe");
  setObjectName("CPasswordDialog");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto field = [this](const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(8);
    return edit;
  };
  const bool has_password = doc.Book() != nullptr && doc.Book()->HasPassword();
  old_ = field("old");
  new_ = field("new");
  confirm_ = field("confirm");
  if (has_password) {
    form->addRow("&Ancien mot de passe :", old_);
  } else {
    old_->hide();
  }
  form->addRow("&Nouveau mot de passe :", new_);
  form->addRow("&Confirmation :", confirm_);
  layout->addLayout(form);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Cancel)->setText("Annuler");
  connect(box, &QDialogButtonBox::accepted, this, &CPasswordDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  (has_password ? old_ : new_)->setFocus();
}

void CPasswordDialog::accept() {
  TPasswordChange change;
  change.old_password = old_->text().toStdString();
  change.new_password = new_->text().toStdString();
  change.confirmation = confirm_->text().toStdString();
  result_ = doc_.ChangePassword(change);
  switch (*result_) {
    case TPasswordResult::WrongOld:
      old_->clear();
      old_->setFocus();
      return;
    case TPasswordResult::Mismatch:
      new_->setFocus();
      new_->selectAll();
      return;
    case TPasswordResult::Changed:
    case TPasswordResult::Declined:
    case TPasswordResult::NotReopened:
      QDialog::accept();
      return;
  }
}

CParityTableDialog::CParityTableDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Tableau des parités euros");
  setObjectName("CParityTableDialog");
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 3, this);
  table_->setHorizontalHeaderLabels({"Devise", "Libellé", "Parité pour 1 euro"});
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(22);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (int row = 0; row < 32; ++row) {
    char code[kEuroCodeSize] = {};
    char label[kEuroLabelSize] = {};
    double parity = 0;
    if (euro_CurrencyInfo(row, code, label, parity) != 0 || code[0] == '\0') continue;
    char text[32] = {};
    if (euro_CurrencyRate(code, text, sizeof text) != 0) text[0] = '\0';
    const int r = table_->rowCount();
    table_->insertRow(r);
    table_->setItem(r, 0, new QTableWidgetItem(QString::fromUtf8(code)));
    table_->setItem(r, 1, new QTableWidgetItem(QString::fromUtf8(label)));
    auto* value = new QTableWidgetItem(QString::fromUtf8(text).replace('.', ','));
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(r, 2, value);
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
  box->button(QDialogButtonBox::Close)->setText("&Fermer");
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  resize(460, 420);
}

int CParityTableDialog::RowCount() const {
  return table_->rowCount();
}

}  // namespace ledgora::app
