// Which vector kernels this CPU and its operating system can run.
#include "recognition/core/kernels/cpu_features.hpp"

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#elif defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace tamblin::kernels {

namespace {

struct Registers {
  unsigned a = 0, b = 0, c = 0, d = 0;
};

#if defined(_MSC_VER) && !defined(__clang__)
bool cpuid(unsigned leaf, unsigned subleaf, Registers& out) {
  int r[4];
  __cpuid(r, 0);
  if (static_cast<unsigned>(r[0]) < leaf) return false;
  __cpuidex(r, static_cast<int>(leaf), static_cast<int>(subleaf));
  out = {static_cast<unsigned>(r[0]), static_cast<unsigned>(r[1]), static_cast<unsigned>(r[2]),
         static_cast<unsigned>(r[3])};
  return true;
}
unsigned long long enabledStateMask() { return _xgetbv(0); }
#elif defined(__i386__) || defined(__x86_64__)
bool cpuid(unsigned leaf, unsigned subleaf, Registers& out) {
  if (static_cast<unsigned>(__get_cpuid_max(0, nullptr)) < leaf) return false;
  __cpuid_count(leaf, subleaf, out.a, out.b, out.c, out.d);
  return true;
}
unsigned long long enabledStateMask() {
  unsigned low = 0, high = 0;
  // xgetbv by its encoding: the assembler needs no -mxsave for it.
  __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<unsigned long long>(high) << 32) | low;
}
#endif

CpuFeatures detect() {
  CpuFeatures features;
#if defined(_M_IX86) || defined(_M_X64) || defined(__i386__) || defined(__x86_64__)
  Registers basic;
  if (!cpuid(1, 0, basic)) return features;
  features.sse2 = (basic.d >> 26) & 1u;
  const bool osSavesVectorState = (basic.c >> 27) & 1u;  // OSXSAVE
  const bool avx = (basic.c >> 28) & 1u;
  const bool popcnt = (basic.c >> 23) & 1u;  // the AVX2 kernels are built to use it
  // AVX registers are usable only when the system saves both the SSE and the AVX state.
  if (osSavesVectorState && avx && popcnt && (enabledStateMask() & 0x6u) == 0x6u) {
    Registers extended;
    if (cpuid(7, 0, extended)) features.avx2 = (extended.b >> 5) & 1u;
  }
#endif
  return features;
}

}  // namespace

const CpuFeatures& cpuFeatures() {
  static const CpuFeatures features = detect();
  return features;
}

}  // namespace tamblin::kernels
