// Runs a command line and captures its standard output, standard error and
// exit code, for tests of the command-line tools.
#pragma once

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct RunResult {
  int code = -1;
  std::string out;
  std::string err;
};

inline std::string cli_slurp(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline RunResult run_cmd(const std::string& cmd) {
  static int counter = 0;
  const std::string base = "/tmp/varnex_cli_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  const std::string full = cmd + " >" + base + ".out 2>" + base + ".err";
  int status = std::system(full.c_str());
  RunResult r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = cli_slurp(base + ".out");
  r.err = cli_slurp(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return r;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }
