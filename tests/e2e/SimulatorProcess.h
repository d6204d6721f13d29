#pragma once
// Starts chanset-radio-sim as a child process and reads the device path it
// prints on its first line. Shared by the end-to-end tests and the benchmark.
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

#include "tests/e2e/ChildProcess.h"

// Returns the device path, or "" when the simulator could not be started;
// `pid` receives the child's process id (or -1).
inline std::string SpawnSimulator(const std::string& program, const std::vector<std::string>& args,
                                  pid_t& pid) {
  pid = -1;
  int out[2];
  if (pipe(out) != 0) return {};
  pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    ExecProgram(program, args);
  }
  close(out[1]);
  std::string path;
  char c;
  if (pid > 0)
    while (read(out[0], &c, 1) == 1 && c != '\n') path += c;
  close(out[0]);
  return path;
}
