#pragma once
// What every fuzz target provides. The entry point has libFuzzer's signature,
// so the same file builds into a libFuzzer binary and into the deterministic
// smoke driver (SmokeMain.cpp) that CI runs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// Hand-written inputs that reach deep into the target: the smoke driver
// mutates these, and --write-corpus saves them as a libFuzzer seed corpus.
std::vector<std::string> Seeds();
// Byte strings the mutator likes to insert (keywords, delimiters, frames).
std::vector<std::string> Tokens();

}  // namespace fuzz

// An invariant of the code under test. A violation aborts, which both
// libFuzzer and the smoke driver report together with the input.
#define FUZZ_CHECK(cond)                                                                   \
  do {                                                                                     \
    if (!(cond)) {                                                                         \
      std::fprintf(stderr, "%s:%d: invariant violated: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)
