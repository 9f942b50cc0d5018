// The category pane (CCatOpView) and the project pane (CProjetView) beside
// the operation list: the mark and the category filter, the merge entry,
// the dialogs that stay open on a refused name, the refresh after a change,
// the project commands through the main window's menu, the detail window.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/command_table.h"
#include "app/list/account_list_box.h"
#include "app/list/account_list_model.h"
#include "app/list/linked_operations_window.h"
#include "app/list/name_dialog.h"
#include "app/list/side_panes.h"
#include "app/side_views.h"
#include "app/test_app_env.h"
#include "operations/category_rules.h"
#include "operations/classification.h"
#include "operations/project_rules.h"
#include "operations/refresh.h"
#include "platform/clock.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/database.h"
#include "storage/xorvanet.h"

namespace ledgora::app::testing {
namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// What a name dialog saw: its caption, whether it offered the kind, and
// for each text typed whether OK closed it.
struct TTyped {
  QString caption;
  QString initial;
  bool with_kind = false;
  std::vector<bool> closed;
  std::vector<QString> text_after;
};

// Types each text in turn and presses OK (the last with the kind given);
// stops at the first that closes the dialog.
TDialogRunner Typing(std::vector<QString> texts, TTyped& seen, std::optional<bool> debit = {}) {
  return [texts, &seen, debit](QDialog& d) {
    auto& dialog = dynamic_cast<TNameDialog&>(d);
    seen.caption = dialog.windowTitle();
    seen.initial = dialog.NameField()->text();
    seen.with_kind = dialog.DebitButton() != nullptr;
    if (debit && dialog.DebitButton()) {
      (*debit ? dialog.DebitButton() : dialog.CreditButton())->setChecked(true);
    }
    for (const QString& text : texts) {
      dialog.NameField()->setText(text);
      dialog.accept();
      seen.closed.push_back(dialog.result() == QDialog::Accepted);
      seen.text_after.push_back(dialog.NameField()->text());
      if (seen.closed.back()) break;
    }
    return dialog.result();
  };
}

class SideViewsTest : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    platform::PinToday({15, 6, 2024});
    platform::ProfileWriteInt("Setup", "Filter", 0);
    db_ = std::make_unique<TDatabase>(PathOf("Livre.VX"), port_);
    db_->SetDurable(false);
    db_->SetHooks(&hooks_);
    db_->CreateEmptyBook();
    ASSERT_TRUE(db_->Save());
    food_ = &Category("Alimentation");
    market_ = &Category("Marché", true, food_);
    salary_ = &Category("Salaire", false);
    house_ = &Project("Maison");
    account_ = &Account("Courant", "EUR");
    savings_ = &Account("Livret", "EUR");
    Op(*account_, "02/01/2024", -30, "courses").category = market_->id;
    Op(*account_, "03/01/2024", -5, "pain").category = food_->id;
    Op(*account_, "05/01/2024", 2000, "paie").category = salary_->id;
    Op(*account_, "06/01/2024", -12, "divers");
    TOperationRecord& out = Op(*account_, "07/01/2024", -100, "virement");
    out.kind = kOpTransferOut;
    out.linked_account = savings_->id;
    TOperationRecord& works = Op(*savings_, "08/01/2024", -80, "travaux");
    works.project = house_->id;
    works.category = food_->id;
    db_->ModifyOperation(works);
    db_->SetCurrentAccount(account_);
  }
  void TearDown() override {
    host_.reset();
    db_.reset();
    platform::UnpinToday();
    TAppTest::TearDown();
  }

  TCategoryRecord& Category(const std::string& name, bool debit = true,
                            TCategoryRecord* parent = nullptr) {
    auto c = std::make_unique<TCategoryRecord>();
    c->name = name;
    c->debit = debit ? 1 : 0;
    return db_->AddCategory(std::move(c), parent);
  }
  TProjectRecord& Project(const std::string& label) {
    auto p = std::make_unique<TProjectRecord>();
    p->label = label;
    return db_->AddProject(std::move(p));
  }
  TAccountRecord& Account(const std::string& name, const std::string& currency) {
    auto a = std::make_unique<TAccountRecord>();
    a->name = name;
    a->currency = currency;
    TAccountRecord& added = db_->AddAccount(std::move(a));
    db_->ComputeBalance(added);
    return added;
  }
  TOperationRecord& Op(TAccountRecord& account, const std::string& date, double amount,
                       const std::string& label) {
    auto op = std::make_unique<TOperationRecord>();
    op->date = KDate::FromText(date, KD_STANDARD);
    op->amount = amount;
    op->label = label;
    TOperationRecord& added = db_->AddOperation(account, std::move(op));
    db_->ModifyOperation(added);
    db_->ComputeBalance(account);
    return added;
  }

  // The panes as the main window lays them out, with its refresh relay.
  void Build() {
    host_ = std::make_unique<QSplitter>();
    list_ = new CAccountListPane(*db_, hooks_, port_, host_.get());
    projects_ = new CProjetView(*db_, *list_, host_.get());
    categories_ = new CCatOpView(*db_, *list_, host_.get());
    for (CPane* pane : std::initializer_list<CPane*>{list_, projects_, categories_}) {
      QObject::connect(pane, &CPane::RefreshRequested, host_.get(), [this](unsigned bits) {
        relayed_.push_back(bits);
        if (bits & kRefreshSidePanes) {
          projects_->Refresh(bits);
          categories_->Refresh(bits);
        }
        if (bits & kRefreshMainPane) list_->Refresh(bits);
      });
    }
  }
  TOperationList& List() { return list_->Box().List(); }
  TCategoryPane& Tree() { return categories_->Tree(); }
  // The labels of the rows shown, the new-entry line as "*".
  std::string Rows() {
    std::string out;
    TAccountListModel& model = list_->Box().Model();
    for (int r = 0; r < model.rowCount(); ++r) {
      const TOperationRecord* op = List().OperationAt(static_cast<std::size_t>(r));
      if (!out.empty()) out += " ";
      out += op ? op->label : "*";
    }
    EXPECT_EQ(model.rowCount(), static_cast<int>(List().RowCount()));
    return out;
  }
  bool Bold(std::uint32_t category) { return Tree().ItemOf(category)->font(0).bold(); }
  void Cursor(std::uint32_t category) { ASSERT_TRUE(Tree().SetCurrentCategory(category)); }
  TOperationRecord* OpOf(const std::string& label) {
    for (TAccountRecord& a : db_->Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
        if (op.label == label) return &op;
      }
    }
    return nullptr;
  }
  // The entries of a context menu: text and whether enabled.
  static std::vector<std::pair<QString, bool>> Entries(QMenu& menu) {
    std::vector<std::pair<QString, bool>> out;
    for (QAction* a : menu.actions()) {
      if (!a->isSeparator()) out.emplace_back(a->text(), a->isEnabled());
    }
    return out;
  }
  static QAction* EntryOf(QMenu& menu, int entry) {
    for (QAction* a : menu.actions()) {
      if (!a->isSeparator() && a->data().toInt() == entry) return a;
    }
    return nullptr;
  }

  TOperationsHooks hooks_;
  std::unique_ptr<TDatabase> db_;
  TCategoryRecord* food_ = nullptr;
  TCategoryRecord* market_ = nullptr;
  TCategoryRecord* salary_ = nullptr;
  TProjectRecord* house_ = nullptr;
  TAccountRecord* account_ = nullptr;
  TAccountRecord* savings_ = nullptr;
  std::unique_ptr<QSplitter> host_;
  CAccountListPane* list_ = nullptr;
  CProjetView* projects_ = nullptr;
  CCatOpView* categories_ = nullptr;
  std::vector<unsigned> relayed_;
};

