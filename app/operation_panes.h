// The panes of mode 1 around the views of app/list: the operation list
// (TAccountListBox) as the main pane, the project list (CProjetView) and the
// category tree (CCatOpView) as the side panes. They route the commands of
// the "&Opérations", "A&ffichage" and "Pro&jets" menus to the list, relay
// its refresh bits to the main window, and tie the panes to the list (the
// selected category, the project column).
#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "app/pane.h"

namespace ledgora {
class TAccountListBox;
class TCategoryPane;
class TDatabase;
class TOperationsHooks;
class TProjectPane;
class TUserPort;
}  // namespace ledgora

namespace ledgora::app {

class CAccountListPane : public CPane {
  Q_OBJECT
 public:
  CAccountListPane(TDatabase& db, TOperationsHooks& hooks, TUserPort& port, QWidget* parent);
  TAccountListBox& Box() const { return *box_; }

  void Refresh(unsigned bits) override;
  bool HandlesCommand(int id) const override;
  bool CommandEnabled(int id) const override;
  bool CommandChecked(int id) const override;
  void RunCommand(int id) override;
  QString CommandText(int id) const override;
  void CommitEditor() override;
  void AccountChosen(TAccountRecord* account) override;

 private:
  TAccountListBox* box_;
};

// A side pane of the list with its title above it. refresh (may be empty)
// receives the refresh bits.
class CListSidePane : public CPane {
  Q_OBJECT
 public:
  CListSidePane(const QString& title, QWidget* view, std::function<void(unsigned)> refresh,
                QWidget* parent);
  void Refresh(unsigned bits) override {
    if (refresh_) refresh_(bits);
  }
  QWidget* View() const { return view_; }

 private:
  QWidget* view_;
  std::function<void(unsigned)> refresh_;
};

// The category pane (CCatOpView) and the project pane (CProjetView,
// app/side_views.h), tied to the list of the main pane: the list filters on
// the marked category, the project pane is shown with the project column.
CListSidePane* MakeCategoryPane(TDatabase& db, CAccountListPane& list, QWidget* parent);
CListSidePane* MakeProjectPane(TDatabase& db, CAccountListPane& list, QWidget* parent);

}  // namespace ledgora::app
