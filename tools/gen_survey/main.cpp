#include <cstdio>

int main(int, char**) {
  std::fputs("varnex-gen-survey: not built yet\n", stderr);
  return 1;
}
