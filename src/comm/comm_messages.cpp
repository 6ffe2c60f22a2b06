// Numbered transfer texts taken from the program-wide message table.
#include "comm/comm_messages.h"

#include "core/app_state.h"

namespace korv {

CommMessages CommMessages::From(const AppState& state) {
  CommMessages m;
  auto take = [&state](int row, std::string& text) {
    if (!state.Messages[row].empty()) text = state.Messages[row];
  };
  take(11, m.error);
  take(15, m.portNotOpened);
  take(16, m.warning);
  take(17, m.interrupted);
  take(18, m.complete);
  take(19, m.completed);
  take(20, m.uploadAborted);
  take(21, m.finished);
  take(22, m.uploaded);
  return m;
}

}  // namespace korv
