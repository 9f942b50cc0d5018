#include "app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/account_bar.h"
#include "app/book_dialogs.h"
#include "app/import_entry.h"
#include "app/mode_panes.h"
#include "app/pane.h"
#include "app/list/association_dialogs.h"
#include "app/property_sheet.h"
#include "eurolib/orveuro32.h"
#include "foundation/cp1252.h"
#include "ldres/ldres.h"
#include "operations/operations_hooks.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/xorvanet.h"

namespace ledgora::app {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The currencies of the "Devise" popup: francs first, then euros, then the
// other legacy currencies of the euro zone (index 0 French francs, 1 euros).
std::vector<std::pair<std::string, std::string>> DisplayCurrencies() {
  std::vector<std::pair<std::string, std::string>> list;
  char label[kEuroLabelSize] = {};
  euro_CurrencyLabelPluriel("FRF", label);
  list.emplace_back("FRF", label);
  euro_CurrencyLabelPluriel("EUR", label);
  list.emplace_back("EUR", label);
  for (int row = 0; row < 32; ++row) {
    char code[kEuroCodeSize] = {};
    double parity = 0;
    if (euro_CurrencyInfo(row, code, label, parity) != 0 || code[0] == '\0') continue;
    if (std::string(code) == "FRF") continue;
    euro_CurrencyLabelPluriel(code, label);
    list.emplace_back(code, label);
  }
  if (list.size() > static_cast<std::size_t>(kLastCurrencyCommand - kFirstCurrencyCommand + 1)) {
    list.resize(kLastCurrencyCommand - kFirstCurrencyCommand + 1);
  }
  return list;
}

QIcon IconOf(int id, QStyle* style) {
  switch (id) {
    case kCmdNew:
      return style->standardIcon(QStyle::SP_FileIcon);
    case kCmdOpen:
      return style->standardIcon(QStyle::SP_DialogOpenButton);
    case kCmdSave:
      return style->standardIcon(QStyle::SP_DialogSaveButton);
    case kCmdPreviousAccount:
      return style->standardIcon(QStyle::SP_ArrowLeft);
    case kCmdNextAccount:
      return style->standardIcon(QStyle::SP_ArrowRight);
    case kCmdPreviousScreen:
      return style->standardIcon(QStyle::SP_ArrowUp);
    case kCmdDelete:
      return style->standardIcon(QStyle::SP_TrashIcon);
    default:
      return {};
  }
}

// Short texts of the toolbar buttons without a picture.
QString ButtonText(int id) {
  switch (id) {
    case kCmdModeOperations:
      return "Opérations";
    case kCmdModeBudget:
      return "Budget";
    case kCmdModeSituation:
      return "Situation";
    case kCmdModeMovements:
      return "Tous comptes";
    case kCmdCut:
      return "Couper";
    case kCmdCopy:
      return "Copier";
    case kCmdPaste:
      return "Coller";
    case kCmdCalculator:
      return "Calculatrice";
    case kCmdEuroConverter:
      return "Euro";
    case kCmdGraphView:
      return "Graphique";
    case kCmdProjectFilter:
      return "Projets";
    case kCmdUndo:
      return "Annuler";
    case kCmdHelpOperations:
      return "Aide";
    default:
      return {};
  }
}

}  // namespace

