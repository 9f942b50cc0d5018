#include "app/mode_panes.h"

#include "app/command_table.h"
#include "app/operation_panes.h"
#include "platform/configuration.h"

namespace ledgora::app {

namespace {

CSimpleView* Empty(const char* title, QWidget* parent) {
  return new CSimpleView(QString::fromUtf8(title), parent);
}

}  // namespace

TModePanes CreateModePanes(int mode, const TPaneContext& c) {
  TModePanes panes;
  switch (mode) {
    case kModeOperations: {
      // CProjetView above CCatOpView; the project pane is hidden when the
      // project column is off.
      const bool projects = platform::ProfileReadInt("Setup", "AffColProjets", 1) != 0;
      auto* list = new CAccountListPane(c.db, c.hooks, c.port, c.parent);
      panes.main = list;
      panes.sides = {MakeProjectPane(c.db, *list, c.parent),
                     MakeCategoryPane(c.db, *list, c.parent)};
      panes.side_visible = {projects, true};
      break;
    }
    case kModeBudget:
      // CStatView below a hidden CSimpleView placeholder.
      panes.main = Empty("Synthèse des dépenses", c.parent);
      panes.sides = {Empty("", c.parent), Empty("Sélection des comptes", c.parent)};
      panes.side_visible = {false, true};
      break;
    case kModeSituation:
    case kModeSituationGraph:
      // CPrcView below a hidden CSimpleView placeholder.
      panes.main = Empty(mode == kModeSituation ? "Votre situation financière"
                                                : "Graphique de la situation financière",
                         c.parent);
      panes.sides = {Empty("", c.parent), Empty("Comptes de la situation", c.parent)};
      panes.side_visible = {false, true};
      break;
    case kModeBudgetGraph:
      panes.main = Empty("Graphique de la synthèse des dépenses", c.parent);
      panes.sides = {Empty("", c.parent), Empty("", c.parent)};
      panes.side_visible = {true, true};
      break;
    case kModeMovements:
      panes.main = Empty("Tous mouvements, tous comptes", c.parent);
      panes.sides = {Empty("", c.parent), Empty("", c.parent)};
      panes.side_visible = {true, true};
      break;
    default:
      break;
  }
  return panes;
}

}  // namespace ledgora::app
