#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace ledgora::app {

namespace {

using R = TRoute;

// Shortcuts are the accelerators of the menu resources; "Entrée", "Espace"
// and "Suppr" are written in their portable form.
constexpr std::array kCommands = {
    // &Application
    TCommand{kCmdNew, "&Nouveau...", "Ctrl+N", "Crée un nouveau livre de comptes\nNouveau", false,
             R::Frame},
    TCommand{kCmdOpen, "&Ouvrir...", "Ctrl+O", "Ouvre un livre de comptes\nOuvrir", false,
             R::Frame},
    TCommand{kCmdRecent1, "", "", "Ouvre ce livre de comptes", false, R::Frame},
    TCommand{kCmdRecent2, "", "", "Ouvre ce livre de comptes", false, R::Frame},
    TCommand{kCmdRecent3, "", "", "Ouvre ce livre de comptes", false, R::Frame},
    TCommand{kCmdRecent4, "", "", "Ouvre ce livre de comptes", false, R::Frame},
    TCommand{kCmdSave, "&Sauvegarder...", "Ctrl+S",
             "Valide les modifications du livre de comptes\nSauvegarder", true, R::Frame},
    TCommand{kCmdClose, "&Fermer", "", "Ferme le livre de comptes", true, R::Frame},
    TCommand{kCmdImport, "&Importer...", "", "Importe des opérations", true, R::Frame},
    TCommand{kCmdExport, "&Exporter...", "", "Exporte des opérations", true, R::Frame},
    TCommand{kCmdBackup, "&Copie de secours...", "",
             "Fait une copie de secours du livre de comptes", true, R::Frame},
    TCommand{kCmdArchive, "&Archivage...", "", "Archivage d'un livre de comptes", true, R::Frame},
    TCommand{kCmdOptions, "O&ptions...", "", "Options du logiciel", false, R::Frame},
    TCommand{kCmdPassword, "Mo&t de passe...", "", "Change le mot de passe du livre de comptes",
             true, R::Frame},
    TCommand{kCmdPrintPreview, "Aperçu a&vant impression", "", "", true, R::MainPane},
    TCommand{kCmdPrint, "I&mprimer...", "", "", true, R::MainPane},
    TCommand{kCmdPrintSetup, "Confi&guration de l'impression...", "", "", true, R::MainPane},
    TCommand{kCmdQuit, "&Quitter", "Alt+F4", "Quitte le logiciel", false, R::Frame},
    // &Opérations
    TCommand{kCmdUndo, "A&nnuler", "Ctrl+Z", "Annuler\nAnnuler", true, R::MainPane},
    TCommand{kCmdModify, "&Modifier", "Return", "", true, R::MainPane},
    TCommand{kCmdPoint, "&Pointer", "Space", "", true, R::MainPane},
    TCommand{kCmdMarkDownloaded, "Mar&quer comme téléchargée", "", "", true, R::MainPane},
    TCommand{kCmdDelete, "&Supprimer", "Del", "", true, R::MainPane},
    TCommand{kCmdCut, "&Couper", "Ctrl+X", "Couper\nCouper", true, R::MainPane},
    TCommand{kCmdCopy, "C&opier", "Ctrl+C", "Copier\nCopier", true, R::MainPane},
    TCommand{kCmdPaste, "Co&ller", "Ctrl+V", "Coller\nColler", true, R::MainPane},
    TCommand{kCmdFindAmount, "C&hercher montant...", "Ctrl+M", "", true, R::MainPane},
    TCommand{kCmdFindLabel, "Ch&ercher libellé...", "Ctrl+L", "", true, R::MainPane},
    TCommand{kCmdCreateAssociation, "Créer une associa&tion...", "", "", true, R::MainPane},
    TCommand{kCmdPeriodicity, "Pério&dicité...", "", "", true, R::MainPane},
    TCommand{kCmdSplit, "&Ventilation...", "", "", true, R::MainPane},
    TCommand{kCmdTransfer, "V&irement...", "", "", true, R::MainPane},
    TCommand{kCmdReconcile, "E&ffectuer le rapprochement...", "", "", true, R::MainPane},
    // &Catégories
    TCommand{kCmdCategoryNew, "&Nouveau...", "", "", true, R::SidePane},
    TCommand{kCmdCategoryModify, "&Modifier...", "", "", true, R::SidePane},
    TCommand{kCmdCategoryDelete, "&Supprimer", "", "", true, R::SidePane},
    TCommand{kCmdCategorySelect, "Sé&lectionner", "", "", true, R::SidePane},
    TCommand{kCmdCategoryDeselect, "&Désélectionner", "", "", true, R::SidePane},
    TCommand{kCmdCategoryDetail, "Dé&tail des opérations liées", "", "", true, R::SidePane},
    TCommand{kCmdCategoryImport, "&Importer...", "", "", true, R::SidePane},
    TCommand{kCmdCategoryExport, "&Exporter...", "", "", true, R::SidePane},
    // &Projets
    TCommand{kCmdProjectNew, "&Nouveau...", "", "", true, R::SidePane},
    TCommand{kCmdProjectRename, "&Renommer...", "", "", true, R::SidePane},
    TCommand{kCmdProjectDelete, "&Supprimer", "", "", true, R::SidePane},
    TCommand{kCmdProjectClose, "&Clore le projet...", "", "", true, R::SidePane},
    TCommand{kCmdProjectDetail, "&Détail des opérations liées", "", "", true, R::SidePane},
    TCommand{kCmdProjectPane, "Pro&jets", "", "", true, R::SidePane},
    TCommand{kCmdProjectAll, "&Tous les projets", "", "", true, R::SidePane},
    TCommand{kCmdProjectFilter, "&Filtrer sur un projet...", "", "", true, R::SidePane},
    // A&ffichage
    TCommand{kCmdViewDetailed, "&Détaillé", "", "", true, R::MainPane},
    TCommand{kCmdViewCondensed, "&Condensé", "", "", true, R::MainPane},
    TCommand{kCmdViewFilters, "&Filtres pour l'affichage...", "", "", true, R::MainPane},
    TCommand{kCmdViewFilterOn, "&Activer le filtre", "", "", true, R::MainPane},
    TCommand{kCmdViewAll, "Co&mplet", "", "", true, R::MainPane},
    TCommand{kCmdViewDownloaded, "Opérations téléchar&gées", "", "", true, R::MainPane},
    TCommand{kCmdViewNotPointed, "Opérations non &pointées", "", "", true, R::MainPane},
    TCommand{kCmdViewPointed, "Opérations p&ointées", "", "", true, R::MainPane},
    TCommand{kCmdViewSelectedCategory, "Opérations correspondant à la catégorie &sélectionnée", "",
             "", true, R::MainPane},
    TCommand{kCmdViewWithoutCategory, "Opérations sans cat&égorie", "", "", true, R::MainPane},
    TCommand{kCmdViewTotal, "&Total des opérations affichées", "", "", true, R::MainPane},
    TCommand{kCmdViewCounterValue, "Co&lonne contre-valeur", "", "", true, R::MainPane},
    // &Données
    TCommand{kCmdModeOperations, "&Mouvements par compte", "F2", "Mouvements par compte\nOpération",
             true, R::Frame},
    TCommand{kCmdModeBudget, "Synthèse des &dépenses", "F3", "Synthèse des dépenses\nBudget", true,
             R::Frame},
    TCommand{kCmdModeSituation, "Situation &financière", "F4",
             "Situation financière\nSituation financière", true, R::Frame},
    TCommand{kCmdModeMovements, "Tous mo&uvements, tous comptes", "F5",
             "Tous mouvements, tous comptes", true, R::Frame},
    TCommand{kCmdListAccounts, "Liste des c&omptes...", "", "", true, R::Frame},
    TCommand{kCmdListCategories, "Liste des ca&tégories...", "", "", true, R::Frame},
    TCommand{kCmdListAssociations, "Liste des &associations...", "", "", true, R::Frame},
    TCommand{kCmdListProjects, "Liste des pro&jets...", "", "", true, R::Frame},
    TCommand{kCmdConvertEuro, "Con&vertir le compte en euros...", "", "", true, R::Frame},
    TCommand{kCmdPointAccount, "&Pointer le compte...", "", "", true, R::MainPane},
    TCommand{kCmdReassignAssociation, "&Réaffecter une association...", "", "", true, R::Frame},
    TCommand{kCmdParityTable, "Ta&bleau des parités euros...", "", "Tableau des parités euros",
             false, R::Frame},
    TCommand{kCmdGraphView, "&Vue graphique", "", "Vue graphique", true, R::Frame},
    TCommand{kCmdPreviousScreen, "Ecr&an précédent", "Backspace", "Ecran précédent", true,
             R::Frame},
    // A&ide
    TCommand{kCmdCalculator, "&Calculatrice", "", "Calculatrice", false, R::Frame},
    TCommand{kCmdEuroConverter, "Convertisse&ur euro", "", "Convertisseur euro", false, R::Frame},
    TCommand{kCmdHomePage, "&Page d'accueil de Orvanet", "", "", false, R::Frame},
    TCommand{kCmdDownloadAccounts, "Téléc&harger vos comptes", "", "", false, R::Frame},
    TCommand{kCmdHelpGeneral, "&Aide générale", "", "", false, R::Frame},
    TCommand{kCmdHelpOperations, "Aide : &Fenêtre des opérations", "F1", "Aide", false, R::Frame},
    TCommand{kCmdStatusBar, "Barre d'é&tat", "", "Affiche ou masque la barre d'état", false,
             R::Frame},
    TCommand{kCmdAbout, "A &propos de...", "", "", false, R::Frame},
    // Modes 2 and 5
    TCommand{kCmdShowFrancs, "Affichage en francs", "Ctrl+F", "", true, R::MainPane},
    TCommand{kCmdShowEuros, "Affichage en euros", "Ctrl+E", "", true, R::MainPane},
    TCommand{kCmdDisplayRealised, "Répartition par &catégorie", "", "", true, R::MainPane},
    TCommand{kCmdDisplayBudget, "Données du &budget", "", "", true, R::MainPane},
    TCommand{kCmdDisplayDeviation, "Ecart au b&udget", "", "", true, R::MainPane},
    TCommand{kCmdMonthLess, "Afficher un mois de &moins", "", "", true, R::MainPane},
    TCommand{kCmdMonthMore, "Afficher un mois de p&lus", "", "", true, R::MainPane},
    TCommand{kCmdMonthPrevious, "Mois p&récédent", "", "", true, R::MainPane},
    TCommand{kCmdMonthNext, "Mois s&uivant", "", "", true, R::MainPane},
    TCommand{kCmdYearPrevious, "Année &précédente", "", "", true, R::MainPane},
    TCommand{kCmdYearNext, "Année &suivante", "", "", true, R::MainPane},
    TCommand{kCmdBudgetAssign, "Affecter un montant à la caté&gorie...", "", "", true, R::MainPane},
    TCommand{kCmdBudgetModify, "Modifier le mo&ntant", "", "", true, R::MainPane},
    TCommand{kCmdBudgetAuto, "Calcul automatique du &budget...", "", "", true, R::MainPane},
    TCommand{kCmdBudgetReset, "Remise à &zéro du budget...", "", "", true, R::MainPane},
    TCommand{kCmdBudgetCopy, "Co&pier budget du mois vers...", "", "", true, R::MainPane},
    TCommand{kCmdExportTable, "E&xporter le tableau...", "", "", true, R::MainPane},
    TCommand{kCmdGraphGrid, "Afficher la grille", "", "", true, R::MainPane},
    TCommand{kCmdGraphCases, "Afficher les cases", "", "", true, R::MainPane},
    TCommand{kCmdGraphThreshold, "Affic&her sous forme de seuil", "", "", true, R::MainPane},
    // Mode 3
    TCommand{kCmdSituationNewAccount, "&Nouveau compte...", "", "", true, R::MainPane},
    TCommand{kCmdSituationModifyAccount, "&Modifier le compte...", "", "", true, R::MainPane},
    TCommand{kCmdSituationDeleteAccount, "&Supprimer le compte", "", "", true, R::MainPane},
    TCommand{kCmdSituationAddToGraph, "&Ajouter au graphe", "", "", true, R::MainPane},
    TCommand{kCmdSituationRemoveFromGraph, "&Retirer du graphe", "", "", true, R::MainPane},
    TCommand{kCmdSituationNewColumn, "Nou&velle colonne...", "", "", true, R::MainPane},
    TCommand{kCmdSituationDeleteColumn, "S&upprimer la colonne", "", "", true, R::MainPane},
    TCommand{kCmdSituationModifyBalance, "Modifier le so&lde...", "", "", true, R::MainPane},
    TCommand{kCmdSituationFetchBalance, "Récu&pérer le solde...", "", "", true, R::MainPane},
    TCommand{kCmdSituationUpdateColumn, "Mettre à &jour la colonne", "", "", true, R::MainPane},
    TCommand{kCmdSituationByBranch, "Affichage par a&gence", "", "", true, R::MainPane},
    TCommand{kCmdSituationByType, "Affichage par &type", "", "", true, R::MainPane},
    // Mode 6
    TCommand{kCmdMovementsChooseCategory, "&Choix de catégorie...", "", "", true, R::MainPane},
    TCommand{kCmdMovementsAllCategories, "&Toutes catégories", "", "", true, R::MainPane},
    TCommand{kCmdMovementsHideCategory, "Masque la colonne 'Catégorie'", "", "", true, R::MainPane},
    // Toolbar only
    TCommand{kCmdPreviousAccount, "Compte précédent", "", "Compte précédent", true, R::Frame},
    TCommand{kCmdNextAccount, "Compte suivant", "", "Compte suivant", true, R::Frame},
    TCommand{kCmdAccountsPopup, "Comptes", "", "Liste des comptes", true, R::Frame},
    TCommand{kCmdCurrencyPopup, "Devise", "", "Devise d'affichage", true, R::Frame},
};

std::vector<int> ApplicationPopup() {
  return {kCmdNew,
          kCmdOpen,
          kCmdSave,
          kCmdClose,
          0,
          kCmdImport,
          kCmdExport,
          0,
          kCmdBackup,
          kCmdArchive,
          0,
          kCmdOptions,
          kCmdPassword,
          0,
          kCmdPrintPreview,
          kCmdPrint,
          kCmdPrintSetup,
          0,
          kCmdRecent1,
          kCmdRecent2,
          kCmdRecent3,
          kCmdRecent4,
          0,
          kCmdQuit};
}

std::vector<int> DataPopup(int mode) {
  std::vector<int> items = {kCmdModeOperations, kCmdModeBudget, kCmdModeSituation,
                            kCmdModeMovements, 0};
  if (mode == kModeBudget || mode == kModeBudgetGraph || mode == kModeSituation ||
      mode == kModeSituationGraph || mode == kModeMovements) {
    items.insert(items.end(), {kCmdGraphView, 0});
  }
  if (mode == kModeBudget || mode == kModeBudgetGraph || mode == kModeMovements) {
    items.insert(items.end(), {kCmdPreviousScreen, 0});
  }
  items.insert(items.end(),
               {kCmdListAccounts, kCmdListCategories, kCmdListAssociations, kCmdListProjects, 0,
                kCmdConvertEuro, kCmdPointAccount, kCmdReassignAssociation, 0, kCmdParityTable});
  return items;
}

std::vector<int> HelpPopup() {
  return {kCmdCalculator,
          kCmdEuroConverter,
          0,
          kCmdHomePage,
          kCmdDownloadAccounts,
          0,
          kCmdHelpGeneral,
          kCmdHelpOperations,
          0,
          kCmdStatusBar,
          0,
          kCmdAbout};
}

}  // namespace

