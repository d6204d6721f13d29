// The window's batch (Program -> Write to Several Radios) against simulated
// radios at their 9600-baud pace, each behind a cable of a fake machine:
//
//   - eight radios written at once take at most 1.15 x the time of one;
//   - the window's event loop answers within 50 ms throughout the batch
//     (a 10 ms timer; its worst lateness is the worst wait a repaint had);
//   - Cancel in the middle of the blocks ends every radio's row within 0.2 s;
//   - a cable plugged in (told by a fake device source, from a thread of its
//     own as udev's monitor tells it) has its row within 1 s.
//
//   build/bench/batch_bench [radios] [rounds]      (default 8 radios, 3 rounds)
// Runs offscreen; needs nothing but the build.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <sys/wait.h>
#include <thread>

#include "link/CBatchWriteDlg.h"
#include "link/CDeviceWatcher.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"
#include "tests/e2e/SimulatorProcess.h"
#include "tests/unit/FakeSerialTree.h"

using namespace chanset;

namespace {

constexpr double kRatioLimit = 1.15;
constexpr double kLatencyLimitMs = 50;
constexpr double kPlugLimitMs = 1000;
constexpr double kCancelLimitMs = 200;

struct Run {
  double seconds = 0;
  double worstLatencyMs = 0;
  bool ok = false;
};

// One batch over the dialog's checked rows, with the event loop's lateness
// measured all along.
Run Batch(CBatchWriteDlg& dlg) {
  Run run;
  QEventLoop loop;
  QObject::connect(&dlg, &CBatchWriteDlg::batchEnded, &loop, &QEventLoop::quit);
  QElapsedTimer beat;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    run.worstLatencyMs = std::max(run.worstLatencyMs, beat.nsecsElapsed() / 1e6 - 10);
    beat.restart();
  });
  QElapsedTimer clock;
  clock.start();
  if (!dlg.StartBatch()) return run;
  beat.start();
  ticker.start(10);
  loop.exec();
  run.seconds = clock.nsecsElapsed() / 1e9;
  run.ok = true;
  for (int r = 0; r < dlg.Table()->rowCount(); ++r)
    if (dlg.Table()->item(r, CBatchWriteDlg::ColDevice)->checkState() == Qt::Checked)
      run.ok = run.ok && dlg.StateText(r) == CLanguagePack::String(ids::kResultWritten);
  return run;
}

void Check(CBatchWriteDlg& dlg, int rows) {
  for (int r = 0; r < dlg.Table()->rowCount(); ++r)
    dlg.Table()->item(r, CBatchWriteDlg::ColDevice)->setCheckState(r < rows ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const int radios = argc > 1 ? std::max(2, std::atoi(argv[1])) : 8;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  QTemporaryDir home, machineDir;
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
  QApplication app(argc, argv);
  SetApplicationDirectory(CHANSET_APP_DIR);
  if (!CLanguagePack::Load(QStringLiteral("English"))) return 2;

  testutil::FakeSerialTree machine(machineDir.path().toStdString());
  qputenv("CHANSET_SYSFS_ROOT", machine.Sys().c_str());
  qputenv("CHANSET_DEV_ROOT", machine.Dev().c_str());
  qputenv("CHANSET_PROC_ROOT", machine.Proc().c_str());
  std::vector<pid_t> sims;
  auto plug = [&](int n) {
    pid_t pid = -1;
    std::string pts = SpawnSimulator(std::string(CHANSET_APP_DIR) + "/chanset-radio-sim", {}, pid);
    if (pts.empty()) return std::string();
    sims.push_back(pid);
    const std::string name = "ttyUSB" + std::to_string(n);
    machine.AddUsb(name, n + 1, "0403", "6001", "FTDI", "FT232R USB UART", false, "B" + std::to_string(n));
    machine.AddDevice(name, pts);
    machine.AddById("usb-FTDI_FT232R_USB_UART_B" + std::to_string(n) + "-if00-port0", name);
    return machine.Dev() + "/" + name;
  };
  for (int n = 0; n < radios; ++n)
    if (plug(n).empty()) return 2;
  auto source = std::make_unique<FakeDeviceSource>();
  FakeDeviceSource* fake = source.get();
  CDeviceWatcher::Instance()->UseSource(std::move(source));

  CBatchWriteDlg dlg(nullptr);
  dlg.SetDocumentSource([](Image& image, QString& document) {
    image = NewImage();
    document = QStringLiteral("bench.dat");
    return true;
  });
  dlg.ShowDialog(QStringLiteral("bench.dat"), false);
  bool ok = dlg.Table()->rowCount() == radios;
  double worstRatio = 0, worstLatency = 0;
  for (int round = 1; round <= rounds && ok; ++round) {
    Check(dlg, 1);
    Run one = Batch(dlg);
    Check(dlg, radios);
    Run many = Batch(dlg);
    ok = one.ok && many.ok;
    const double ratio = many.seconds / one.seconds;
    std::printf("round %d: 1 radio %.2f s, %d radios %.2f s: %.3f x; event loop late by at most %.1f ms\n", round,
                one.seconds, radios, many.seconds, ratio, std::max(one.worstLatencyMs, many.worstLatencyMs));
    worstRatio = std::max(worstRatio, ratio);
    worstLatency = std::max({worstLatency, one.worstLatencyMs, many.worstLatencyMs});
  }

  // Cancel half a second into the blocks: until every row has ended.
  double worstCancelMs = 0;
  for (int round = 1; round <= rounds && ok; ++round) {
    QEventLoop loop;
    QElapsedTimer clock;
    QObject::connect(&dlg, &CBatchWriteDlg::batchEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(800, &dlg, [&] {
      clock.start();
      dlg.CancelBatch();
    });
    ok = dlg.StartBatch();
    loop.exec();
    worstCancelMs = std::max(worstCancelMs, clock.nsecsElapsed() / 1e6);
    for (int r = 0; r < dlg.Table()->rowCount(); ++r)
      ok = ok && dlg.StateText(r) == CLanguagePack::String(ids::kResultCancelled);
  }

  // Cables plugged in: from the source's event to the row in the window.
  double worstPlugMs = 0;
  for (int n = radios; n < radios + 5 && ok; ++n) {
    const std::string path = plug(n);
    QElapsedTimer clock;
    clock.start();
    std::thread([fake, path] { fake->Add(path); }).join();
    while (dlg.RowOf(QString::fromStdString(path)) < 0 && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double ms = clock.nsecsElapsed() / 1e6;
    ok = dlg.RowOf(QString::fromStdString(path)) >= 0;
    worstPlugMs = std::max(worstPlugMs, ms);
  }
  for (pid_t pid : sims) kill(pid, SIGTERM);
  for (pid_t pid : sims) waitpid(pid, nullptr, 0);
  if (!ok) {
    std::fprintf(stderr, "batch_bench: a write failed or a row did not appear\n");
    return 1;
  }
  std::printf("%d radios at once: %.3f x one radio's time (limit %.2f)\n", radios, worstRatio, kRatioLimit);
  std::printf("event loop: late by at most %.1f ms (limit %.0f ms)\n", worstLatency, kLatencyLimitMs);
  std::printf("Cancel to every row ended: at most %.1f ms (limit %.0f ms)\n", worstCancelMs, kCancelLimitMs);
  std::printf("cable plugged in to its row: at most %.1f ms (limit %.0f ms)\n", worstPlugMs, kPlugLimitMs);
  return worstRatio <= kRatioLimit && worstLatency <= kLatencyLimitMs && worstCancelMs <= kCancelLimitMs &&
                 worstPlugMs <= kPlugLimitMs
             ? 0
             : 1;
}