CMainFrame::CMainFrame(TBookDocument& doc, TOperationsHooks& hooks, TUserPort& port,
                       std::function<bool(const TXOrvanet&)> storage_failure, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      hooks_(hooks),
      port_(port),
      storage_failure_(std::move(storage_failure)) {
  setObjectName("CMainFrame");
  setWindowTitle(Q(kProgramName));
  const QPixmap icon = ResourcePicture(kResourceIconGroup, kLDResProgramIcon);
  if (!icon.isNull()) setWindowIcon(QIcon(icon));
  setAcceptDrops(true);
  CreateActions();
  accounts_popup_ = new QMenu("Comptes", this);
  accounts_popup_->setObjectName("Comptes");
  connect(accounts_popup_, &QMenu::aboutToShow, this, &CMainFrame::FillAccountsPopup);
  currency_popup_ = new QMenu("Devise", this);
  currency_popup_->setObjectName("Devise");
  FillCurrencyPopup();
  CreateToolbars();
  account_bar_ = new CComptesBar(this);
  addToolBarBreak();
  addToolBar(account_bar_);
  connect(account_bar_, &CComptesBar::AccountClicked, this,
          [this](TAccountRecord* account) { RunGuarded([&] { SelectAccount(account); }); });
  statusBar()->setVisible(platform::ProfileReadInt("Setup", "StatusBar", 0) != 0);
  placement_timer_.setSingleShot(true);
  placement_timer_.setInterval(300);
  connect(&placement_timer_, &QTimer::timeout, this, &CMainFrame::SavePlacement);
  wizard_timer_.setSingleShot(true);
  wizard_timer_.setInterval(100);
  connect(&wizard_timer_, &QTimer::timeout, this, &CMainFrame::RunNewBookWizard);
  doc_.SetViews(this);
  PlaceFromProfile();
  SwitchMode(kModeNone, 0);
}

CMainFrame::~CMainFrame() {
  doc_.SetViews(nullptr);
  // The pre-download copy does not outlive the window.
  platform::RemoveFile(TDatabase::PreDownloadCopyPath());
}

bool CMainFrame::HasBook() const {
  return doc_.HasOpenBook();
}
TDatabase* CMainFrame::Book() const {
  return HasBook() ? doc_.Book() : nullptr;
}

// --- Actions, menus and toolbars -------------------------------------------------

void CMainFrame::CreateActions() {
  for (const TCommand& c : Commands()) {
    auto* action = new QAction(Q(c.text), this);
    action->setObjectName(QString("cmd%1").arg(c.id));
    if (!c.shortcut.empty()) action->setShortcut(QKeySequence(Q(c.shortcut)));
    const QString tip = Q(c.tip);
    if (!tip.isEmpty()) {
      action->setStatusTip(tip.section('\n', 0, 0));
      action->setToolTip(tip.contains('\n') ? tip.section('\n', 1) : tip);
    }
    action->setIcon(IconOf(c.id, style()));
    // The toolbar buttons without a picture show a short text.
    if (const QString button = ButtonText(c.id); !button.isEmpty()) action->setIconText(button);
    if (c.id == kCmdStatusBar || (c.id >= kCmdModeOperations && c.id <= kCmdModeMovements)) {
      action->setCheckable(true);
    }
    const int id = c.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[c.id] = action;
  }
  // The mode buttons name their mode in the tool tip.
  Action(kCmdModeOperations)->setToolTip(Q(ModeName(kModeOperations)));
  Action(kCmdModeBudget)->setToolTip(Q(ModeName(kModeBudget)));
  Action(kCmdModeSituation)->setToolTip(Q(ModeName(kModeSituation)));
  // The home page of the online service is named by the resource library.
  const QString home = ResourceText(kLDResHomePageMenu);
  if (!home.isEmpty()) Action(kCmdHomePage)->setText(home);
}

QAction* CMainFrame::Action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::CreateToolbars() {
  for (int resource : {kMenuOperations, kMenuNoBook, kMenuSituation, kMenuBudget, kMenuMovements}) {
    auto* bar = new QToolBar(QString("Barre %1").arg(resource), this);
    bar->setObjectName(QString("toolbar%1").arg(resource));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (int id : app::ToolbarOf(resource)) {
      if (id == 0) {
        bar->addSeparator();
      } else if (id == kCmdAccountsPopup || id == kCmdCurrencyPopup) {
        auto* button = new QToolButton(bar);
        button->setObjectName(id == kCmdAccountsPopup ? "ComptesButton" : "DeviseButton");
        button->setDefaultAction(Action(id));
        button->setMenu(id == kCmdAccountsPopup ? accounts_popup_ : currency_popup_);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(button);
      } else {
        QAction* action = Action(id);
        bar->addAction(action);
        if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
          b->setToolButtonStyle(action->icon().isNull() ? Qt::ToolButtonTextOnly
                                                        : Qt::ToolButtonIconOnly);
        }
      }
    }
    const TToolbarLabel label = ToolbarLabelOf(resource);
    if (label.width > 0) {
      bar->addSeparator();
      auto* title = new QLabel(Q(label.text), bar);
      title->setObjectName("title");
      title->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      title->setAlignment(Qt::AlignCenter);
      title->setFixedWidth(label.width);
      bar->addWidget(title);
      toolbar_labels_[resource] = title;
    }
    addToolBar(Qt::TopToolBarArea, bar);
    bar->hide();
    toolbars_[resource] = bar;
  }
}

