// The command table of the main window: every menu command with its text,
// its shortcut and what it needs, and the menus of each display mode built
// from it.
//
// One table drives the menu bars, the toolbars and the accelerators: a menu
// resource (128, 186, 187, 251, 269) is a list of popups, each a list of
// command identifiers. Whether a command is enabled is decided by the main
// window when its menu opens (CMainFrame::IsCommandEnabled); the table only
// says whether the command needs an open book and whether the rule behind
// it exists in this program yet (a command whose rule does not exist yet is
// shown and disabled).
//
// Qt-free: plain data, so the tests read the same rows the menus are built from.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace ledgora::app {

// Display modes of the main window.
enum TMode : int {
  kModeNone = 0,        // no book open (menu 128)
  kModeOperations = 1,  // operation list of the active account
  kModeBudget = 2,      // expense synthesis and budget
  kModeSituation = 3,   // financial situation table
  kModeSituationGraph = 4,
  kModeBudgetGraph = 5,
  kModeMovements = 6,  // movements of several accounts
};

// Menu, toolbar and accelerator resources: one number per mode.
inline constexpr int kMenuNoBook = 128;
inline constexpr int kMenuOperations = 186;
inline constexpr int kMenuBudget = 187;
inline constexpr int kMenuSituation = 251;
inline constexpr int kMenuMovements = 269;
int MenuOfMode(int mode);

// The name of a mode in tool tips ("Opération", "Budget", ...).
std::string_view ModeName(int mode);

// Identifiers of the account popup "Comptes" and the currency popup "Devise".
inline constexpr int kFirstAccountCommand = 34100;
inline constexpr int kLastAccountCommand = 34350;  // 251 accounts reachable
inline constexpr int kFirstCurrencyCommand = 34000;
inline constexpr int kLastCurrencyCommand = 34030;  // 31 entries

enum TCommandId : int {
  // &Application
  kCmdNew = 57600,
  kCmdOpen,
  kCmdRecent1,
  kCmdRecent2,
  kCmdRecent3,
  kCmdRecent4,
  kCmdSave,
  kCmdClose,
  kCmdImport,
  kCmdExport,
  kCmdBackup,
  kCmdArchive,
  kCmdOptions,
  kCmdPassword,
  kCmdPrintPreview,
  kCmdPrint,
  kCmdPrintSetup,
  kCmdQuit,
  // &Opérations
  kCmdUndo = 32800,
  kCmdModify,
  kCmdPoint,
  kCmdMarkDownloaded,
  kCmdDelete,
  kCmdCut,
  kCmdCopy,
  kCmdPaste,
  kCmdFindAmount,
  kCmdFindLabel,
  kCmdCreateAssociation,
  kCmdPeriodicity,
  kCmdSplit,
  kCmdTransfer,
  kCmdReconcile,
  // &Catégories
  kCmdCategoryNew = 32850,
  kCmdCategoryModify,
  kCmdCategoryDelete,
  kCmdCategorySelect,
  kCmdCategoryDeselect,
  kCmdCategoryDetail,
  kCmdCategoryImport,
  kCmdCategoryExport,
  // &Projets
  kCmdProjectNew = 32870,
  kCmdProjectRename,
  kCmdProjectDelete,
  kCmdProjectClose,
  kCmdProjectDetail,
  kCmdProjectPane,
  kCmdProjectAll,
  kCmdProjectFilter,
  // A&ffichage (mode 1)
  kCmdViewDetailed = 32890,
  kCmdViewCondensed,
  kCmdViewFilters,
  kCmdViewFilterOn,
  kCmdViewAll,
  kCmdViewDownloaded,
  kCmdViewNotPointed,
  kCmdViewPointed,
  kCmdViewSelectedCategory,
  kCmdViewWithoutCategory,
  kCmdViewTotal,
  kCmdViewCounterValue,
  // &Données
  kCmdModeOperations = 32910,
  kCmdModeBudget,
  kCmdModeSituation,
  kCmdModeMovements,
  kCmdListAccounts,
  kCmdListCategories,
  kCmdListAssociations,
  kCmdListProjects,
  kCmdConvertEuro,
  kCmdPointAccount,
  kCmdReassignAssociation,
  kCmdParityTable,
  kCmdGraphView,
  kCmdPreviousScreen,
  // A&ide
  kCmdCalculator = 32930,
  kCmdEuroConverter,
  kCmdHomePage,
  kCmdDownloadAccounts,
  kCmdHelpGeneral,
  kCmdHelpOperations,
  kCmdStatusBar,
  kCmdAbout,
  // Modes 2 and 5
  kCmdShowFrancs = 32950,
  kCmdShowEuros,
  kCmdDisplayRealised,
  kCmdDisplayBudget,
  kCmdDisplayDeviation,
  kCmdMonthLess,
  kCmdMonthMore,
  kCmdMonthPrevious,
  kCmdMonthNext,
  kCmdYearPrevious,
  kCmdYearNext,
  kCmdBudgetAssign,
  kCmdBudgetModify,
  kCmdBudgetAuto,
  kCmdBudgetReset,
  kCmdBudgetCopy,
  kCmdExportTable,
  kCmdGraphGrid,
  kCmdGraphCases,
  kCmdGraphThreshold,
  // Mode 3
  kCmdSituationNewAccount = 32980,
  kCmdSituationModifyAccount,
  kCmdSituationDeleteAccount,
  kCmdSituationAddToGraph,
  kCmdSituationRemoveFromGraph,
  kCmdSituationNewColumn,
  kCmdSituationDeleteColumn,
  kCmdSituationModifyBalance,
  kCmdSituationFetchBalance,
  kCmdSituationUpdateColumn,
  kCmdSituationByBranch,
  kCmdSituationByType,
  // Mode 6
  kCmdMovementsChooseCategory = 33000,
  kCmdMovementsAllCategories,
  kCmdMovementsHideCategory,
  // Toolbar only
  kCmdPreviousAccount = 33010,
  kCmdNextAccount,
  kCmdAccountsPopup,
  kCmdCurrencyPopup,
};

// Who carries out a command.
enum class TRoute {
  Frame,     // the main window itself (modes, book commands, the status bar)
  MainPane,  // the main pane of the current mode
  SidePane,  // the category or project pane of the operation list
};

struct TCommand {
  int id;
  std::string_view text;      // the menu text with its "&" mnemonic
  std::string_view shortcut;  // portable key sequence ("Ctrl+N", "F2"), empty when none
  std::string_view tip;       // status-bar and tool-tip text, empty when none
  bool needs_book;            // disabled while no book is open
  TRoute route;
};

// Every command, in menu order.
std::span<const TCommand> Commands();
// The row of an identifier, or null.
const TCommand* FindCommand(int id);

// A popup of a menu: its title and its entries (0 is a separator).
struct TPopup {
  std::string_view title;
  std::vector<int> items;
};
// The menu of a resource number (128, 186, 187, 251, 269) for a mode: the
// popups in order. The mode selects the mode-specific entries of a shared
// resource (modes 2 and 5 share 187, modes 3 and 4 share 251).
std::vector<TPopup> MenuOf(int resource, int mode);

// The buttons of the toolbar of a resource (0 is a separator).
std::vector<int> ToolbarOf(int resource);

// The title label of the toolbars of modes 3, 2 and 6 (its first text and
// width in pixels); width 0 when the toolbar has none.
struct TToolbarLabel {
  std::string_view text;
  int width = 0;
};
TToolbarLabel ToolbarLabelOf(int resource);

}  // namespace ledgora::app
