// The parts of the platform layer that are the same on every system.
#include "core/base/platform.h"

bool platform_same_file(const std::string& a, const std::string& b) {
  PlatformFileId ia, ib;
  if (!platform_file_id(a, &ia) || !platform_file_id(b, &ib)) return false;
  return ia.volume == ib.volume && ia.index == ib.index;
}

bool platform_cpu_has_avx() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  // The processor and the system's saving of the AVX registers, also when
  // asked from another static initialiser.
  static const bool avx = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
  return avx;
#else
  return false;
#endif
}

bool platform_cpu_has_avx512f() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  static const bool avx512 = (__builtin_cpu_init(), __builtin_cpu_supports("avx512f"));
  return avx512;
#else
  return false;
#endif
}