QToolBar* CMainFrame::ToolbarOf(int resource) const {
  auto it = toolbars_.find(resource);
  return it == toolbars_.end() ? nullptr : it->second;
}

void CMainFrame::ShowToolbarOfMode() {
  const int current = MenuOfMode(mode_);
  for (auto& [resource, bar] : toolbars_) bar->setVisible(resource == current);
  account_bar_->setVisible(mode_ != kModeNone);
}

void CMainFrame::InstallMenu() {
  menuBar()->clear();
  for (const TPopup& popup : MenuOf(MenuOfMode(mode_), mode_)) {
    QMenu* menu = menuBar()->addMenu(Q(popup.title));
    menu->setObjectName(Q(popup.title).remove('&'));
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    for (int id : popup.items) {
      if (id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(Action(id));
      }
    }
  }
  // The toolbar-only commands keep their accelerators in every mode.
  for (int id : {kCmdPreviousAccount, kCmdNextAccount}) addAction(Action(id));
}

void CMainFrame::FillAccountsPopup() {
  accounts_popup_->clear();
  TDatabase* db = Book();
  if (db == nullptr) return;
  int id = kFirstAccountCommand;
  for (TRecordNode* node = db->Accounts().Head(); node != nullptr && id <= kLastAccountCommand;
       node = node->Next(), ++id) {
    TAccountRecord* account = &node->As<TAccountRecord>();
    QAction* action = accounts_popup_->addAction(QString::fromStdString(account->name));
    action->setObjectName(QString("cmd%1").arg(id));
    action->setCheckable(true);
    action->setChecked(account == db->CurrentAccount());
    connect(action, &QAction::triggered, this,
            [this, account] { RunGuarded([&] { SelectAccount(account); }); });
  }
}

void CMainFrame::FillCurrencyPopup() {
  currency_popup_->clear();
  int id = kFirstCurrencyCommand;
  int index = 0;
  for (const auto& [code, label] : DisplayCurrencies()) {
    QAction* action = currency_popup_->addAction(QString::fromStdString(label));
    action->setObjectName(QString("cmd%1").arg(id++));
    action->setData(index);
    connect(action, &QAction::triggered, this, [this, index] {
      RunGuarded([&] {
        if (main_pane_) main_pane_->CurrencyChosen(index);
      });
    });
    ++index;
  }
  connect(currency_popup_, &QMenu::aboutToShow, this, [this] {
    const bool handled = main_pane_ && main_pane_->HandlesCommand(kCmdCurrencyPopup);
    for (QAction* a : currency_popup_->actions()) a->setEnabled(handled);
  });
}

CPane* CMainFrame::RoutePane(int id) const {
  const TCommand* c = FindCommand(id);
  if (c == nullptr) return nullptr;
  if (c->route == TRoute::SidePane) {
    for (const QPointer<CPane>& pane : side_panes_) {
      if (pane && pane->HandlesCommand(id)) return pane;
    }
  }
  if (c->route != TRoute::Frame && main_pane_ && main_pane_->HandlesCommand(id)) {
    return main_pane_;
  }
  return nullptr;
}

