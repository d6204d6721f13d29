#pragma once
// Running part of a test as an ordinary user. Root may write every file and
// open every device, so a permission check only applies to someone else:
// run as root (as CI does), the code runs in a forked child that has become
// the user "nobody"; run as anyone else, in a forked child of that user.
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testutil {

inline bool RunningAsRoot() { return geteuid() == 0; }

// The ids of "nobody" (65534 where the user database has no such entry).
inline void NobodyIds(uid_t& uid, gid_t& gid) {
  const passwd* pw = getpwnam("nobody");
  uid = pw ? pw->pw_uid : 65534;
  gid = pw ? pw->pw_gid : 65534;
}

// The user the child runs as.
inline uid_t UnprivilegedUid() {
  uid_t uid = geteuid();
  gid_t gid;
  if (RunningAsRoot()) NobodyIds(uid, gid);
  return uid;
}
inline gid_t UnprivilegedGid() {
  uid_t uid;
  gid_t gid = getegid();
  if (RunningAsRoot()) NobodyIds(uid, gid);
  return gid;
}

// In a forked child: drops root's user, group and supplementary groups for
// those of "nobody"; does nothing for an ordinary user. False when root's
// privileges could not be given up.
inline bool BecomeUnprivileged() {
  if (!RunningAsRoot()) return true;
  uid_t uid;
  gid_t gid;
  NobodyIds(uid, gid);
  return setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0 && geteuid() != 0;
}

struct ChildResult {
  int status = -1;     // the body's return value, or -1 when the child did not finish normally
  std::string output;  // what the body put into its `out` argument
};

// Runs `body` as an ordinary user in a forked child; its return value is the
// child's exit status (125: the privileges could not be dropped).
inline ChildResult RunUnprivileged(const std::function<int(std::string& out)>& body) {
  ChildResult result;
  int fds[2];
  if (pipe(fds) != 0) return result;
  pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    close(fds[0]);
    if (!BecomeUnprivileged()) _exit(125);
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
