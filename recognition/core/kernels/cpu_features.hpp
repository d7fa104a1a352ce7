#pragma once

namespace tamblin::kernels {

struct CpuFeatures {
  bool sse2 = false;
  bool avx2 = false;  // with POPCNT, and the operating system keeps the AVX registers across task switches
};

// Found on the first call, then remembered.
const CpuFeatures& cpuFeatures();

}  // namespace tamblin::kernels
