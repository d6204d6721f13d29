#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/CChansetApp.h"
#include "app/CMainFrame.h"

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
    // "--screenshot FILE": save a picture of the main window once it is up,
    // then quit (used to check the look under a virtual display).
    QString screenshot;
    int at = args.indexOf(QStringLiteral("--screenshot"));
    if (at >= 0 && at + 1 < args.size()) {
      screenshot = args.at(at + 1);
      args.remove(at, 2);
    }
    if (app.InitInstance(args) == CChansetApp::StartResult::Ok) {
      if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &qapp, [&] {
          // A display without a window manager does not maximise windows;
          // give the frame the screen as a window manager would.
          CMainFrame* frame = app.MainFrame();
          if (frame->screen() && frame->size() != frame->screen()->availableGeometry().size())
            frame->setGeometry(frame->screen()->availableGeometry());
          qapp.processEvents();
          frame->grab().save(screenshot);
          qapp.quit();
        });
      }
      status = qapp.exec();
    }
  }
  return status;
}