int MenuOfMode(int mode) {
  switch (mode) {
    case kModeOperations:
      return kMenuOperations;
    case kModeBudget:
    case kModeBudgetGraph:
      return kMenuBudget;
    case kModeSituation:
    case kModeSituationGraph:
      return kMenuSituation;
    case kModeMovements:
      return kMenuMovements;
    default:
      return kMenuNoBook;
  }
}

std::string_view ModeName(int mode) {
  switch (mode) {
    case kModeOperations:
      return "Opération";
    case kModeBudget:
      return "Budget";
    case kModeSituation:
      return "Situation financière";
    case kModeSituationGraph:
      return "Situation financière (graphe)";
    case kModeBudgetGraph:
      return "Budget (graphe)";
    case kModeMovements:
      return "Tous mouvements";
    default:
      return "";
  }
}

std::span<const TCommand> Commands() {
  return kCommands;
}

const TCommand* FindCommand(int id) {
  auto it = std::find_if(kCommands.begin(), kCommands.end(),
                         [id](const TCommand& c) { return c.id == id; });
  return it == kCommands.end() ? nullptr : &*it;
}

std::vector<TPopup> MenuOf(int resource, int mode) {
  std::vector<TPopup> menu;
  switch (resource) {
    case kMenuNoBook:
      menu.push_back({"&Application",
                      {kCmdNew, kCmdOpen, 0, kCmdRecent1, kCmdRecent2, kCmdRecent3, kCmdRecent4, 0,
                       kCmdOptions, 0, kCmdQuit}});
      break;
    case kMenuOperations:
      menu.push_back({"&Application", ApplicationPopup()});
      menu.push_back({"&Opérations",
                      {kCmdUndo,
                       0,
                       kCmdModify,
                       kCmdPoint,
                       kCmdMarkDownloaded,
                       kCmdDelete,
                       0,
                       kCmdCut,
                       kCmdCopy,
                       kCmdPaste,
                       0,
                       kCmdFindAmount,
                       kCmdFindLabel,
                       0,
                       kCmdCreateAssociation,
                       kCmdPeriodicity,
                       kCmdSplit,
                       kCmdTransfer,
                       0,
                       kCmdReconcile}});
      menu.push_back({"&Catégories",
                      {kCmdCategoryNew, kCmdCategoryModify, kCmdCategoryDelete, 0,
                       kCmdCategorySelect, kCmdCategoryDeselect, 0, kCmdCategoryDetail, 0,
                       kCmdCategoryImport, kCmdCategoryExport}});
      menu.push_back({"&Projets",
                      {kCmdProjectNew, kCmdProjectRename, kCmdProjectDelete, kCmdProjectClose, 0,
                       kCmdProjectDetail, 0, kCmdProjectPane, kCmdProjectAll, kCmdProjectFilter}});
      menu.push_back({"A&ffichage",
                      {kCmdViewDetailed, kCmdViewCondensed, 0, kCmdViewFilters, kCmdViewFilterOn, 0,
                       kCmdViewAll, kCmdViewDownloaded, kCmdViewNotPointed, kCmdViewPointed,
                       kCmdViewSelectedCategory, kCmdViewWithoutCategory, 0, kCmdViewTotal,
                       kCmdViewCounterValue}});
      menu.push_back({"&Données", DataPopup(mode)});
      menu.push_back({"A&ide", HelpPopup()});
      break;
    case kMenuBudget: {
      std::vector<int> view = {kCmdShowFrancs, kCmdShowEuros, 0};
      if (mode == kModeBudgetGraph) {
        view.insert(view.end(), {kCmdGraphGrid, kCmdGraphCases, kCmdGraphThreshold, 0});
      }
      view.insert(view.end(), {kCmdDisplayRealised, kCmdDisplayBudget, kCmdDisplayDeviation, 0,
                               kCmdMonthLess, kCmdMonthMore, 0, kCmdMonthPrevious, kCmdMonthNext,
                               kCmdYearPrevious, kCmdYearNext});
      menu.push_back({"&Application", ApplicationPopup()});
      menu.push_back({"A&ffichage", view});
      menu.push_back({"&Budget",
                      {kCmdBudgetAssign, kCmdBudgetModify, 0, kCmdBudgetAuto, kCmdBudgetReset,
                       kCmdBudgetCopy, 0, kCmdExportTable}});
      menu.push_back(
          {"&Catégories",
           {kCmdCategoryNew, kCmdCategoryModify, kCmdCategoryDelete, 0, kCmdCategoryDetail}});
      menu.push_back({"&Données", DataPopup(mode)});
      menu.push_back({"A&ide", HelpPopup()});
      break;
    }
    case kMenuSituation: {
      std::vector<int> items = {kCmdSituationNewAccount, kCmdSituationModifyAccount,
                                kCmdSituationDeleteAccount, 0};
      if (mode == kModeSituationGraph) {
        items.insert(items.end(), {kCmdSituationAddToGraph, kCmdSituationRemoveFromGraph,
                                   kCmdGraphGrid, kCmdGraphCases, kCmdGraphThreshold, 0});
      } else {
        items.insert(items.end(), {kCmdSituationAddToGraph, kCmdSituationRemoveFromGraph, 0});
      }
      items.insert(items.end(),
                   {kCmdSituationNewColumn, kCmdSituationDeleteColumn, 0,
                    kCmdSituationModifyBalance, kCmdSituationFetchBalance,
                    kCmdSituationUpdateColumn, 0, kCmdSituationByBranch, kCmdSituationByType});
      menu.push_back({"&Application", ApplicationPopup()});
      menu.push_back({"&Situation", items});
      menu.push_back({"&Données", DataPopup(mode)});
      menu.push_back({"A&ide", HelpPopup()});
      break;
    }
    case kMenuMovements:
      menu.push_back({"&Application", ApplicationPopup()});
      menu.push_back({"A&ffichage",
                      {kCmdPreviousScreen, 0, kCmdMovementsChooseCategory,
                       kCmdMovementsAllCategories, kCmdMovementsHideCategory, 0, kCmdExportTable}});
      menu.push_back({"&Projets", {kCmdProjectDetail}});
      menu.push_back({"&Données", DataPopup(mode)});
      menu.push_back({"A&ide", HelpPopup()});
      break;
    default:
      break;
  }
  return menu;
}

