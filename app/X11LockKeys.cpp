#include "app/X11LockKeys.h"

#ifdef CHANSET_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace chanset {

#ifdef CHANSET_HAVE_XKB
namespace {
// Which indicator light is which, found once per display by the names the
// XKB keymaps give them; -1 for a light the keymap does not have.
struct IndicatorIndexes {
  Display* display = nullptr;
  bool usable = false;
  int caps = -1, num = -1, scroll = -1;
};

int IndexOf(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  int index = -1;
  if (atom == 0 || !XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr)) return -1;
  return index;
}

const IndicatorIndexes& Indexes(Display* display) {
  static IndicatorIndexes known;
  if (known.display != display) {
    known = IndicatorIndexes();
    known.display = display;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
      known.caps = IndexOf(display, "Caps Lock");
      known.num = IndexOf(display, "Num Lock");
      known.scroll = IndexOf(display, "Scroll Lock");
      known.usable = known.caps >= 0 || known.num >= 0 || known.scroll >= 0;
    }
  }
  return known;
}

bool Lit(unsigned int state, int index) { return index >= 0 && (state & (1u << index)) != 0; }
}  // namespace

bool ReadX11LockKeys(void* display, LockKeys& keys) {
  auto* dpy = static_cast<Display*>(display);
  if (!dpy) return false;
  const IndicatorIndexes& indexes = Indexes(dpy);
  unsigned int state = 0;
  // One request for all the lights.
  if (!indexes.usable || XkbGetIndicatorState(dpy, XkbUseCoreKbd, &state) != Success) return false;
  keys.caps = Lit(state, indexes.caps);
  keys.num = Lit(state, indexes.num);
  keys.scroll = Lit(state, indexes.scroll);
  return true;
}
#else
bool ReadX11LockKeys(void*, LockKeys&) { return false; }
#endif

}  // namespace chanset