TEST_F(SideViewsTest, TheMarkedCategoryIsTheListsCategoryFilter) {
  Build();
  EXPECT_EQ(Rows(), "courses pain paie divers virement *");
  // The cursor alone changes nothing.
  Cursor(food_->id);
  EXPECT_EQ(Rows(), "courses pain paie divers virement *");
  EXPECT_FALSE(categories_->CommandEnabled(kCmdCategoryDeselect));

  // "Sé&lectionner": filter 3 on the marked category, stored; its collapsed
  // node stands for its sub-categories too.
  categories_->RunCommand(kCmdCategorySelect);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 3);
  EXPECT_TRUE(Bold(food_->id));
  EXPECT_EQ(Rows(), "courses pain *");
  Tree().expandItem(Tree().ItemOf(food_->id));
  EXPECT_EQ(Rows(), "pain *");
  Tree().collapseItem(Tree().ItemOf(food_->id));
  EXPECT_EQ(Rows(), "courses pain *");

  // Another mark: the bold moves, the cursor elsewhere does not count.
  Cursor(salary_->id);
  categories_->RunCommand(kCmdCategorySelect);
  EXPECT_FALSE(Bold(food_->id));
  EXPECT_TRUE(Bold(salary_->id));
  Cursor(market_->id);
  EXPECT_EQ(Rows(), "paie *");

  // "&Désélectionner": filter 3 without a category.
  categories_->RunCommand(kCmdCategoryDeselect);
  EXPECT_EQ(Tree().Marked(), 0u);
  EXPECT_FALSE(Bold(salary_->id));
  EXPECT_EQ(Rows(), "divers virement *");
  EXPECT_FALSE(categories_->CommandEnabled(kCmdCategoryDeselect));

  // Marking "Divers" shows the operations without category (filter 5);
  // unmarking then goes back to 3.
  Cursor(0);
  categories_->RunCommand(kCmdCategorySelect);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 5);
  EXPECT_EQ(Rows(), "divers *");
  ASSERT_TRUE(categories_->CommandEnabled(kCmdCategoryDeselect));
  categories_->RunCommand(kCmdCategoryDeselect);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 3);

  // Unmarked under another filter, the category is not shown when the list
  // goes back to filter 3.
  Cursor(salary_->id);
  categories_->RunCommand(kCmdCategorySelect);
  list_->RunCommand(kCmdViewAll);
  categories_->RunCommand(kCmdCategoryDeselect);
  list_->RunCommand(kCmdViewSelectedCategory);
  EXPECT_EQ(Rows(), "divers virement *");

  // "Opérations sans cat&égorie" chosen in the list clears the mark.
  Cursor(salary_->id);
  categories_->RunCommand(kCmdCategorySelect);
  list_->RunCommand(kCmdViewWithoutCategory);
  EXPECT_EQ(Tree().Marked(), 0u);
  EXPECT_FALSE(Bold(salary_->id));
  EXPECT_EQ(Rows(), "divers *");
}

