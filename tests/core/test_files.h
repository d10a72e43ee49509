// File helpers the core tests share: a whole file as bytes, and the text
// form of a file object (which stands for its whole contents).
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/base/ex_file.h"
#include "core/sip/format.h"

inline std::string Slurp(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string DumpOf(CFormat& f) {
  std::unique_ptr<FILE, ExFileCloser> fp(std::tmpfile());
  f.PrintFile(fp.get());
  std::rewind(fp.get());
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), fp.get())) > 0) out.append(buf, n);
  return out;
}
