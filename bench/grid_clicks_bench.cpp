// Memory while editing: clicks 10 000 cells of a channel window one after
// another, as a pointer's clicks arrive from the window system (each click
// commits the open editor and opens the next one), and prints how much the
// process's resident memory grew over them, after a warm-up of 500 clicks.
// Runs on the platform Qt is given (QT_QPA_PLATFORM; offscreen when none is
// set).
#include <QApplication>
#include <QMainWindow>
#include <QTableView>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"

namespace {

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  chanset::SetApplicationDirectory(CHANSET_APP_DIR);
  if (!CLanguagePack::Load(QStringLiteral("English"))) {
    std::fprintf(stderr, "no English pack in %s\n", CHANSET_APP_DIR);
    return 1;
  }
  CMessageBox::SetResponder([](const CMessageBox::Request&) { return int(CMessageBox::IdOk); });
  CChansetDoc doc;
  doc.OnNewDocument();
  QMainWindow window;
  auto* view = new CChansetView(&doc);
  window.setCentralWidget(view);
  view->OnInitialUpdate();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  auto* table = view->Grid()->findChild<QTableView*>();
  auto click = [&](int i) {
    const QModelIndex index = table->model()->index(i % 16, (i / 16) % 8);
    const QPoint at = table->viewport()->mapTo(&window, table->visualRect(index).center());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
  };
  const int warmUp = 500, clicks = 10000;
  for (int i = 0; i < warmUp; ++i) click(i);
  const long before = ResidentKb();
  long half = 0;
  for (int i = 0; i < clicks; ++i) {
    click(warmUp + i);
    if (i + 1 == clicks / 2) half = ResidentKb();
  }
  QApplication::processEvents();
  const long after = ResidentKb();
  // Growth that goes on in the second half is what every further click adds.
  std::printf("platform %s: %d clicks, resident %ld kB -> %ld kB, growth %ld kB (%ld kB in the second half)\n",
              qPrintable(QGuiApplication::platformName()), clicks, before, after, after - before, after - half);
  return 0;
}
