#pragma once
// Runs part of a test as an ordinary user. Root may write every file, so a
// read-only folder is only read-only for someone else: run as root (as CI
// does), the body runs in a forked child that has become the user "nobody";
// run as anyone else, in a forked child of the same user.
#include <functional>
#include <grp.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testutil {

// The user the body runs as.
inline uid_t UnprivilegedUid() { return geteuid() == 0 ? 65534 : geteuid(); }
inline gid_t UnprivilegedGid() { return geteuid() == 0 ? 65534 : getegid(); }

struct ChildResult {
  int status = -1;     // the body's return value, or -1 when the child did not finish normally
  std::string output;  // what the body put into its `out` argument
};

inline ChildResult RunUnprivileged(const std::function<int(std::string& out)>& body) {
  ChildResult result;
  int fds[2];
  if (pipe(fds) != 0) return result;
  pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    close(fds[0]);
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(UnprivilegedGid()) != 0 || setuid(UnprivilegedUid()) != 0))
      _exit(125);
    std::string out;
    int status = body(out);
    for (std::size_t done = 0; done < out.size();) {
      ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    _exit(status);
  }
  close(fds[1]);
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) result.output.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  return result;
}

}  // namespace testutil
