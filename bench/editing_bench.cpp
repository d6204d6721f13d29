// The editing commands' speed where a user waits: the import preview of a
// 10 000-row CHIRP CSV file (opening it, and switching Renumber), and undo
// and redo of a step in a channel window (restoring the image and showing
// it in the grid). Prints the best of several runs, in milliseconds. Runs
// offscreen; the language pack comes from the build's application folder.
#include <QApplication>
#include <QCheckBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "bench/BenchSupport.h"
#include "data/CChansetDoc.h"
#include "editor/CChannelEditing.h"
#include "editor/CChansetView.h"
#include "editor/CImportPreviewDlg.h"
#include "editor/ChirpCsv.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"

using namespace chanset;

using bench::BestMs;
using bench::ChirpFile;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetApplicationDirectory(CHANSET_APP_DIR);
  if (!CLanguagePack::Load(QStringLiteral("English"))) {
    std::fprintf(stderr, "no English pack in %s\n", CHANSET_APP_DIR);
    return 1;
  }
  ImportOptions options;
  options.bandText = "400-470MHz";
  options.limits = DeriveBandLimits(options.bandText);
  const std::string big = ChirpFile(10000);

  std::printf("preview of 10000 CHIRP rows, open:  %8.1f ms\n", BestMs(3, [&] {
                CImportPreviewDlg dlg(nullptr, QStringLiteral("big.csv"), big, options);
                dlg.show();
                QApplication::processEvents();
              }));
  CImportPreviewDlg dlg(nullptr, QStringLiteral("big.csv"), big, options);
  dlg.show();
  std::printf("the same, Renumber switched:        %8.1f ms\n",
              BestMs(4, [&] {
                dlg.RenumberBox()->toggle();
                QApplication::processEvents();
              }));

  CChansetDoc doc;
  doc.OnNewDocument();
  CChansetView view(&doc);
  view.OnInitialUpdate();
  view.show();
  Image changed = doc.State();
  for (int n = 1; n <= kChannelCount; ++n) changed[off::channel(n)] = static_cast<std::uint8_t>(n);
  if (!CChannelEditing::For(&view)->ApplyState(EditKind::Paste, changed) || !doc.History().CanUndo()) {
    std::fprintf(stderr, "the step was not recorded\n");
    return 1;
  }
  std::printf("undo and redo of a 16-channel step:  %8.2f ms\n", BestMs(20, [&] {
                doc.Undo();
                doc.Redo();
                QApplication::processEvents();
              }));
  return 0;
}
