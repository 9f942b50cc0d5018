// The list sheet of the "&Données" menu: one modal dialog whose four pages
// are the accounts, the categories, the associations and the projects of
// the open book ("Liste des c&omptes...", "Liste des ca&tégories...",
// "Liste des &associations...", "Liste des pro&jets..."), opened on the
// page of the command.
//
// Every change is written at once by the rules the pages call; the sheet
// has no OK of its own, only "&Fermer". An account being typed and not
// confirmed when the sheet closes is left, as with "Annu&ler".
#pragma once

#include <QDialog>

#include "app/property_pages.h"
#include "storage/database.h"

class QTabWidget;

namespace ledgora::app {

enum class TSheetPage { Accounts, Categories, Associations, Projects };

class CPropertySheet : public QDialog {
  Q_OBJECT
 public:
  CPropertySheet(TDatabase& db, TSheetPage first, QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  TSheetPage CurrentPage() const;
  TComptesPropertyPage* AccountsPage() const { return accounts_; }
  TCatPropertyPage* CategoriesPage() const { return categories_; }
  TAssocPropertyPage* AssociationsPage() const { return associations_; }
  TProjetPropertyPage* ProjectsPage() const { return projects_; }
  TSheetState& State() { return state_; }

 private:
  TSheetState state_;
  QTabWidget* tabs_ = nullptr;
  TComptesPropertyPage* accounts_ = nullptr;
  TCatPropertyPage* categories_ = nullptr;
  TAssocPropertyPage* associations_ = nullptr;
  TProjetPropertyPage* projects_ = nullptr;
};

// Modal; returns the refresh bits the main window must relay after it
// closed (0 when nothing changed): kRefreshAfterChange when the operation
// list may show something else (an account added, changed or deleted, a
// category or project renamed or deleted), kRefreshSidePanes for a category
// or project added or closed. *accounts_changed (when given) tells whether
// the accounts page changed the book's accounts (the account bar is then
// refilled). An exception thrown by a rule (TXOrvanet from the storage)
// closes the sheet and is thrown again from here, once the sheet is gone.
unsigned RunPropertySheet(TDatabase& db, TSheetPage first, QWidget* parent,
                          bool* accounts_changed = nullptr);

}  // namespace ledgora::app
