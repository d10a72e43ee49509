// Mathematics whose results are the same bits on every system the core runs
// on. The C libraries round some results differently in their last bit
// (MinGW's log10f against glibc's), and an exported table prints floats to
// their last digits: a value computed here prints the same everywhere.
#pragma once

// log10 of a float, bit for bit as the Debian build has always computed it
// (glibc's float logarithm), for every float including zeros, negative
// numbers, infinities and NaNs.
float same_log10f(float x);