std::vector<int> ToolbarOf(int resource) {
  const std::vector<int> modes = {kCmdModeOperations, kCmdModeBudget, kCmdModeSituation,
                                  kCmdModeMovements};
  std::vector<int> bar;
  switch (resource) {
    case kMenuNoBook:
      return {kCmdNew, kCmdOpen, 0, kCmdCalculator, kCmdEuroConverter, 0, kCmdHelpOperations};
    case kMenuOperations:
      bar = {kCmdNew, kCmdOpen, kCmdSave, 0};
      bar.insert(bar.end(), modes.begin(), modes.end());
      bar.insert(bar.end(), {0, kCmdPreviousAccount, kCmdAccountsPopup, kCmdNextAccount, 0,
                             kCmdUndo, kCmdCut, kCmdCopy, kCmdPaste, 0, kCmdProjectFilter, 0,
                             kCmdCalculator, kCmdEuroConverter, kCmdHelpOperations});
      return bar;
    case kMenuBudget:
    case kMenuMovements:
    case kMenuSituation:
      bar = {kCmdSave, 0};
      bar.insert(bar.end(), modes.begin(), modes.end());
      bar.push_back(0);
      bar.push_back(kCmdGraphView);
      if (resource != kMenuSituation) bar.push_back(kCmdPreviousScreen);
      bar.insert(bar.end(), {kCmdAccountsPopup, kCmdCurrencyPopup, 0, kCmdCalculator,
                             kCmdEuroConverter, kCmdHelpOperations});
      return bar;
    default:
      return {};
  }
}

TToolbarLabel ToolbarLabelOf(int resource) {
  switch (resource) {
    case kMenuSituation:
      return {"Situation financière en EUR", 180};
    case kMenuBudget:
      return {"Répartition par catégorie (EUR)", 180};
    case kMenuMovements:
      return {"Catégorie:Sous-catégorie", 220};
    default:
      return {};
  }
}

}  // namespace ledgora::app
