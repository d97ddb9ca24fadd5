#include "link/link_hooks.h"

#include "core/session.h"
#include "platform/status_line.h"

namespace kts {

void ShowRetrievalMessage(Session& s, std::string_view text) {
  if (s.linkHooks.retrievalMessage)
    s.linkHooks.retrievalMessage(s, text);
  else
    ShowStatus(s.ui, text);
}

void EndRetrievalBusy(Session& s) {
  if (s.linkHooks.endRetrievalBusy)
    s.linkHooks.endRetrievalBusy(s);
  else
    s.ui.setBusy(false);
}

void EnableMenus(Session& s, MenuGroup group, bool enabled) {
  if (s.linkHooks.enableMenus) s.linkHooks.enableMenus(s, group, enabled);
}

void StartTimer(Session& s, int intervalMs, bool restart) {
  if (s.linkHooks.startTimer) s.linkHooks.startTimer(s, intervalMs, restart);
}

}  // namespace kts