bool CMainFrame::FrameCommandEnabled(int id) const {
  const bool book = HasBook();
  switch (id) {
    case kCmdNew:
    case kCmdOpen:
    case kCmdQuit:
    case kCmdStatusBar:
    case kCmdParityTable:
      return true;
    case kCmdRecent1:
    case kCmdRecent2:
    case kCmdRecent3:
    case kCmdRecent4:
      return !RecentBooks()[static_cast<std::size_t>(id - kCmdRecent1)].empty();
    case kCmdSave:
    case kCmdClose:
    case kCmdBackup:
    case kCmdArchive:
    case kCmdPassword:
    case kCmdModeOperations:
    case kCmdModeBudget:
    case kCmdModeSituation:
    case kCmdModeMovements:
    case kCmdAccountsPopup:
      return book;
    case kCmdListAccounts:
    case kCmdListCategories:
    case kCmdListAssociations:
    case kCmdListProjects:
    case kCmdReassignAssociation:
      return book && mode_ != kModeNone;
    case kCmdCurrencyPopup:
      return book && main_pane_ && main_pane_->HandlesCommand(kCmdCurrencyPopup);
    case kCmdGraphView:
      return book &&
             (mode_ == kModeBudget || mode_ == kModeBudgetGraph || mode_ == kModeSituation ||
              mode_ == kModeSituationGraph || mode_ == kModeMovements);
    case kCmdPreviousScreen:
      return book && (mode_ == kModeBudgetGraph || mode_ == kModeMovements);
    case kCmdPreviousAccount:
      return book && mode_ != kModeNone && account_bar_->Neighbour(-1) != nullptr;
    case kCmdNextAccount:
      return book && mode_ != kModeNone && account_bar_->Neighbour(+1) != nullptr;
    default:
      // Import, export, options, the euro conversion, the pointing of an
      // account, printing and help are not part of the program yet.
      return false;
  }
}

bool CMainFrame::IsCommandEnabled(int id) const {
  const TCommand* c = FindCommand(id);
  if (c == nullptr) return false;
  if (c->needs_book && !HasBook()) return false;
  if (c->route == TRoute::Frame) return FrameCommandEnabled(id);
  CPane* pane = RoutePane(id);
  return pane != nullptr && pane->CommandEnabled(id);
}

void CMainFrame::UpdateCommands() {
  const std::vector<std::string> recent = RecentBooks();
  for (auto& [id, action] : actions_) {
    if (id >= kCmdRecent1 && id <= kCmdRecent4) {
      const std::string& path = recent[static_cast<std::size_t>(id - kCmdRecent1)];
      action->setText(
          QString("&%1 %2").arg(id - kCmdRecent1 + 1).arg(QString::fromStdString(path)));
      action->setVisible(!path.empty());
    }
    action->setEnabled(IsCommandEnabled(id));
    const TCommand* c = FindCommand(id);
    if (c->route != TRoute::Frame) {
      CPane* pane = RoutePane(id);
      const bool checked = pane != nullptr && pane->CommandChecked(id);
      action->setCheckable(checked || action->isCheckable());
      action->setChecked(checked);
      const QString text = pane ? pane->CommandText(id) : QString();
      action->setText(text.isEmpty() ? Q(c->text) : text);
    }
  }
  Action(kCmdStatusBar)->setChecked(statusBar()->isVisible());
  // The button of the current mode stays down.
  Action(kCmdModeOperations)->setChecked(mode_ == kModeOperations);
  Action(kCmdModeBudget)->setChecked(mode_ == kModeBudget || mode_ == kModeBudgetGraph);
  Action(kCmdModeSituation)->setChecked(mode_ == kModeSituation || mode_ == kModeSituationGraph);
  Action(kCmdModeMovements)->setChecked(mode_ == kModeMovements);
}

// --- Commands ----------------------------------------------------------------------

void CMainFrame::RunGuarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const TXOrvanet& x) {
    if (!storage_failure_(x)) {
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
  }
  UpdateCommands();
}

void CMainFrame::RunCommand(int id) {
  if (!IsCommandEnabled(id)) return;
  const TCommand* c = FindCommand(id);
  RunGuarded([&] {
    if (c->route == TRoute::Frame) {
      RunFrameCommand(id);
    } else if (CPane* pane = RoutePane(id)) {
      pane->RunCommand(id);
    }
  });
}

