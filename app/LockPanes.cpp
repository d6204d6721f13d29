#include "app/LockPanes.h"

namespace chanset {

PaneLook LockPaneLook(const std::optional<LockKeys>& keys, LockPane pane) {
  if (!keys) return PaneLook::Grey;
  bool on = false;
  switch (pane) {
    case LockPane::Caps: on = keys->caps; break;
    case LockPane::Num: on = keys->num; break;
    case LockPane::Scroll: on = keys->scroll; break;
  }
  return on ? PaneLook::Lit : PaneLook::Blank;
}

}  // namespace chanset
