// list-shots: the list window on the demo book, photographed.
//
//   list-shots OUTPUT_FOLDER
//
// Writes the demo book into a fresh folder (LEDGORA_HOME is set to
// OUTPUT_FOLDER/home), opens it, lays the side panes beside the list as the
// main window does, and saves PNG pictures: the detailed and condensed
// displays, the editor open over a row and over the new-entry line, the
// general filter, transfer, split and split-line dialogs, and the row's
// pop-up menu. Every question is answered Yes. Run it under xvfb-run (or
// with QT_QPA_PLATFORM=offscreen) and look at the pictures.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/list/account_list_box.h"
#include "app/list/account_list_view.h"
#include "app/list/association_dialogs.h"
#include "app/list/general_filter_dialog.h"
#include "app/list/operation_row_editor.h"
#include "app/list/search_dialogs.h"
#include "app/list/side_panes.h"
#include "app/list/split_dialog.h"
#include "app/list/transfer_dialog.h"
#include "demo/demo_book.h"
#include "operations/category_rules.h"
#include "operations/operations_hooks.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace {

using namespace ledgora;

class TYesPort : public TScriptedUserPort {
 public:
  TReply Message(const TMessage& message) override {
    std::fprintf(stderr, "list-shots: %s\n", message.text.c_str());
    return {message.buttons == TButtons::Ok ? TButton::Ok : TButton::Yes, false};
  }
};

void Save(QWidget& w, const QString& folder, const char* name) {
  QApplication::processEvents();
  const QString path = folder + "/" + name;
  if (!w.grab().save(path)) std::fprintf(stderr, "list-shots: cannot write %s\n", qPrintable(path));
}

// The search dialogs after a search (a match, then nothing found), the
// association dialog of a row, the choice of an association and the
// re-association dialog over the first operation it asks about.
class TShotAsker : public TReassociationAsker {
 public:
  TShotAsker(TDatabase& db, TOperationsHooks& hooks, QWidget& parent, const QString& out)
      : db_(db), hooks_(hooks), parent_(parent), out_(out) {}
  TReassociationAnswer Ask(const TReassociationQuestion& question) override {
    TReassociationDialog dialog(db_, hooks_, question, &parent_);
    dialog.show();
    Save(dialog, out_, "dialog-reassociation.png");
    return TReassociationAnswer::Cancel;
  }

 private:
  TDatabase& db_;
  TOperationsHooks& hooks_;
  QWidget& parent_;
  QString out_;
};

