// The panes of each display mode: the main pane and the side panes (top to
// bottom in the inner splitter). A view whose rules are not part of the
// program yet is an empty CSimpleView with its title.
#pragma once

#include <QString>
#include <vector>

#include "app/pane.h"

namespace ledgora {
class TDatabase;
class TOperationsHooks;
class TUserPort;
}  // namespace ledgora

namespace ledgora::app {

struct TModePanes {
  CPane* main = nullptr;
  std::vector<CPane*> sides;  // in the inner splitter, top first
  std::vector<bool> side_visible;
};

struct TPaneContext {
  TDatabase& db;
  TOperationsHooks& hooks;
  TUserPort& port;
  QWidget* parent;
};

TModePanes CreateModePanes(int mode, const TPaneContext& context);

}  // namespace ledgora::app
