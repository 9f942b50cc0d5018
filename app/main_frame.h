// CMainFrame: the main window. It owns the account bar, the menu bar and
// toolbar of the current display mode, the status bar and the panes of the
// mode; every command of the command table arrives here first and is either
// carried out here or handed to the pane that owns the data of the mode.
// It relays the refresh notifications of the book to the panes (bit 0x100
// to the side panes, 0x200 to the main pane, the low bits passed on).
//
// The "private messages" of the window are plain methods: Refresh (2024),
// AfterBookOpened (2030, through TBookViews::RefreshViews), SwitchMode
// (2036), SelectAccount (2037), ImportFile (2758).
//
// Profile (section "Setup"): "Zoomed", "LEFT", "TOP", "RIGHT" (a width),
// "BOTTOM" (a height) for the placement, written when a move or resize
// ends; "StatusBar"; "Largeur%i" (width of the main pane of mode i) and
// "Hauteur%i" (height of the first side pane of mode i), read when the mode's
// panes are created and written when they are destroyed; a stored size
// below 1 is taken as 1.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSplitter>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/pane.h"
#include "operations/refresh.h"
#include "storage/book_lifecycle.h"

class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace ledgora {
class TOperationsHooks;
class TXOrvanet;
}  // namespace ledgora

namespace ledgora::app {

class CComptesBar;
enum class TSheetPage;

class CMainFrame : public QMainWindow, public TBookViews, public TRefreshSink {
  Q_OBJECT
 public:
  // doc, hooks and port outlive the window. storage_failure answers a
  // storage exception raised by a command (the application's handling);
  // false from it closes the window.
  CMainFrame(TBookDocument& doc, TOperationsHooks& hooks, TUserPort& port,
             std::function<bool(const TXOrvanet&)> storage_failure, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // --- Modes -----------------------------------------------------------------
  int Mode() const { return mode_; }
  // The mode mode 6 was entered from.
  int PreviousMode() const { return previous_mode_; }
  // Asking the current mode without parameter does nothing; a switch
  // commits the open editor, destroys the panes of the old mode, creates
  // those of the new one with their stored sizes, installs its menu and
  // toolbar. Without a book open only mode 0 exists.
  void SwitchMode(int mode, std::optional<long> parameter = std::nullopt);
  // How many times the panes were rebuilt (the tests tell a no-op switch).
  int PaneGeneration() const { return pane_generation_; }
  CPane* MainPane() const { return main_pane_; }
  std::vector<CPane*> SidePanes() const;

  // --- Commands --------------------------------------------------------------
  // The action of a command (one per row of the table).
  QAction* Action(int id) const;
  bool IsCommandEnabled(int id) const;
  void RunCommand(int id);
  // The menu bar as built for the current mode, popup titles first.
  QMenuBar* Menus() const { return menuBar(); }
  // Enables, checks and renames every action (what opening a menu does).
  void UpdateCommands();
  // The popups of the toolbar buttons.
  QMenu* AccountsPopup() const { return accounts_popup_; }
  QMenu* CurrencyPopup() const { return currency_popup_; }
  CComptesBar& AccountBar() const { return *account_bar_; }
  QToolBar* ToolbarOf(int resource) const;

  // --- Messages --------------------------------------------------------------
  void Refresh(unsigned bits) override;
  void SelectAccount(TAccountRecord* account);
  void ImportFile(const std::string& path);
  // Files dropped on the window, in drop order.
  void OpenDroppedFiles(const QStringList& paths);
  // The second instance's hand-over: brought to the front, the command line
  // (when not empty) goes to the import entry.
  void ReceiveCommandLine(const std::string& command_line);

  // --- TBookViews ----------------------------------------------------------
  void SetTitle(const std::string& title) override;
  void RefreshViews(bool from_command_line) override;
  void EmptyViews() override;
  void ImportCommandLine(const std::string& command_line) override;
  void ScheduleNewBookWizard(const std::string& saved_command_line) override;

  // Runs the new-book wizard now (the timer's work), then the import.
  void RunNewBookWizard();
  // What shows the wizard: by default CNewBookWizard; none when cancelled.
  // The tests answer instead.
  using TWizardRunner = std::function<std::optional<TNewBookAnswers>(QWidget* parent)>;
  void SetWizardRunner(TWizardRunner runner) { wizard_runner_ = std::move(runner); }

  // Window placement from the profile; written back when a move or resize ends.
  void PlaceFromProfile();
  void SaveSizes();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ApplyMode(int mode, std::optional<long> parameter);
  void CreateActions();
  void CreateToolbars();
  void InstallMenu();
  void ShowToolbarOfMode();
  void BuildPanes();
  void DestroyPanes();
  void FillAccountsPopup();
  void FillCurrencyPopup();
  void ConnectPane(CPane* pane);
  CPane* RoutePane(int id) const;
  bool FrameCommandEnabled(int id) const;
  void RunFrameCommand(int id);
  void RunGuarded(const std::function<void()>& body);
  void GraphView();
  void PreviousScreen();
  void ToggleStatusBar();
  void ShowParityTable();
  // The list sheet of the "&Données" menu, opened on a page.
  void ShowListSheet(TSheetPage page);
  void ChangePassword();
  void SavePlacement();
  void RememberAccount();
  bool HasBook() const;
  TDatabase* Book() const;

  TBookDocument& doc_;
  TOperationsHooks& hooks_;
  TUserPort& port_;
  std::function<bool(const TXOrvanet&)> storage_failure_;

  int mode_ = kModeNone;
  int previous_mode_ = kModeOperations;
  int pane_generation_ = 0;
  QPointer<QSplitter> outer_;
  QPointer<QSplitter> inner_;
  QPointer<CPane> main_pane_;
  std::vector<QPointer<CPane>> side_panes_;

  std::map<int, QAction*> actions_;
  std::map<int, QToolBar*> toolbars_;
  std::map<int, QLabel*> toolbar_labels_;
  QMenu* accounts_popup_ = nullptr;
  QMenu* currency_popup_ = nullptr;
  CComptesBar* account_bar_ = nullptr;
  QTimer placement_timer_;
  QTimer wizard_timer_;
  std::string saved_command_line_;
  TWizardRunner wizard_runner_;
  bool placed_ = false;
};

}  // namespace ledgora::app