void ShootSearchAndAssociations(TDatabase& db, TOperationsHooks& hooks, TAccountListBox& box,
                                QWidget& window, const QString& out) {
  box.FindLabel();
  TLabelSearchDialog* label = box.LabelSearch();
  label->Field()->setText("boulangerie");
  label->UpButton()->setChecked(true);
  // Found in another account (a card one in the demo): the list shows it.
  label->AllAccountsBox()->setChecked(true);
  label->Next();
  Save(window, out, "list-search-match.png");
  Save(*label, out, "dialog-search-label.png");
  label->close();
  box.FindAmount();
  TAmountSearchDialog* amount = box.AmountSearch();
  amount->Field()->setText("98765,43");
  amount->Next();
  Save(*amount, out, "dialog-search-amount.png");
  amount->close();

  // The operation of the list with the longest category text.
  const TOperationRecord* chosen = nullptr;
  for (std::size_t r = 0; r < box.List().RowCount(); ++r) {
    const TOperationRecord* op = box.List().OperationAt(r);
    if (!op || !CanCreateAssociation(*op) || !db.FindCategory(op->category)) continue;
    if (!chosen ||
        CategoryPairText(db, op->category).size() > CategoryPairText(db, chosen->category).size()) {
      chosen = op;
    }
  }
  if (chosen) {
    TAssociationDialog dialog(QString::fromStdString(AssociationFromOperationCaption(db, *chosen)),
                              QString::fromStdString(chosen->label), &window);
    dialog.show();
    Save(dialog, out, "dialog-association.png");
    if (!FindAssociation(db, chosen->label)) {
      AddAssociationChecked(db, chosen->label, chosen->category);
    }
  }
  if (db.LoadAssociations().Empty()) return;
  TAssociationChooserDialog chooser(db, &window);
  chooser.show();
  Save(chooser, out, "dialog-association-choice.png");
  chooser.hide();
  for (TAssociationRecord* a : AssociationsNewestFirst(db)) {
    if (a->category == 0) continue;
    TShotAsker asker(db, hooks, window, out);
    Reassociate(db, *a, asker);
    break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: list-shots OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const std::string home = platform::JoinPath(argv[1], "home");
  std::filesystem::remove_all(home);
  platform::MakeDirectories(home);
  setenv("LEDGORA_HOME", home.c_str(), 1);
  platform::ResetConfiguration();
  platform::ProfileWriteInt("Setup", "Filter", 0);

  TYesPort port;
  const std::string path = platform::JoinPath(home, "Demo.VX");
  BuildDemoBook(path, port);
  TOperationsHooks hooks;
  TDatabase db(path, port);
  db.SetHooks(&hooks);
  db.Open(false);
  TAccountRecord* account = nullptr;
  TAccountRecord* card = nullptr;
  for (TAccountRecord& a : db.Accounts().Records<TAccountRecord>()) {
    if (!account && a.account_type == kCurrentAccount) account = &a;
    if (!card && a.account_type == kCardAccount) card = &a;
  }
  if (!account) return 3;
  db.SetCurrentAccount(account);
  // One operation stated in another currency: its flag in the detailed row.
  {
    auto op = std::make_unique<TOperationRecord>();
    op->date = KDate::FromText("14/06/2024", KD_STANDARD);
    op->amount = -37.5;
    op->label = "LIBRAIRIE FRANCFORT";
    op->complementary_label = "CARTE 140624";
    op->source_amount = "73,34 DEM";
    db.AddOperation(*account, std::move(op));
    db.ComputeBalance(*account);
  }

  QSplitter window;
  QSplitter side(Qt::Vertical);
  auto* categories = new TCategoryPane(db, &side);
  auto* projects = new TProjectPane(db, &side);
  side.addWidget(categories);
  side.addWidget(projects);
  auto* box = new TAccountListBox(db, hooks, port);
  window.addWidget(&side);
  window.addWidget(box);
  window.setSizes({200, 1000});
  window.resize(1250, 640);
  QObject::connect(categories, &TCategoryPane::MarkedCollapsedChanged, box,
                   &TAccountListBox::SetCategorySelection);
  window.show();
  box->SelectAccount(account);
  categories->expandAll();
  // Past the list's start-up timer (the stored row is selected at 100 ms).
  QEventLoop wait;
  QTimer::singleShot(150, &wait, &QEventLoop::quit);
  wait.exec();
  Save(window, out, "list-detailed.png");

  // The editor over an operation some rows up, then over the new-entry line.
  const int rows = static_cast<int>(box->List().RowCount());
  int row = rows - 4;
  // A Normal operation that is not pointed: the editor shows every field.
  while (row > 0) {
    const TOperationRecord* op = box->List().OperationAt(static_cast<std::size_t>(row));
    if (op->pointing != kPointed && op->kind == kOpNormal) break;
    --row;
  }
  box->ModifyRow(row);
  Save(window, out, "list-editor.png");
  box->ModifyRow(rows - 1);
  Save(window, out, "list-editor-new.png");
  box->CancelEdit();

  box->RunViewCommand(TViewCommand::Condensed);
  box->SelectRow(row);
  Save(window, out, "list-condensed.png");
  box->ModifyRow(row);
  Save(window, out, "list-editor-condensed.png");
  box->CancelEdit();
  box->RunViewCommand(TViewCommand::Detailed);

  if (card) {
    box->SelectAccount(card);
    Save(window, out, "list-card.png");
    box->SelectAccount(account);
  }

  // The dialogs, shown without their event loop.
  TGeneralFilterDialog filter(kListFilterKeys, {"01/01/2024", "31/12/2024", "-500", "0", "EDF"},
                              port, &window);
  filter.show();
  Save(filter, out, "dialog-filter.png");
  filter.hide();

  box->SelectRow(row);
  TTransferRule transfers(box->List());
  TTransferDialog transfer(transfers, static_cast<std::size_t>(row), port, &window);
  transfer.show();
  Save(transfer, out, "dialog-transfer.png");
  transfer.hide();

  TSplitRule splits(box->List());
  if (auto draft = splits.Begin(static_cast<std::size_t>(row))) {
    TSplitDialog split(splits, std::move(*draft), db, port, &window);
    split.AddLine({0, split.Draft().Remaining() / 3, {}});
    split.show();
    Save(split, out, "dialog-split.png");
    TSplitLineDialog line(db, split.Draft().ProposedLine(0), port, &window);
    line.show();
    Save(line, out, "dialog-split-line.png");
  }

  std::unique_ptr<QMenu> menu(box->BuildRowMenu(row, &window));
  menu->popup(window.mapToGlobal(QPoint(400, 200)));
  Save(*menu, out, "menu-row.png");
  menu->hide();
  ShootSearchAndAssociations(db, hooks, *box, window, out);
  delete box;
  db.Close();
  return 0;
}