TEST_F(SideViewsTest, TheMergeEntryAndTheSubCategoryEntryFollowTheMarkAndTheCursor) {
  Build();
  struct Case {
    const char* name;
    TCategoryRecord* marked;
    TCategoryRecord* cursor;  // null: "Divers"
    const char* text;
    bool enabled;
    bool add_sub;
  };
  const Case cases[] = {
      {"nothing marked", nullptr, market_, "F&usion non autorisée", false, false},
      {"marked has sub-categories", food_, salary_, "F&usion non autorisée", false, true},
      {"marked under the cursor", salary_, salary_, "F&usion non autorisée", false, true},
      {"cursor on Divers", salary_, nullptr, "F&usion non autorisée", false, false},
      {"main into sub", salary_, market_,
       "F&usion : Salaire + Alimentation:Marché => Alimentation:Marché", true, false},
      {"sub into main", market_, food_,
       "F&usion : Alimentation:Marché + Alimentation => Alimentation", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    *Tree().MarkSlot() = c.marked ? c.marked->id : 0;
    Cursor(c.cursor ? c.cursor->id : 0);
    std::unique_ptr<QMenu> menu(categories_->BuildContextMenu(nullptr));
    QAction* merge = EntryOf(*menu, CCatOpView::kEntryMerge);
    ASSERT_NE(merge, nullptr);
    EXPECT_EQ(merge->text(), QString::fromUtf8(c.text));
    EXPECT_EQ(merge->isEnabled(), c.enabled);
    EXPECT_EQ(EntryOf(*menu, CCatOpView::kEntryAddSubCategory) != nullptr, c.add_sub);
  }

  // The merge itself: "Marché" into "Alimentation", which becomes the mark.
  *Tree().MarkSlot() = 0;
  Cursor(market_->id);
  categories_->RunCommand(kCmdCategorySelect);
  EXPECT_EQ(Rows(), "courses *");
  const std::uint32_t food = food_->id;
  const std::uint32_t market = market_->id;
  Cursor(food);
  port_.Answer(TButton::Yes);
  categories_->RunMenuEntry(CCatOpView::kEntryMerge);
  ASSERT_TRUE(port_.ScriptExhausted());
  EXPECT_EQ(port_.LastMessage(),
            "Désirez-vous fusionner les catégories 'Alimentation:Marché' et 'Alimentation'\nen "
            "'Alimentation'?");
  EXPECT_EQ(db_->FindCategory(market), nullptr);
  EXPECT_EQ(Tree().ItemOf(market), nullptr);
  EXPECT_EQ(OpOf("courses")->category, food);
  EXPECT_EQ(Tree().Marked(), food);
  EXPECT_TRUE(Bold(food));
  EXPECT_EQ(Tree().CurrentCategory(), food);
  EXPECT_EQ(Rows(), "courses pain *");
  ASSERT_FALSE(relayed_.empty());
  EXPECT_EQ(relayed_.back(), kRefreshAfterChange);
}

// A right click puts the cursor on the entry under the mouse and opens the
// menu; the chosen entry is carried out once the menu has closed.
TEST_F(SideViewsTest, ARightClickActsOnTheEntryUnderTheMouse) {
  Build();
  host_->resize(300, 400);
  host_->show();
  Cursor(salary_->id);
  QStringList seen;
  // Whatever happens, the menu does not stay open.
  QTimer::singleShot(2000, host_.get(), [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  QTimer::singleShot(0, host_.get(), [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) seen << a->text();
    }
    for (QAction* a : menu->actions()) {
      if (a->text() == QString::fromUtf8("Sé&lectionner")) {
        menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Return);
      }
    }
  });
  const QPoint pos = Tree().visualItemRect(Tree().ItemOf(food_->id)).center();
  emit Tree().customContextMenuRequested(pos);
  EXPECT_EQ(Tree().CurrentCategory(), food_->id);
  EXPECT_TRUE(seen.contains(QString::fromUtf8("&Ajouter une sous-catégorie...")));
  EXPECT_EQ(Tree().Marked(), food_->id);
  EXPECT_EQ(Rows(), "courses pain *");
}