void CMainFrame::RunFrameCommand(int id) {
  switch (id) {
    case kCmdNew: {
      saved_command_line_.clear();
      RunNewBookWizard();
      break;
    }
    case kCmdOpen:
      doc_.Open();
      break;
    case kCmdRecent1:
    case kCmdRecent2:
    case kCmdRecent3:
    case kCmdRecent4:
      doc_.OpenRecent(id - kCmdRecent1 + 1);
      break;
    case kCmdSave:
      if (main_pane_) main_pane_->CommitEditor();
      doc_.Book()->Save();
      break;
    case kCmdClose:
      doc_.Close();
      break;
    case kCmdBackup:
      doc_.Backup();
      break;
    case kCmdArchive:
      if (main_pane_) main_pane_->CommitEditor();
      doc_.Archive();
      break;
    case kCmdPassword:
      ChangePassword();
      break;
    case kCmdQuit:
      close();
      break;
    case kCmdModeOperations:
      SwitchMode(kModeOperations);
      break;
    case kCmdModeBudget:
      SwitchMode(kModeBudget);
      break;
    case kCmdModeSituation:
      SwitchMode(kModeSituation);
      break;
    case kCmdModeMovements:
      SwitchMode(kModeMovements);
      break;
    case kCmdGraphView:
      GraphView();
      break;
    case kCmdPreviousScreen:
      PreviousScreen();
      break;
    case kCmdStatusBar:
      ToggleStatusBar();
      break;
    case kCmdParityTable:
      ShowParityTable();
      break;
    case kCmdListAccounts:
      ShowListSheet(TSheetPage::Accounts);
      break;
    case kCmdListCategories:
      ShowListSheet(TSheetPage::Categories);
      break;
    case kCmdListAssociations:
      ShowListSheet(TSheetPage::Associations);
      break;
    case kCmdListProjects:
      ShowListSheet(TSheetPage::Projects);
      break;
    case kCmdReassignAssociation:
      if (main_pane_) main_pane_->CommitEditor();
      if (RunReassociation(*doc_.Book(), port_, this)) Refresh(kRefreshAfterChange);
      break;
    case kCmdPreviousAccount:
    case kCmdNextAccount:
      if (TAccountRecord* next = account_bar_->Neighbour(id == kCmdNextAccount ? 1 : -1)) {
        account_bar_->Select(next);
        SelectAccount(next);
      }
      break;
    default:
      break;
  }
}

void CMainFrame::ShowListSheet(TSheetPage page) {
  if (main_pane_) main_pane_->CommitEditor();
  bool accounts_changed = false;
  const unsigned bits = RunPropertySheet(*doc_.Book(), page, this, &accounts_changed);
  if (accounts_changed) {
    account_bar_->Fill(doc_.Book());
    account_bar_->Select(doc_.Book()->CurrentAccount());
    // The active account may have been deleted: the list follows the book.
    if (mode_ == kModeOperations && main_pane_) main_pane_->AccountChosen(doc_.Book()->CurrentAccount());
    RememberAccount();
  }
  if (bits != 0) Refresh(bits);
}

void CMainFrame::GraphView() {
  switch (mode_) {
    case kModeSituation:
      SwitchMode(kModeSituationGraph);
      break;
    case kModeSituationGraph:
      SwitchMode(kModeSituation);
      break;
    case kModeBudget:
    case kModeMovements:
      SwitchMode(kModeBudgetGraph);
      break;
    case kModeBudgetGraph:
      SwitchMode(kModeBudget);
      break;
    default:
      QApplication::beep();
      break;
  }
}

void CMainFrame::PreviousScreen() {
  if (mode_ == kModeMovements) {
    // Back to the recorded mode as it was, a graph included.
    ApplyMode(previous_mode_, std::nullopt);
  } else if (mode_ == kModeBudgetGraph) {
    // The graph window has a single screen: its first screen goes back.
    SwitchMode(kModeBudget);
  }
}

void CMainFrame::ToggleStatusBar() {
  const bool shown = !statusBar()->isVisible();
  statusBar()->setVisible(shown);
  platform::ProfileWriteInt("Setup", "StatusBar", shown ? 1 : 0);
}

void CMainFrame::ShowParityTable() {
  CParityTableDialog dialog(this);
  dialog.exec();
}

void CMainFrame::ChangePassword() {
  if (main_pane_) main_pane_->CommitEditor();
  CPasswordDialog dialog(doc_, this);
  dialog.exec();
}

// --- Modes and panes ------------------------------------------------------------

void CMainFrame::SwitchMode(int mode, std::optional<long> parameter) {
  if (!HasBook()) mode = kModeNone;
  if (mode == kModeSituationGraph && mode_ != kModeSituation && mode_ != kModeSituationGraph) {
    port_.Show("Impossible de passer en mode PRC graphique sans être au préalable en mode PRC !",
               TIcon::Exclamation);
    return;
  }
  if (mode == kModeBudgetGraph && mode_ != kModeBudget && mode_ != kModeMovements &&
      mode_ != kModeBudgetGraph) {
    QApplication::beep();
    return;
  }
  ApplyMode(mode, parameter);
}

void CMainFrame::ApplyMode(int mode, std::optional<long> parameter) {
  if (!HasBook()) mode = kModeNone;
  if (mode == mode_ && !parameter && outer_ != nullptr) return;
  if (main_pane_) main_pane_->CommitEditor();
  if (mode == kModeMovements && mode_ != kModeMovements && mode_ != kModeNone) {
    previous_mode_ = mode_;
  }
  SaveSizes();
  DestroyPanes();
  mode_ = mode;
  BuildPanes();
  if (parameter && main_pane_) main_pane_->SetParameter(*parameter);
  InstallMenu();
  ShowToolbarOfMode();
  UpdateCommands();
}

std::vector<CPane*> CMainFrame::SidePanes() const {
  std::vector<CPane*> panes;
  for (const QPointer<CPane>& p : side_panes_) {
    if (p) panes.push_back(p);
  }
  return panes;
}

void CMainFrame::ConnectPane(CPane* pane) {
  connect(pane, &CPane::RefreshRequested, this, [this](unsigned bits) { Refresh(bits); });
  connect(pane, &CPane::CommandStateChanged, this, &CMainFrame::UpdateCommands);
  connect(pane, &CPane::AccountMadeActive, this, [this](TAccountRecord* account) {
    if (account == nullptr) return;
    account_bar_->Select(account);
    RememberAccount();
  });
}

void CMainFrame::BuildPanes() {
  ++pane_generation_;
  if (mode_ == kModeNone) {
    // No book: the program's picture on an empty background.
    auto* empty = new QWidget(this);
    empty->setObjectName("nobook");
    auto* layout = new QVBoxLayout(empty);
    auto* picture = new QLabel(empty);
    picture->setPixmap(ResourcePicture(kResourceDib, kLDResSplash));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    setCentralWidget(empty);
    return;
  }
  TModePanes panes = CreateModePanes(mode_, {*doc_.Book(), hooks_, port_, this});
  outer_ = new QSplitter(Qt::Horizontal, this);
  outer_->setObjectName("outer");
  inner_ = new QSplitter(Qt::Vertical, outer_);
  inner_->setObjectName("inner");
  for (std::size_t i = 0; i < panes.sides.size(); ++i) {
    inner_->addWidget(panes.sides[i]);
    panes.sides[i]->setVisible(i < panes.side_visible.size() ? panes.side_visible[i] : true);
    side_panes_.emplace_back(panes.sides[i]);
    ConnectPane(panes.sides[i]);
  }
  outer_->addWidget(inner_);
  outer_->addWidget(panes.main);
  outer_->setStretchFactor(1, 1);
  main_pane_ = panes.main;
  ConnectPane(panes.main);
  if (mode_ == kModeOperations) RememberAccount();
  setCentralWidget(outer_);
  outer_->show();
  // The stored sizes of the mode; below 1 is taken as 1. The splitters get
  // their geometry first, so that the sizes are taken as they stand.
  if (layout()) {
    layout()->invalidate();
    layout()->setGeometry(rect());
  }
  const int total_width = std::max(outer_->width() - outer_->handleWidth(), 2);
  const int total_height = std::max(inner_->height() - inner_->handleWidth(), 2);
  const long w = std::max(1L, platform::ProfileReadInt("Setup", "Largeur" + std::to_string(mode_),
                                                       total_width * 3 / 4));
  const long h = std::max(
      1L, platform::ProfileReadInt("Setup", "Hauteur" + std::to_string(mode_), total_height / 2));
  outer_->setSizes({std::max(1, total_width - static_cast<int>(w)), static_cast<int>(w)});
  inner_->setSizes({static_cast<int>(h), std::max(1, total_height - static_cast<int>(h))});
}

