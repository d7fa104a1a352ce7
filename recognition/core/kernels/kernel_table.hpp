#pragma once
// What the vector kernels work on: raw pointers and sizes only, so that the files built with wider
// instruction sets share no inline code or template with the rest of the program (a shared inline
// function compiled there could be the copy the linker keeps, and then run on a CPU without them).
#include <cstddef>
#include <cstdint>

namespace tamblin::kernels {

inline constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

// A few needle positions checked for every candidate before the whole needle is compared. They are
// the positions whose allowed byte range is rarest in the haystack, so that a flat screen area (which
// matches a first or last byte almost everywhere) does not flood the comparison. The first
// `firstLevel` probes are checked at every position; the others only for vectors of candidates that
// passed those, so that a flood of candidates costs a few more instructions each, not a comparison.
struct ProbePlan {
  static constexpr int kMaxProbes = 12;
  static constexpr int kMaxFirstLevel = 4;
  int count = 0;
  int firstLevel = 0;
  std::size_t offset[kMaxProbes] = {};  // positions in the needle, all different
  std::uint8_t low[kMaxProbes] = {};    // a byte b passes when b - low, taken modulo 256, <= span
  std::uint8_t span[kMaxProbes] = {};
};

// First offset p with from <= p <= hayLength - needleLength where every needle byte is within
// tolerance of the haystack byte, or kNoMatch. needleLength >= 1, 0 <= tolerance <= 254, and the
// probes lie inside the needle and are necessary conditions of a match.
struct ByteSearchJob {
  const std::uint8_t* hay = nullptr;
  std::size_t hayLength = 0;
  const std::uint8_t* needle = nullptr;
  std::size_t needleLength = 0;
  std::size_t from = 0;
  int tolerance = 0;
  ProbePlan probes;
};

// Pixels visited in stored order from the first one that begins at or after from. A pixel is
// bytesPerPixel bytes at offset row x stride + column x bytesPerPixel, for row < rows and column <
// width, and counts only when all its bytes lie inside length. It matches when its first three bytes
// (blue, green, red) are each within tolerance of the colour's. Result: its offset, or kNoMatch.
// Callers guarantee width x bytesPerPixel <= stride and bytesPerPixel 3 or 4.
struct PixelScanJob {
  const std::uint8_t* block = nullptr;
  std::size_t length = 0;
  std::size_t stride = 0;
  std::size_t width = 0;
  std::size_t rows = 0;
  std::size_t bytesPerPixel = 3;
  std::size_t from = 0;
  std::uint8_t blue = 0, green = 0, red = 0;
  int tolerance = 0;  // 0 to 255
};

struct KernelTable {
  std::size_t (*findBytes)(const ByteSearchJob& job);
  // Bit i set when at[i] - low, taken modulo 256, is at most span, for i from 0 to 63.
  std::uint64_t (*passMask)(const std::uint8_t* at, std::uint8_t low, std::uint8_t span);
  // The job's search limited to its first `candidates` candidates, each compared in full, without
  // probes: for a match right at the start, which is then found before any planning.
  std::size_t (*findBytesNear)(const ByteSearchJob& job, std::size_t candidates);
  std::size_t (*findPixel)(const PixelScanJob& job);
};

// Defined in files built for those instruction sets; call them only where the CPU has them.
extern const KernelTable kSse2Kernels;
extern const KernelTable kAvx2Kernels;

// Portable twins of the kernels over the same jobs, used for the scalar tails of the vector code
// and as a check of the job conventions in the tests.
std::size_t findBytesPortable(const ByteSearchJob& job);
std::size_t findPixelPortable(const PixelScanJob& job);
std::uint64_t passMaskPortable(const std::uint8_t* at, std::uint8_t low, std::uint8_t span);

// Chooses the probes of a search from samples of the haystack at and after from: how often each
// needle byte's range occurs, and which probes pass together at sampled candidates (bytes of one
// colour channel, or the fourth bytes of pixels, pass or fail together).
using PassMaskFunction = std::uint64_t (*)(const std::uint8_t* at, std::uint8_t low, std::uint8_t span);
ProbePlan planProbes(const std::uint8_t* hay, std::size_t hayLength, const std::uint8_t* needle,
                     std::size_t needleLength, std::size_t from, int tolerance,
                     PassMaskFunction passMask = &passMaskPortable);

}  // namespace tamblin::kernels
