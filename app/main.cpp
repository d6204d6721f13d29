#include <QApplication>
#include <QBuffer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>
#include <cstring>
#include <string>

#include "app/CChansetApp.h"
#include "app/CMainFrame.h"
#include "app/CSignalClose.h"
#include "platform/AtomicFile.h"
#include "platform/CMessageBox.h"
#include "platform/TerminalText.h"
#include "platform/Version.h"

// The help, laid out as help2man reads it: the manual page chanset(1) is
// made from it, so every option and exit status shown here is in the manual
// too.
static const char kUsage[] =
    "Usage: chanset [FILE.dat]\n"
    "  or:  chanset /p FILE.dat\n"
    "  or:  chanset /pt FILE.dat PRINTER\n"
    "  or:  chanset --print-pdf FILE.dat OUT.pdf\n"
    "  or:  chanset --screenshot OUT.png [FILE.dat]\n"
    "  or:  chanset --version | --help\n"
    "Programs the channels of a hand-held two-way FM radio over its serial programming\n"
    "cable. Opens FILE.dat, or a new configuration.\n"
    "\n"
    "Options:\n"
    "  /p FILE.dat            print the report of FILE.dat on the default printer without\n"
    "                         showing the window, then exit\n"
    "  /pt FILE.dat PRINTER   the same on the printer named PRINTER\n"
    "  --print-pdf FILE.dat OUT.pdf\n"
    "                         write the report of FILE.dat to OUT.pdf and exit; messages go\n"
    "                         to standard error\n"
    "  --screenshot OUT.png   save a picture of the main window once it is up, then exit\n"
    "  -h, --help             print this help and exit\n"
    "  --version              print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0    the program was closed, or the report was printed\n"
    "  1    start-up failed (the message said why), or the report was not printed\n"
    "  2    no graphical display could be opened\n"
    "  129  SIGHUP closed the program as File -> Exit does, without asking\n"
    "  130  SIGINT closed the program, the same way\n"
    "  143  SIGTERM closed the program, the same way\n";

// Qt aborts deep inside its platform plugin when there is no display; say so
// plainly instead.
static bool HaveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wl && *wl);
}

// While Qt connects to the display, its messages are held back. When it
// cannot connect it ends the process with a fatal message (an abort); one
// line says what is wrong instead, and the program exits with status 2.
// When it connects, the held messages go out as they would have.
namespace {
struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};
std::vector<HeldMessage> g_held;
QtMessageHandler g_previousHandler = nullptr;

// The variable's value as it may be printed on a terminal.
std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return chanset::TerminalText(value && *value ? value : fallback);
}

void HoldWhileOpeningDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr,
                 "Chanset cannot open the graphical display (DISPLAY=%s, WAYLAND_DISPLAY=%s, "
                 "platform %s); start it from a desktop session, or under a virtual display: "
                 "xvfb-run -a ./Chanset\n",
                 EnvOr("DISPLAY", "unset").c_str(), EnvOr("WAYLAND_DISPLAY", "unset").c_str(),
                 EnvOr("QT_QPA_PLATFORM", "default").c_str());
    std::fflush(stderr);
    _exit(2);
  }
  g_held.push_back({type, context.category ? QByteArray(context.category) : QByteArray(), text});
}

void ReleaseHeldMessages() {
  qInstallMessageHandler(g_previousHandler);
  for (const HeldMessage& m : g_held) {
    QMessageLogContext context(nullptr, 0, nullptr, m.category.isEmpty() ? "default" : m.category.constData());
    qt_message_output(m.type, context, m.text);
  }
  g_held.clear();
}
}  // namespace

int main(int argc, char** argv) {
  // Answered on the terminal, without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Chanset %s\n", chanset::kVersion);
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "Chanset needs a graphical display, and none was found (DISPLAY and "
                 "WAYLAND_DISPLAY are not set); start it from a desktop session, or "
                 "under a virtual display: xvfb-run -a ./Chanset\n");
    return 2;
  }
  g_previousHandler = qInstallMessageHandler(HoldWhileOpeningDisplay);
  QApplication qapp(argc, argv);
  ReleaseHeldMessages();
  // Desktops match the window to chanset.desktop (its icon and name) by this.
  QGuiApplication::setDesktopFileName(QStringLiteral("chanset"));
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
    // "--print-pdf FILE OUT" runs from scripts: its messages go to stderr
    // instead of waiting in a message box for someone to answer.
    if (!args.isEmpty() && args.first() == QStringLiteral("--print-pdf")) {
      CMessageBox::SetResponder([](const CMessageBox::Request& r) {
        // One line per message; names from files written out safely.
        std::string text;
        for (const QString& line : r.text.split(QLatin1Char('\n')))
          text += "Chanset: " + chanset::TerminalText(line.toStdString()) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return int(r.buttons == CMessageBox::Ok ? CMessageBox::IdOk : CMessageBox::IdCancel);
      });
    }
    const CChansetApp::StartResult result = app.InitInstance(args);
    if (result == CChansetApp::StartResult::Printed) {
      status = 0;
    } else if (result == CChansetApp::StartResult::Ok) {
      if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &qapp, [&] {
          // A display without a window manager does not maximise windows;
          // give the frame the screen as a window manager would.
          CMainFrame* frame = app.MainFrame();
          if (frame->screen() && frame->size() != frame->screen()->availableGeometry().size())
            frame->setGeometry(frame->screen()->availableGeometry());
          qapp.processEvents();
          // Stored as every file the program writes is.
          QByteArray png;
          QBuffer buffer(&png);
          buffer.open(QIODevice::WriteOnly);
          frame->grab().save(&buffer, "PNG");
          std::string reason;
          if (!chanset::WriteFileAtomic(screenshot.toStdString(), png.toStdString(), &reason)) {
            const std::string line = "Chanset: cannot write " + chanset::TerminalText(screenshot.toStdString() + ": " + reason) + "\n";
            std::fwrite(line.data(), 1, line.size(), stderr);
          }
          qapp.quit();
        });
      }
      // From here on SIGTERM, SIGHUP and SIGINT close the program as Exit
      // would, without waiting for answers (app/CSignalClose.h).
      CSignalClose closeOnSignal(app.MainFrame());
      status = qapp.exec();
    }
  }
  return status;
}