void CMainFrame::SaveSizes() {
  if (mode_ == kModeNone || !outer_ || !inner_ || !isVisible()) return;
  const QList<int> outer = outer_->sizes();
  const QList<int> inner = inner_->sizes();
  if (outer.size() == 2) {
    platform::ProfileWriteInt("Setup", "Largeur" + std::to_string(mode_), outer[1]);
  }
  if (!inner.isEmpty()) {
    platform::ProfileWriteInt("Setup", "Hauteur" + std::to_string(mode_), inner[0]);
  }
}

void CMainFrame::DestroyPanes() {
  QWidget* central = takeCentralWidget();
  main_pane_ = nullptr;
  side_panes_.clear();
  outer_ = nullptr;
  inner_ = nullptr;
  delete central;
}

// --- Messages ----------------------------------------------------------------------

void CMainFrame::Refresh(unsigned bits) {
  if (bits & kRefreshSidePanes) {
    for (CPane* pane : SidePanes()) pane->Refresh(bits);
  }
  if ((bits & kRefreshMainPane) && main_pane_) main_pane_->Refresh(bits);
  if ((bits & (kRefreshSidePanes | kRefreshMainPane)) && HasBook()) {
    // An account added, deleted or renamed, or another account made active
    // by a rule (a search that went on into another account).
    if (!account_bar_->Matches(doc_.Book())) {
      account_bar_->Fill(doc_.Book());
    } else {
      account_bar_->UpdateTexts();
    }
    account_bar_->Select(doc_.Book()->CurrentAccount());
  }
  UpdateCommands();
}

void CMainFrame::SelectAccount(TAccountRecord* account) {
  TDatabase* db = Book();
  if (db == nullptr || account == nullptr) return;
  switch (mode_) {
    case kModeOperations:
      if (account != db->CurrentAccount()) {
        if (main_pane_) main_pane_->CommitEditor();
        db->SetCurrentAccount(account);
        account_bar_->Select(account);
        if (main_pane_) main_pane_->AccountChosen(account);
        RememberAccount();
      }
      break;
    case kModeMovements:
    case kModeBudget:
    case kModeBudgetGraph:
      account_bar_->Select(db->CurrentAccount());
      if (main_pane_) main_pane_->AccountChosen(account);
      break;
    default:
      account_bar_->Select(db->CurrentAccount());
      break;
  }
}

void CMainFrame::RememberAccount() {
  // "CompteActif" names the account shown last (the list writes it too,
  // after its refills; here it follows an account chosen in the window).
  if (TDatabase* db = Book(); db && db->CurrentAccount()) {
    platform::ProfileWriteText("Setup", "CompteActif", Utf8Prefix(db->CurrentAccount()->name, 25));
  }
}

void CMainFrame::ImportFile(const std::string& path) {
  RunGuarded([&] {
    app::ImportFile(doc_, path, [this](const std::string& book) {
      if (!doc_.Close()) return false;
      return doc_.OpenBook(book);
    });
  });
}

void CMainFrame::OpenDroppedFiles(const QStringList& paths) {
  for (const QString& p : paths) {
    const std::string path = p.toStdString();
    if (IsBookPath(path)) {
      RunGuarded([&] {
        if (doc_.Close()) doc_.OpenBook(path);
      });
    } else {
      ImportFile(path);
    }
  }
}

void CMainFrame::ReceiveCommandLine(const std::string& command_line) {
  // The last active pop-up comes to the top, restored when minimised.
  QWidget* top = QApplication::activeModalWidget();
  if (top == nullptr) top = this;
  if (isMinimized()) showNormal();
  top->raise();
  top->activateWindow();
  if (command_line.empty()) return;
  if (QApplication::activeModalWidget() != nullptr) {
    // A dialog is open: the import waits until it is closed.
    QTimer::singleShot(500, this, [this, command_line] { ReceiveCommandLine(command_line); });
    return;
  }
  ImportFile(command_line);
}

// --- TBookViews ------------------------------------------------------------------

