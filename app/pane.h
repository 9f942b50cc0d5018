// CPane: what the main window asks of the pane of a mode, and CSimpleView,
// the empty pane with its title that stands where a view is hidden or not
// built yet.
#pragma once

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace ledgora {
class TAccountRecord;
}

namespace ledgora::app {

class CPane : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  // The bits of a refresh notification meant for this pane.
  virtual void Refresh(unsigned /*bits*/) {}
  // Whether the pane carries out a command of the table, whether it is
  // enabled now and checked, and carrying it out.
  virtual bool HandlesCommand(int /*id*/) const { return false; }
  virtual bool CommandEnabled(int /*id*/) const { return false; }
  virtual bool CommandChecked(int /*id*/) const { return false; }
  virtual void RunCommand(int /*id*/) {}
  // The text of a command when the pane changes it ("Annuler ..."); empty
  // keeps the table's.
  virtual QString CommandText(int /*id*/) const { return {}; }
  // An open in-place editor commits its edit and closes.
  virtual void CommitEditor() {}
  // The account chosen in the account bar or the "Comptes" popup.
  virtual void AccountChosen(TAccountRecord* /*account*/) {}
  // The display currency chosen in the "Devise" popup (its index).
  virtual void CurrencyChosen(int /*index*/) {}
  // The parameter of a mode switch (category or project for mode 6).
  virtual void SetParameter(long /*parameter*/) {}

 signals:
  // A change in the pane that the main window relays (refresh bits).
  void RefreshRequested(unsigned bits);
  // What the menus show changed.
  void CommandStateChanged();
  // A rule of the pane made another account the active one (a search that
  // found its match there): the account bar and the profile follow.
  void AccountMadeActive(ledgora::TAccountRecord* account);
};

// An empty pane showing its title: the hidden placeholders of modes 2 and 3,
// the panes of modes 5 and 6, and views whose rules are not built yet.
class CSimpleView : public CPane {
  Q_OBJECT
 public:
  explicit CSimpleView(const QString& title, QWidget* parent = nullptr) : CPane(parent) {
    setObjectName(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(title, this);
    label->setObjectName("title");
    label->setVisible(!title.isEmpty());
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(4);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(label);
    auto* body = new QWidget(this);
    body->setAutoFillBackground(true);
    body->setBackgroundRole(QPalette::Base);
    layout->addWidget(body, 1);
  }
  QString Title() const { return objectName(); }
};

}  // namespace ledgora::app
