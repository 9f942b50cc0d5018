// The storage failures of a command, shown to the user: the windows of the
// list run each rule inside ShowingStorageErrors, so that a TXOrvanet never
// crosses the Qt event loop. The book stays as the storage left it (each
// change is one write phase).
#pragma once

#include <string>

#include "platform/user_port.h"
#include "storage/xorvanet.h"

namespace ledgora {

// Runs body; on TXOrvanet shows its French text with the stop icon and
// returns false. Otherwise returns what body returns (converted to bool),
// or true for a body that returns nothing.
template <class F>
bool ShowingStorageErrors(TUserPort& port, F&& body) {
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      return true;
    } else {
      return static_cast<bool>(body());
    }
  } catch (const TXOrvanet& e) {
    port.Show(e.Message(), TIcon::Stop);
    return false;
  }
}

}  // namespace ledgora
