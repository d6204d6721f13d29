// Deterministic driver for one fuzz target, for CI: runs the entry point on
// the target's seeds and on a fixed number of pseudo-random mutations of
// them. The same command line always runs the same inputs.
//
//   fuzz_smoke_<target> [--runs N] [--seed S]   seeds + N mutations (default per target)
//   fuzz_smoke_<target> --write-corpus DIR      saves the seeds for libFuzzer
//   fuzz_smoke_<target> FILE...                 replays saved inputs
//
// When an invariant fails the input is saved as smoke-crash-<target>.bin in
// the working folder, for replay with the last form.
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "fuzz/FuzzTarget.h"

#ifndef FUZZ_TARGET_NAME
#define FUZZ_TARGET_NAME "target"
#endif
#ifndef FUZZ_SMOKE_RUNS
#define FUZZ_SMOKE_RUNS 2000
#endif

namespace {

constexpr std::size_t kMaxInput = 16384;

// The input being run, for the abort handler.
const std::string* g_current = nullptr;

void SaveCurrent(int sig) {
  if (g_current != nullptr) {
    const char* name = "smoke-crash-" FUZZ_TARGET_NAME ".bin";
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      ssize_t n = write(fd, g_current->data(), g_current->size());
      (void)n;
      close(fd);
      const char msg[] = "input saved as smoke-crash-" FUZZ_TARGET_NAME ".bin\n";
      n = write(2, msg, sizeof msg - 1);
      (void)n;
    }
  }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0..n-1; n must be positive.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next()); }

 private:
  std::uint64_t state_;
};

const std::uint8_t kInteresting[] = {0x00, 0x01, 0x06, 0x0A, 0x0D, 0x15, 0x20, 0x22, 0x2C,
                                     0x2E, 0x3D, 0x5B, 0x5D, 0x7F, 0x80, 0xFE, 0xFF};

void Mutate(std::string& s, Random& rnd, const std::vector<std::string>& seeds,
            const std::vector<std::string>& tokens) {
  const std::size_t rounds = 1 + rnd.Below(6);
  for (std::size_t r = 0; r < rounds; ++r) {
    const std::size_t pos = s.empty() ? 0 : rnd.Below(s.size() + 1);
    switch (rnd.Below(10)) {
      case 0:  // flip one bit
        if (!s.empty()) s[rnd.Below(s.size())] ^= static_cast<char>(1u << rnd.Below(8));
        break;
      case 1:  // any byte
        if (!s.empty()) s[rnd.Below(s.size())] = static_cast<char>(rnd.Byte());
        break;
      case 2:  // an interesting byte
        if (!s.empty())
          s[rnd.Below(s.size())] = static_cast<char>(kInteresting[rnd.Below(sizeof kInteresting)]);
        break;
      case 3: {  // insert a few bytes
        std::string bytes;
        for (std::size_t i = 1 + rnd.Below(4); i > 0; --i) bytes += static_cast<char>(rnd.Byte());
        s.insert(pos, bytes);
        break;
      }
      case 4:  // erase a range
        if (!s.empty()) s.erase(rnd.Below(s.size()), 1 + rnd.Below(16));
        break;
      case 5:  // duplicate a range
        if (!s.empty()) {
          std::size_t from = rnd.Below(s.size());
          s.insert(pos, s.substr(from, 1 + rnd.Below(32)));
        }
        break;
      case 6:  // insert a token
      case 7:
        if (!tokens.empty()) s.insert(pos, tokens[rnd.Below(tokens.size())]);
        break;
      case 8:  // cut the tail
        s.resize(pos);
        break;
      case 9: {  // splice with another seed
        const std::string& other = seeds[rnd.Below(seeds.size())];
        std::size_t from = other.empty() ? 0 : rnd.Below(other.size());
        s = s.substr(0, pos) + other.substr(from);
        break;
      }
    }
  }
  if (s.size() > kMaxInput) s.resize(kMaxInput);
}

void Run(const std::string& input) {
  g_current = &input;
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  g_current = nullptr;
}

int WriteCorpus(const std::string& dir, const std::vector<std::string>& seeds) {
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    std::string path = dir + "/seed-" + std::to_string(i);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << seeds[i];
    if (!out) {
      std::cerr << "cannot write " << path << "\n";
      return 1;
    }
  }
  std::cout << seeds.size() << " seeds written to " << dir << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGABRT, SaveCurrent);
  std::signal(SIGSEGV, SaveCurrent);
  std::signal(SIGFPE, SaveCurrent);

  const std::vector<std::string> seeds = fuzz::Seeds();
  const std::vector<std::string> tokens = fuzz::Tokens();
  unsigned long runs = FUZZ_SMOKE_RUNS;
  std::uint64_t seed = 1;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--write-corpus" && i + 1 < argc) {
      return WriteCorpus(argv[++i], seeds);
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "usage: " << argv[0] << " [--runs N] [--seed S] | --write-corpus DIR | FILE...\n";
      return 2;
    } else {
      files.push_back(arg);
    }
  }

  if (!files.empty()) {
    for (const std::string& f : files) {
      std::ifstream in(f, std::ios::binary);
      if (!in) {
        std::cerr << "cannot read " << f << "\n";
        return 1;
      }
      std::ostringstream bytes;
      bytes << in.rdbuf();
      Run(bytes.str());
    }
    std::cout << files.size() << " input(s) ran cleanly\n";
    return 0;
  }

  for (const std::string& s : seeds) Run(s);
  Random rnd(seed);
  for (unsigned long i = 0; i < runs; ++i) {
    std::string input = seeds[rnd.Below(seeds.size())];
    Mutate(input, rnd, seeds, tokens);
    Run(input);
  }
  std::cout << FUZZ_TARGET_NAME ": " << seeds.size() << " seeds and " << runs
            << " mutations ran cleanly\n";
  return 0;
}
