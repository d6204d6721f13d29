#pragma once
// The status bar's key-state panes CAP, NUM and SCRL. Where the window
// system tells the lock keys' state, a pane shows its text while its lock is
// on and stays empty while it is off; where it cannot tell, every pane shows
// its text greyed, so an unknown state never looks like a known one.
#include <optional>

namespace chanset {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

enum class LockPane { Caps, Num, Scroll };
enum class PaneLook { Grey, Lit, Blank };

// `keys` is empty when the state cannot be read.
PaneLook LockPaneLook(const std::optional<LockKeys>& keys, LockPane pane);

}  // namespace chanset
