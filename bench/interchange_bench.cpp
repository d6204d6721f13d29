// Channel import and export speed: a 10 000-row CHIRP CSV file (16 rows fit,
// the rest are refused with a reason each), the same file renumbered, a
// file of 16 rows, the export of a full image, and a 16-row paste. Prints
// the best of several runs of each, in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/BenchSupport.h"
#include "data/ChannelCodec.h"
#include "editor/ChannelImport.h"
#include "editor/ChirpCsv.h"
#include "editor/ChannelClipboard.h"

using namespace chanset;

using bench::BestMs;
using bench::ChirpFile;

int main() {
  ImportOptions options;
  options.bandText = "400-470MHz";
  options.limits = DeriveBandLimits(options.bandText);
  const std::string big = ChirpFile(10000), small = ChirpFile(16);
  int accepted = 0;

  const double bigMs = BestMs(5, [&] { accepted = ImportChannels(big, options).AcceptedCount(); });
  std::printf("import 10000 CHIRP rows (%d accepted): %8.2f ms\n", accepted, bigMs);
  options.renumber = true;
  std::printf("the same, renumbered:                    %8.2f ms\n",
              BestMs(5, [&] { ImportChannels(big, options); }));
  options.renumber = false;
  std::printf("import 16 CHIRP rows:                    %8.3f ms\n", BestMs(50, [&] { ImportChannels(small, options); }));

  Image image = NewImage();
  ApplyImport(ImportChannels(small, options), image);
  std::printf("export 16 channels as CHIRP CSV:         %8.3f ms\n", BestMs(50, [&] { WriteChirpCsv(image); }));
  std::vector<int> all;
  for (int n = 1; n <= kChannelCount; ++n) all.push_back(n);
  const std::string text = ChannelsAsText(image, all, false);
  const RowRules rules{options.limits, options.bandText, false};
  std::printf("plan a 16-row text paste:                %8.3f ms\n",
              BestMs(50, [&] { PlanTextPaste(text, 1, rules); }));
  return 0;
}