TEST_F(SideViewsTest, DeletingFromThePaneRefreshesTheListAndMovesTheCursor) {
  Build();
  const std::uint32_t food = food_->id;
  const std::uint32_t market = market_->id;
  const std::uint32_t salary = salary_->id;

  const std::string question = DeleteCategoryQuestion(*market_, TCategoryDeleteFrom::Pane);
  // A category with sub-categories stays; "No" keeps the category.
  Cursor(food);
  categories_->RunCommand(kCmdCategoryDelete);
  EXPECT_EQ(port_.LastMessage(), kCannotDeleteWithSubCategories);
  Cursor(market);
  port_.Answer(TButton::No);
  categories_->RunCommand(kCmdCategoryDelete);
  EXPECT_NE(db_->FindCategory(market), nullptr);
  EXPECT_TRUE(relayed_.empty());

  // Yes: the operations of "Marché" go to "Alimentation", the list shows it.
  port_.Answer(TButton::Yes);
  categories_->RunCommand(kCmdCategoryDelete);
  EXPECT_EQ(port_.LastMessage(), question);
  EXPECT_EQ(db_->FindCategory(market), nullptr);
  EXPECT_EQ(Tree().ItemOf(market), nullptr);
  ASSERT_EQ(relayed_.size(), 1u);
  EXPECT_EQ(relayed_[0], kRefreshAfterChange);
  EXPECT_EQ(List().Texts(*List().RowOf(OpOf("courses")->id)).classification, "Alimentation");
  EXPECT_EQ(Tree().CurrentCategory(), food);

  // Deleting the marked category clears the mark; the list follows.
  Cursor(salary);
  categories_->RunCommand(kCmdCategorySelect);
  EXPECT_EQ(Rows(), "paie *");
  port_.Answer(TButton::Yes);
  categories_->RunCommand(kCmdCategoryDelete);
  EXPECT_EQ(Tree().Marked(), 0u);
  EXPECT_EQ(List().CategorySelection().category, 0u);
  EXPECT_EQ(Rows(), "paie divers virement *");
  // The next main category, else the one before: "Alimentation".
  EXPECT_EQ(Tree().CurrentCategory(), food);
  EXPECT_FALSE(categories_->CommandEnabled(kCmdCategoryImport));
}

