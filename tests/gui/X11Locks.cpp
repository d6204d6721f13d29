#include "X11Locks.h"

#ifdef CHANSET_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

bool SetX11Lock(void* display, X11Lock lock, bool on) {
  auto* dpy = static_cast<Display*>(display);
  if (!dpy) return false;
  const unsigned int mask = lock == X11Lock::Caps ? LockMask : XkbKeysymToModifiers(dpy, XK_Num_Lock);
  if (mask == 0) return false;
  const Bool done = XkbLockModifiers(dpy, XkbUseCoreKbd, mask, on ? mask : 0);
  XSync(dpy, False);
  return done;
}
#else
bool SetX11Lock(void*, X11Lock, bool) { return false; }
#endif