void CMainFrame::SetTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

void CMainFrame::RefreshViews(bool) {
  account_bar_->Fill(Book());
  if (TDatabase* db = Book()) account_bar_->Select(db->CurrentAccount());
  // After an opening or a rebuild: the operation list of the current account.
  if (main_pane_) main_pane_->CommitEditor();
  SaveSizes();
  DestroyPanes();
  mode_ = kModeNone;
  SwitchMode(HasBook() ? kModeOperations : kModeNone);
}

void CMainFrame::EmptyViews() {
  if (main_pane_) main_pane_->CommitEditor();
  SaveSizes();
  DestroyPanes();
  account_bar_->Fill(nullptr);
  mode_ = kModeNone;
  BuildPanes();
  InstallMenu();
  ShowToolbarOfMode();
  setWindowTitle(Q(kProgramName));
}

void CMainFrame::ImportCommandLine(const std::string& command_line) {
  if (command_line.empty()) return;
  // The book of the command line has been opened already.
  if (IsBookPath(command_line)) {
    if (HasBook() &&
        platform::AbsolutePath(command_line) == platform::AbsolutePath(doc_.Book()->BookPath())) {
      return;
    }
    if (!platform::FileExists(command_line)) return;
  }
  ImportFile(command_line);
}

void CMainFrame::ScheduleNewBookWizard(const std::string& saved_command_line) {
  saved_command_line_ = saved_command_line;
  wizard_timer_.start();
}

void CMainFrame::RunNewBookWizard() {
  wizard_timer_.stop();
  const std::string command_line = std::exchange(saved_command_line_, {});
  RunGuarded([&] {
    std::optional<TNewBookAnswers> answers;
    if (wizard_runner_) {
      answers = wizard_runner_(this);
    } else {
      CNewBookWizard wizard(this);
      if (wizard.exec() == QDialog::Accepted) answers = wizard.Answers();
    }
    if (answers) doc_.NewBook(*answers);
  });
  if (!command_line.empty()) ImportCommandLine(command_line);
}

// --- Placement, closing, dropping -------------------------------------------------

void CMainFrame::PlaceFromProfile() {
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  const long left = platform::ProfileReadInt("Setup", "LEFT", 10);
  const long top = platform::ProfileReadInt("Setup", "TOP", 10);
  const long w = platform::ProfileReadInt("Setup", "RIGHT", screen.width() - 40);
  const long h = platform::ProfileReadInt("Setup", "BOTTOM", screen.height() - caption - 60);
  move(static_cast<int>(left), static_cast<int>(top));
  resize(static_cast<int>(std::max(320L, w)), static_cast<int>(std::max(240L, h)));
  if (platform::ProfileReadInt("Setup", "Zoomed", 0) != 0) {
    setWindowState(windowState() | Qt::WindowMaximized);
  }
  placed_ = true;
}

void CMainFrame::SavePlacement() {
  if (!placed_ || !isVisible() || isMinimized()) return;
  const bool zoomed = isMaximized();
  platform::ProfileWriteInt("Setup", "Zoomed", zoomed ? 1 : 0);
  if (!zoomed) {
    platform::ProfileWriteInt("Setup", "LEFT", pos().x());
    platform::ProfileWriteInt("Setup", "TOP", pos().y());
    platform::ProfileWriteInt("Setup", "RIGHT", width());
    platform::ProfileWriteInt("Setup", "BOTTOM", height());
  }
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (isVisible()) placement_timer_.start();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isVisible()) placement_timer_.start();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isVisible()) placement_timer_.start();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (main_pane_) main_pane_->CommitEditor();
  SaveSizes();
  if (placement_timer_.isActive()) {
    placement_timer_.stop();
    SavePlacement();
  }
  bool closed = false;
  RunGuarded([&] { closed = doc_.Close(); });
  if (closed) {
    event->accept();
  } else {
    event->ignore();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  event->acceptProposedAction();
  // Handled after the drop returns, so that the source is not kept waiting
  // behind the questions.
  QTimer::singleShot(0, this, [this, paths] { OpenDroppedFiles(paths); });
}

}  // namespace ledgora::app