TEST_F(SideViewsTest, ARefusedNameKeepsTheDialogOpenWithTheText) {
  Build();
  // On a main category "&Nouveau..." makes one of its sub-categories.
  Cursor(food_->id);
  TTyped sub;
  categories_->SetDialogRunner(Typing({"Marché", "Boulangerie"}, sub));
  categories_->RunCommand(kCmdCategoryNew);
  EXPECT_EQ(sub.caption, QString::fromUtf8("Nouvelle sous-catégorie"));
  EXPECT_FALSE(sub.with_kind);
  EXPECT_EQ(sub.closed, (std::vector<bool>{false, true}));
  EXPECT_EQ(sub.text_after[0], QString::fromUtf8("Marché"));
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{std::string(kSubCategoryNameClash)});
  const TCategoryRecord* bakery = FindCategoryByText(*db_, "Alimentation : Boulangerie");
  ASSERT_NE(bakery, nullptr);
  EXPECT_EQ(bakery->debit, 1u);
  EXPECT_EQ(Tree().CurrentCategory(), bakery->id);
  EXPECT_EQ(relayed_, std::vector<unsigned>{kRefreshAfterChange});

  // Elsewhere a main category, of the kind chosen.
  Cursor(0);
  TTyped main;
  categories_->SetDialogRunner(Typing({"Loyers"}, main, false));
  categories_->RunCommand(kCmdCategoryNew);
  EXPECT_EQ(main.caption, QString::fromUtf8("Nouvelle catégorie"));
  EXPECT_TRUE(main.with_kind);
  const TCategoryRecord* rents = FindCategoryByText(*db_, "Loyers");
  ASSERT_NE(rents, nullptr);
  EXPECT_EQ(rents->debit, 0u);

  // Renaming to a sibling's name is refused, the dialog keeps the text.
  port_.Clear();
  TTyped rename;
  categories_->SetDialogRunner(Typing({"Salaire", "Loyers perçus"}, rename));
  categories_->RunCommand(kCmdCategoryModify);
  EXPECT_EQ(rename.caption, QString::fromUtf8("Modification d'une catégorie"));
  EXPECT_EQ(rename.initial, QString::fromUtf8("Loyers"));
  EXPECT_EQ(rename.closed, (std::vector<bool>{false, true}));
  EXPECT_EQ(rename.text_after[0], QString::fromUtf8("Salaire"));
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{std::string(kCategoryNameClash)});
  EXPECT_EQ(db_->FindCategory(rents->id)->name, "Loyers perçus");

  // A cancelled dialog changes nothing.
  relayed_.clear();
  Cursor(market_->id);
  categories_->SetDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
  categories_->RunCommand(kCmdCategoryModify);
  EXPECT_EQ(market_->name, "Marché");
  EXPECT_TRUE(relayed_.empty());
}

TEST_F(SideViewsTest, TheDetailWindowListsTheLinkedOperations) {
  // A split with a line of "Alimentation" counts too.
  TOperationRecord& split = Op(*account_, "09/01/2024", -40, "marché du samedi");
  split.kind = kOpSplit;
  for (auto [category, amount] : {std::pair{food_->id, 25.0}, std::pair{salary_->id, 15.0}}) {
    auto line = std::make_unique<TSplitLineRecord>();
    line->category = category;
    line->amount = amount;
    db_->AddSplitLine(split, std::move(line));
  }
  db_->ModifyOperation(split);
  Build();
  std::vector<std::vector<QString>> rows;
  QString caption, count;
  auto capture = [&](QDialog& d) {
    auto& window = dynamic_cast<TLinkedOperationsWindow&>(d);
    caption = window.windowTitle();
    count = window.CountLabel()->text();
    rows.clear();
    for (int r = 0; r < window.Table()->topLevelItemCount(); ++r) {
      std::vector<QString> cells;
      for (int c = 0; c < window.Table()->columnCount(); ++c) {
        cells.push_back(window.Table()->topLevelItem(r)->text(c));
      }
      rows.push_back(cells);
    }
    return int(QDialog::Accepted);
  };
  categories_->SetDialogRunner(capture);
  Cursor(food_->id);
  categories_->RunCommand(kCmdCategoryDetail);
  EXPECT_EQ(caption, QString::fromUtf8("Opérations liées à la catégorie 'Alimentation'"));
  using R = std::vector<QString>;
  EXPECT_EQ(rows, (std::vector<R>{
                      R{"Courant", "03/01/2024", "pain", "Alimentation", "", "-5,00 EUR"},
                      R{"Courant", "09/01/2024", QString::fromUtf8("marché du samedi"),
                        QString::fromUtf8("Opération Ventilée"), "", "-40,00 EUR"},
                      R{"Livret", "08/01/2024", "travaux", "Alimentation", "Maison", "-80,00 EUR"},
                  }));
  EXPECT_EQ(count, QString::fromUtf8("3 opérations"));
  // "Divers" has no detail.
  Cursor(0);
  EXPECT_FALSE(categories_->CommandEnabled(kCmdCategoryDetail));

  projects_->SetDialogRunner(capture);
  ASSERT_TRUE(projects_->Projects().SetCurrentProject(house_->id));
  projects_->RunCommand(kCmdProjectDetail);
  EXPECT_EQ(caption, QString::fromUtf8("Opérations liées au projet 'Maison'"));
  EXPECT_EQ(rows, (std::vector<R>{R{"Livret", "08/01/2024", "travaux", "Alimentation", "Maison",
                                    "-80,00 EUR"}}));
  EXPECT_EQ(count, QString::fromUtf8("1 opération"));
}

