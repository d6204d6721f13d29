#pragma once
// Runs a test body in a forked child that has dropped root's privileges to
// the user "nobody", so that permission checks really apply (root writes
// read-only files and creates files in read-only folders). Run by an
// ordinary user, the child keeps that user. GoogleTest assertions in the
// body print in the child; the parent sees them through the exit status.
#include <gtest/gtest.h>

#include "tests/unit/Unprivileged.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace testutil {

// Hands `path` to the user the child runs as, so it may work inside it.
inline void GiveToChildUser(const std::string& path) {
  if (RunningAsRoot()) {
    ASSERT_EQ(chown(path.c_str(), UnprivilegedUid(), UnprivilegedGid()), 0) << path;
  }
}

// Runs `body` in a child process as "nobody" (when started as root) and
// expects it to finish without a failed assertion. `fileSizeLimit`, when not
// zero, caps the size of files the child may write (writes past it fail
// with EFBIG), to make a write fail halfway.
inline void RunAsUser(const std::function<void()>& body, rlim_t fileSizeLimit = 0) {
  fflush(nullptr);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (!BecomeUnprivileged()) _exit(3);
    if (fileSizeLimit != 0) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{fileSizeLimit, fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(5);
    }
    body();
    fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: an assertion failed in the child; 3, 5: set-up failed";
}

}  // namespace testutil
