#pragma once
// The installed tree of the install tests: `cmake --install` of this build
// into a temporary DESTDIR with the prefix /usr/local, and a way to start
// programs with a time limit and read what they printed.
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "../unit/TempDir.h"

namespace installtest {

struct Outcome {
  int status = -1;  // exit status; -1 when the program did not end normally
  std::string out, err;
};

// Runs argv[0] (looked up in PATH) with `env` added to the environment, for
// at most `seconds`, in the current directory.
inline Outcome RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
                   int seconds = 120) {
  Outcome o;
  testutil::TempDir io;
  const std::string outPath = io.File("out"), errPath = io.File("err");
  pid_t pid = fork();
  if (pid < 0) return o;
  if (pid == 0) {
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<std::string> all = {"timeout", "-k", "5", std::to_string(seconds)};
    all.insert(all.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& a : all) args.push_back(a.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) o.status = WEXITSTATUS(wstatus);
  o.out = testutil::ReadText(outPath);
  o.err = testutil::ReadText(errPath);
  return o;
}

// This build installed into a folder of its own, readable by everyone.
class InstalledTree {
 public:
  static constexpr const char* kPrefix = "/usr/local";

  // False (with cmake's output in `log`) when the install failed.
  bool Install(std::string& log) {
    chmod(root_.Path().c_str(), 0755);
    Outcome o = RunProgram({CHANSET_CMAKE, "--install", CHANSET_BINARY_DIR, "--prefix", kPrefix}, {"DESTDIR=" + root_.Path()});
    log = o.out + o.err;
    return o.status == 0;
  }
  // A path under the prefix, e.g. Path("bin/chanset").
  std::string Path(const std::string& relative) const { return root_.Path() + kPrefix + "/" + relative; }

 private:
  testutil::TempDir root_;
};

}  // namespace installtest