// A storage failure inside the rule closes the dialog as cancelled and
// leaves through RethrowFailure once exec() is over, for the main window.
TEST(NameDialogTest, AFailureOfTheRuleClosesTheDialogAndIsThrownAfterwards) {
  TNameDialog dialog(
      Q(kNewProjectCaption), QString::fromUtf8("&Libellé :"), "", 50, false, true,
      [](const std::string&, bool) -> bool { throw TXOrvanet(kOrvFileUnavailable, "Livre.VX"); });
  int finished = 0;
  QObject::connect(&dialog, &QDialog::finished, [&] { ++finished; });
  dialog.NameField()->setText("Vacances");
  dialog.accept();
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_THROW(dialog.RethrowFailure(), TXOrvanet);
}

// The project commands as the main window carries them out, on the fixture
// book, with the answers scripted.
using ProjectMenuTest = TAppTest;

TEST_F(ProjectMenuTest, NewRenameCloseDeleteThroughTheMenu) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  ASSERT_EQ(frame.Mode(), kModeOperations);
  auto* view = dynamic_cast<CProjetView*>(frame.SidePanes().at(0));
  ASSERT_NE(view, nullptr);
  TDatabase& db = *app_->Document().Book();
  TProjectPane& pane = view->Projects();
  // On "[Aucun]" only "&Nouveau..." is enabled.
  pane.setCurrentRow(0);
  for (int id : {kCmdProjectRename, kCmdProjectDelete, kCmdProjectClose, kCmdProjectDetail}) {
    EXPECT_FALSE(frame.IsCommandEnabled(id)) << id;
  }
  ASSERT_TRUE(frame.IsCommandEnabled(kCmdProjectNew));

  // New: "[Aucun]" is refused, the dialog stays open; "Vacances" is made.
  TTyped made;
  view->SetDialogRunner(Typing({QString::fromUtf8("[Aucun]"), "Vacances"}, made));
  port_.messages.clear();
  frame.RunCommand(kCmdProjectNew);
  EXPECT_EQ(made.caption, Q(kNewProjectCaption));
  EXPECT_EQ(made.closed, (std::vector<bool>{false, true}));
  ASSERT_EQ(port_.messages.size(), 1u);
  EXPECT_EQ(port_.messages[0].text, kProjectLabelRefused);
  TProjectRecord* holidays = FindProjectByLabel(db, "Vacances");
  ASSERT_NE(holidays, nullptr);
  const std::uint32_t id = holidays->id;
  EXPECT_EQ(pane.CurrentProject(), id);
  EXPECT_TRUE(frame.Action(kCmdProjectRename)->isEnabled());

  // Rename: its own label is accepted; a case variant is another label.
  TTyped renamed;
  view->SetDialogRunner(Typing({"VACANCES"}, renamed));
  frame.RunCommand(kCmdProjectRename);
  EXPECT_EQ(renamed.caption, Q(kRenameProjectCaption));
  EXPECT_EQ(renamed.initial, QString("Vacances"));
  EXPECT_EQ(db.FindProject(id)->label, "VACANCES");
  EXPECT_EQ(pane.currentItem()->text(), QString("VACANCES"));

  // Close: No keeps it open, Yes closes it for good.
  port_.Answer(TButton::No);
  frame.RunCommand(kCmdProjectClose);
  EXPECT_EQ(db.FindProject(id)->open, 1u);
  port_.Answer(TButton::Yes);
  frame.RunCommand(kCmdProjectClose);
  EXPECT_EQ(db.FindProject(id)->open, 0u);
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdProjectClose));
  EXPECT_TRUE(frame.IsCommandEnabled(kCmdProjectDelete));

  // With the project column off the pane is hidden: only New is left.
  frame.RunCommand(kCmdProjectPane);
  EXPECT_TRUE(view->isHidden());
  EXPECT_TRUE(frame.IsCommandEnabled(kCmdProjectNew));
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdProjectDelete));
  frame.RunCommand(kCmdProjectPane);
  ASSERT_TRUE(frame.IsCommandEnabled(kCmdProjectDelete));

  // Delete: No keeps it; Yes deletes it and the cursor moves on.
  port_.Answer(TButton::No);
  frame.RunCommand(kCmdProjectDelete);
  EXPECT_NE(db.FindProject(id), nullptr);
  port_.Answer(TButton::Yes);
  frame.RunCommand(kCmdProjectDelete);
  EXPECT_EQ(db.FindProject(id), nullptr);
  EXPECT_EQ(pane.ItemOf(id), nullptr);
  ASSERT_TRUE(pane.CurrentProject().has_value());
  EXPECT_TRUE(port_.ScriptExhausted());
}

