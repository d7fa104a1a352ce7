// SSE2 kernels: the baseline of every x86 CPU that runs the program. Built with -msse2 where the
// target's default lacks it (i686); reached only through the dispatch after a CPU check.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "recognition/core/kernels/kernel_table.hpp"
#include "recognition/core/kernels/kernel_entry.hpp"

namespace tamblin::kernels {
namespace {

struct Isa {
  using Vec = __m128i;
  using Mask = std::uint32_t;
  static constexpr std::size_t kWidth = 16;

  static Vec load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static Vec splat(std::uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
  static Vec splat32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static Vec sub(Vec a, Vec b) { return _mm_sub_epi8(a, b); }
  static Vec subSat(Vec a, Vec b) { return _mm_subs_epu8(a, b); }
  static Vec minU8(Vec a, Vec b) { return _mm_min_epu8(a, b); }
  static Vec orV(Vec a, Vec b) { return _mm_or_si128(a, b); }
  static Vec xorV(Vec a, Vec b) { return _mm_xor_si128(a, b); }
  static Vec andV(Vec a, Vec b) { return _mm_and_si128(a, b); }
  static Mask zeroBytes(Vec v) {
    return static_cast<Mask>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
  }
  static Mask zeroDwords(Vec v) {
    return static_cast<Mask>(_mm_movemask_epi8(_mm_cmpeq_epi32(v, _mm_setzero_si128())));
  }
};

}  // namespace

#include "recognition/core/kernels/simd_search.inl"

namespace {
TAMBLIN_KERNEL_ENTRY std::size_t findBytesSse2(const ByteSearchJob& job) { return findBytesVector(job); }
TAMBLIN_KERNEL_ENTRY std::uint64_t passMaskSse2(const std::uint8_t* at, std::uint8_t low, std::uint8_t span) {
  return passMaskVector(at, low, span);
}
TAMBLIN_KERNEL_ENTRY std::size_t findBytesNearSse2(const ByteSearchJob& job, std::size_t candidates) {
  return findBytesNearVector(job, candidates);
}
TAMBLIN_KERNEL_ENTRY std::size_t findPixelSse2(const PixelScanJob& job) { return findPixelVector(job); }
}  // namespace

const KernelTable kSse2Kernels = {&findBytesSse2, &passMaskSse2, &findBytesNearSse2, &findPixelSse2};

}  // namespace tamblin::kernels
