#pragma once
// Reads the lock keys' indicator lights through XKB on an X11 display
// connection. Kept apart from the Qt sources: the X11 headers define macros
// (KeyPress, None, Bool) that collide with Qt's names.
#include "app/LockPanes.h"

namespace chanset {

// `display` is an X11 Display*. False when the display has no XKB or none of
// the three indicators; `keys` is then untouched.
bool ReadX11LockKeys(void* display, LockKeys& keys);

}  // namespace chanset