// Pictures of the panes, their menus and windows: only with
// LEDGORA_SCREENSHOT=folder.
TEST_F(SideViewsTest, Pictures) {
  const auto folder_env = platform::GetEnvironment("LEDGORA_SCREENSHOT");
  if (!folder_env || folder_env->empty()) GTEST_SKIP() << "LEDGORA_SCREENSHOT not set";
  const QString folder = QString::fromStdString(*folder_env);
  QDir().mkpath(folder);
  auto save = [&](QWidget& w, const char* name) {
    w.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(folder + "/" + name + ".png"));
  };
  Build();
  QSplitter window;
  auto* side = new QSplitter(Qt::Vertical, &window);
  side->addWidget(projects_);
  side->addWidget(categories_);
  window.addWidget(list_);
  window.setSizes({220, 880});
  window.resize(1100, 460);
  Tree().expandAll();
  Cursor(market_->id);
  categories_->RunCommand(kCmdCategorySelect);
  Cursor(food_->id);
  ASSERT_TRUE(projects_->Projects().SetCurrentProject(house_->id));
  save(window, "side-panes");

  std::unique_ptr<QMenu> menu(categories_->BuildContextMenu(nullptr));
  save(*menu, "category-context-menu");
  std::unique_ptr<QMenu> project_menu(projects_->BuildContextMenu(nullptr));
  save(*project_menu, "project-context-menu");

  TNameDialog sub(QString::fromUtf8("Nouvelle sous-catégorie"), QString::fromUtf8("&Nom :"), "",
                  int(kCategoryNameMaxChars), false, true,
                  [](const std::string&, bool) { return true; });
  save(sub, "category-new-sub");
  TNameDialog main(QString::fromUtf8("Modification d'une catégorie"), QString::fromUtf8("&Nom :"),
                   QString::fromUtf8("Alimentation et boissons diverses"),
                   int(kCategoryNameMaxChars), true, true,
                   [](const std::string&, bool) { return true; });
  save(main, "category-modify");
  TNameDialog project(Q(kNewProjectCaption), QString::fromUtf8("&Libellé :"),
                      QString::fromUtf8("Rénovation de la maison de campagne"),
                      int(kProjectLabelMaxChars), false, true,
                      [](const std::string&, bool) { return true; });
  save(project, "project-new");
  TLinkedOperationsWindow detail(Q(CategoryDetailCaption(*db_, food_->id)),
                                 LinkedRows(*db_, OperationsOfCategory(*db_, food_->id)));
  save(detail, "category-detail");

  // The menus of the main window on the fixture book.
  Start(MakeFixtureBook());
  Frame().UpdateCommands();
  for (QAction* popup : Frame().Menus()->actions()) {
    if (popup->text() == QString::fromUtf8("&Catégories")) save(*popup->menu(), "menu-categories");
    if (popup->text() == QString::fromUtf8("&Projets")) save(*popup->menu(), "menu-projects");
  }
}

}  // namespace
}  // namespace ledgora::app::testing
