// AVX2 kernels, built with -mavx2 (or /arch:AVX2) for this file alone; reached only through the
// dispatch after the CPU and the operating system were seen to support them.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "recognition/core/kernels/kernel_table.hpp"
#include "recognition/core/kernels/kernel_entry.hpp"

namespace tamblin::kernels {
namespace {

struct Isa {
  using Vec = __m256i;
  using Mask = std::uint32_t;
  static constexpr std::size_t kWidth = 32;

  static Vec load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static Vec splat(std::uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static Vec splat32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static Vec sub(Vec a, Vec b) { return _mm256_sub_epi8(a, b); }
  static Vec subSat(Vec a, Vec b) { return _mm256_subs_epu8(a, b); }
  static Vec minU8(Vec a, Vec b) { return _mm256_min_epu8(a, b); }
  static Vec orV(Vec a, Vec b) { return _mm256_or_si256(a, b); }
  static Vec xorV(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
  static Vec andV(Vec a, Vec b) { return _mm256_and_si256(a, b); }
  static Mask zeroBytes(Vec v) {
    return static_cast<Mask>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_setzero_si256())));
  }
  static Mask zeroDwords(Vec v) {
    return static_cast<Mask>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(v, _mm256_setzero_si256())));
  }
};

}  // namespace

#include "recognition/core/kernels/simd_search.inl"

namespace {
TAMBLIN_KERNEL_ENTRY std::size_t findBytesAvx2(const ByteSearchJob& job) { return findBytesVector(job); }
TAMBLIN_KERNEL_ENTRY std::uint64_t passMaskAvx2(const std::uint8_t* at, std::uint8_t low, std::uint8_t span) {
  return passMaskVector(at, low, span);
}
TAMBLIN_KERNEL_ENTRY std::size_t findBytesNearAvx2(const ByteSearchJob& job, std::size_t candidates) {
  return findBytesNearVector(job, candidates);
}
TAMBLIN_KERNEL_ENTRY std::size_t findPixelAvx2(const PixelScanJob& job) { return findPixelVector(job); }
}  // namespace

const KernelTable kAvx2Kernels = {&findBytesAvx2, &passMaskAvx2, &findBytesNearAvx2, &findPixelAvx2};

}  // namespace tamblin::kernels
