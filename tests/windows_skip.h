// Tests of what Windows has not (fork, signals, POSIX permissions, FIFOs,
// symbolic links, devices) skip there with the reason.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#define SKIP_ON_WINDOWS(why) GTEST_SKIP() << "not on Windows: " << (why)
#else
#define SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif
