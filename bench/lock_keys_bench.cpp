// How long one read of the lock keys' lights takes: the status bar reads
// them at every key press and release. Needs an X11 display:
//   xvfb-run -a build/bench/lock_keys_bench [reads]
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "app/CLockIndicators.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  const int reads = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (!CLockIndicators::ReadKeys()) {
    std::fprintf(stderr, "lock_keys_bench: this display does not tell the lock keys' state\n");
    return 1;
  }
  QElapsedTimer timer;
  timer.start();
  int on = 0;
  for (int i = 0; i < reads; ++i) on += CLockIndicators::ReadKeys()->caps;
  const double us = timer.nsecsElapsed() / 1000.0 / reads;
  std::printf("%d reads of CAP, NUM and SCRL: %.1f us each (caps on %d times)\n", reads, us, on);
  return 0;
}
