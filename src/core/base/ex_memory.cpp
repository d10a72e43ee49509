#include "core/base/ex_memory.h"

#include <cstdio>
#include <cstdlib>

void* ex_malloc(size_t size) {
  void* p = std::calloc(1, size ? size : 1);
  if (!p) {
    std::fprintf(stderr, "fatal: out of memory (%zu bytes)\n", size);
    std::abort();
  }
  return p;
}
