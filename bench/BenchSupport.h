#pragma once
// What the benchmarks share: timing the best of several runs, and a CHIRP CSV
// file of many rows (16 fit a radio; the others are refused with a reason).
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

#include "data/Csv.h"
#include "editor/ChirpCsv.h"

namespace bench {

inline double BestMs(int runs, const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

inline std::string ChirpFile(int rows) {
  std::string text = chanset::CsvLine(chanset::kChirpColumns);
  for (int i = 1; i <= rows; ++i)
    text += std::to_string(i) +
            ",Name,446.006250,+,5.000000,Cross,100.0,162.2,023,NR,754,Tone->DTCS,FM,6.25,S,5.0W,Comment\n";
  return text;
}

}  // namespace bench
