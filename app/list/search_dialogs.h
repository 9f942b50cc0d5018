// The two modeless "Recherche" dialogs of the operation list: by label
// ("Ch&ercher libellé...\tCtrl+L") and by amount ("C&hercher montant...\t
// Ctrl+M").
//
// Each shows its field, the direction ("&Haut" / "&Bas"), "Recherche sur
// &tous les comptes" (and, for the label, "&Différencier
// majuscules/minuscules"), "&Suivant", "&Fermer" and a status line ("Prêt",
// "Libellé non trouvé..." / "Montant non trouvé..."). The settings come from
// the profile (TSearchSettings::Load) when the dialog is made; "&Suivant"
// hands the field and the settings to the search function given by the
// list, which runs SearchLabel / SearchAmount of the core (they store the
// settings and select the match). An empty field does nothing.
//
// The last text and the last amount searched are kept for the whole run of
// the program: a new dialog starts with them.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>

#include "operations/search.h"
#include "platform/user_port.h"

namespace ledgora {

// Runs the search of a dialog: the field as typed and the settings shown.
// Returns what the core returned (searched false: nothing was done).
using TSearchRunner = std::function<TSearchResult(const std::string&, const TSearchSettings&)>;

class TSearchDialog : public QDialog {
  Q_OBJECT
 public:
  QLineEdit* Field() const { return field_; }
  QRadioButton* UpButton() const { return up_; }
  QRadioButton* DownButton() const { return down_; }
  QCheckBox* AllAccountsBox() const { return all_accounts_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* CloseButton() const { return close_; }
  QLabel* StatusLine() const { return status_; }
  // The settings as the controls show them.
  virtual TSearchSettings Settings() const;
  // The result of the last "&Suivant" that searched.
  const TSearchResult& LastResult() const { return last_; }

 public slots:
  // "&Suivant".
  void Next();

 protected:
  TSearchDialog(const QString& prompt, TSearchRunner runner, QWidget* parent);
  // Adds the kind's own controls below the field (the case box).
  void Build(QWidget* extra);
  // False when the field may not be searched (its message shown).
  virtual bool Check(const std::string&) { return true; }
  // Keeps the text searched for the next dialog.
  virtual void Remember(const std::string& text) = 0;

  TSearchSettings loaded_;

 private:
  TSearchRunner runner_;
  QLineEdit* field_;
  QRadioButton* up_;
  QRadioButton* down_;
  QCheckBox* all_accounts_;
  QPushButton* next_;
  QPushButton* close_;
  QLabel* status_;
  QString prompt_;
  TSearchResult last_;
};

class TLabelSearchDialog : public TSearchDialog {
  Q_OBJECT
 public:
  TLabelSearchDialog(TSearchRunner runner, QWidget* parent = nullptr);
  QCheckBox* CaseBox() const { return case_; }
  TSearchSettings Settings() const override;
  // The last text searched in this run of the program.
  static std::string LastText();

 private:
  void Remember(const std::string& text) override;
  QCheckBox* case_;
};

class TAmountSearchDialog : public TSearchDialog {
  Q_OBJECT
 public:
  // port shows the message of an amount the mask refuses.
  TAmountSearchDialog(TSearchRunner runner, TUserPort& port, QWidget* parent = nullptr);
  // The last amount searched in this run of the program, as typed.
  static std::string LastAmount();
  // The case setting is not this dialog's: it is stored again as the
  // profile holds it now (the label dialog may have changed it since).
  TSearchSettings Settings() const override;

 private:
  bool Check(const std::string& text) override;
  void Remember(const std::string& text) override;
  TUserPort& port_;
};

}  // namespace ledgora
