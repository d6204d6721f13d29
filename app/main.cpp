#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/CChansetApp.h"

// Qt aborts deep inside its platform plugin when there is no display; say so
// plainly instead.
static bool HaveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wl && *wl);
}

int main(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "Chanset needs a graphical display, and none was found (DISPLAY and "
                 "WAYLAND_DISPLAY are not set).\nStart it from a desktop session, or "
                 "under a virtual display: xvfb-run -a ./Chanset\n");
    return 2;
  }
  QApplication qapp(argc, argv);
  int status = 1;
  {
    CChansetApp app;
    QStringList args = qapp.arguments();
    args.removeFirst();
    if (app.InitInstance(args) == CChansetApp::StartResult::Ok) status = qapp.exec();
  }
  return status;
}
