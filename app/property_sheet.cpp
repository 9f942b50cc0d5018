#include "app/property_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "foundation/validator.h"

namespace ledgora::app {

CPropertySheet::CPropertySheet(TDatabase& db, TSheetPage first, QWidget* parent)
    // A rule that throws closes the sheet; the entry function throws again.
    : QDialog(parent), state_([this] { reject(); }) {
  setWindowTitle(QStringLiteral("Listes"));
  setObjectName("CPropertySheet");
  tabs_ = new QTabWidget(this);
  accounts_ = new TComptesPropertyPage(db, state_, tabs_);
  categories_ = new TCatPropertyPage(db, state_, tabs_);
  associations_ = new TAssocPropertyPage(db, state_, tabs_);
  projects_ = new TProjetPropertyPage(db, state_, tabs_);
  tabs_->addTab(accounts_, QStringLiteral("Comptes"));
  tabs_->addTab(categories_, QStringLiteral("Catégories"));
  tabs_->addTab(associations_, QStringLiteral("Associations"));
  tabs_->addTab(projects_, QStringLiteral("Projets"));
  tabs_->setCurrentIndex(static_cast<int>(first));
  // A page shows what the others changed (a deleted category takes its
  // associations along): it is refilled each time it is brought up.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    switch (static_cast<TSheetPage>(index)) {
      case TSheetPage::Accounts:
        accounts_->Refill();
        break;
      case TSheetPage::Categories:
        categories_->Fill();
        break;
      case TSheetPage::Associations:
        associations_->Fill();
        break;
      case TSheetPage::Projects:
        projects_->Fill();
        break;
    }
  });

  auto* box = new QDialogButtonBox(this);
  QPushButton* close = box->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
  close->setAutoDefault(false);
  close->setProperty("controlId", kBypassControlId);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(box);
  resize(720, 520);
}

TSheetPage CPropertySheet::CurrentPage() const {
  return static_cast<TSheetPage>(tabs_->currentIndex());
}

unsigned RunPropertySheet(TDatabase& db, TSheetPage first, QWidget* parent,
                          bool* accounts_changed) {
  CPropertySheet sheet(db, first, parent);
  // Filling a page may already read the book (the associations).
  if (!sheet.State().Failed()) sheet.exec();
  const TSheetState& state = sheet.State();
  if (accounts_changed) *accounts_changed = state.HaveAccountsChanged();
  sheet.hide();
  state.RethrowFailure();
  return state.Bits();
}

}  // namespace ledgora::app
