#pragma once
// Test helper: turns a lock key of an X11 display on or off through XKB, as
// pressing the key would. Apart from the Qt test sources, whose names the
// X11 headers' macros would clash with.
enum class X11Lock { Caps, Num };

// `display` is an X11 Display*. False when XKB refused or is absent.
bool SetX11Lock(void* display, X11Lock lock, bool on);
