#include "app/X11LockKeys.h"

#ifdef CHANSET_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace chanset {

#ifdef CHANSET_HAVE_XKB
namespace {
// The state of the indicator named `name` (the names the XKB keymaps give
// the keyboard's lights); false in `found` when there is no such indicator.
bool NamedIndicator(Display* display, const char* name, bool& found) {
  const Atom atom = XInternAtom(display, name, True);
  int index = 0;
  Bool on = False;
  found = atom != 0 && XkbGetNamedIndicator(display, atom, &index, &on, nullptr, nullptr);
  return found && on;
}
}  // namespace

bool ReadX11LockKeys(void* display, LockKeys& keys) {
  auto* dpy = static_cast<Display*>(display);
  if (!dpy) return false;
  int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (!XkbQueryExtension(dpy, &opcode, &event, &error, &major, &minor)) return false;
  bool capsFound = false, numFound = false, scrollFound = false;
  LockKeys read;
  read.caps = NamedIndicator(dpy, "Caps Lock", capsFound);
  read.num = NamedIndicator(dpy, "Num Lock", numFound);
  read.scroll = NamedIndicator(dpy, "Scroll Lock", scrollFound);
  if (!capsFound && !numFound && !scrollFound) return false;
  keys = read;
  return true;
}
#else
bool ReadX11LockKeys(void*, LockKeys&) { return false; }
#endif

}  // namespace chanset
