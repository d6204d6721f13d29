#pragma once
// The last step of a forked child in the end-to-end tests and benchmarks:
// replace it with another program.
#include <string>
#include <unistd.h>
#include <vector>

// Runs `program` with `args` in place of this process; exits 127 when it
// cannot be started.
[[noreturn]] inline void ExecProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}
