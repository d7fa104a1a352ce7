// The baseline half of the kernels: the probe plan and plain loops over the same jobs.
#include <algorithm>
#include <array>
#include <cmath>

#include "recognition/core/kernels/kernel_table.hpp"

namespace tamblin::kernels {

namespace {

bool withinTolerance(std::uint8_t a, std::uint8_t b, int tolerance) {
  const int d = a > b ? a - b : b - a;
  return d <= tolerance;
}

std::uint8_t lowOf(std::uint8_t value, int tolerance) { return static_cast<std::uint8_t>(std::max(0, value - tolerance)); }
std::uint8_t highOf(std::uint8_t value, int tolerance) {
  return static_cast<std::uint8_t>(std::min(255, value + tolerance));
}

}  // namespace

std::size_t findBytesPortable(const ByteSearchJob& job) {
  const std::size_t n = job.needleLength;
  if (n == 0 || n > job.hayLength || job.from > job.hayLength - n) return kNoMatch;
  for (std::size_t p = job.from; p <= job.hayLength - n; ++p) {
    std::size_t k = 0;
    while (k < n && withinTolerance(job.hay[p + k], job.needle[k], job.tolerance)) ++k;
    if (k == n) return p;
  }
  return kNoMatch;
}

std::size_t findPixelPortable(const PixelScanJob& job) {
  const std::size_t b = job.bytesPerPixel;
  if (job.stride == 0 || job.width == 0 || job.width * b > job.stride) return kNoMatch;
  std::size_t row = job.from / job.stride;
  std::size_t column = (job.from % job.stride + b - 1) / b;
  if (column >= job.width) {
    ++row;
    column = 0;
  }
  const std::size_t rows = std::min(job.rows, job.length / job.stride + 1);
  for (; row < rows; ++row, column = 0) {
    for (; column < job.width; ++column) {
      const std::size_t o = row * job.stride + column * b;
      if (o + b > job.length) return kNoMatch;  // and so is every pixel after it
      if (withinTolerance(job.block[o + 2], job.red, job.tolerance) &&
          withinTolerance(job.block[o + 1], job.green, job.tolerance) &&
          withinTolerance(job.block[o], job.blue, job.tolerance)) {
        return o;
      }
    }
  }
  return kNoMatch;
}

ProbePlan planProbes(const std::uint8_t* hay, std::size_t hayLength, const std::uint8_t* needle,
                     std::size_t needleLength, std::size_t from, int tolerance) {
  ProbePlan plan;
  if (needleLength == 0) return plan;

  auto addProbe = [&](std::size_t offset) {
    plan.offset[plan.count] = offset;
    plan.low[plan.count] = lowOf(needle[offset], tolerance);
    plan.span[plan.count] = static_cast<std::uint8_t>(highOf(needle[offset], tolerance) - plan.low[plan.count]);
    ++plan.count;
  };
  // A needle this short is decided by its probes alone: no comparison afterwards.
  if (needleLength <= ProbePlan::kMaxProbes) {
    for (std::size_t k = 0; k < needleLength; ++k) addProbe(k);
    return plan;
  }

  // A sample of the haystack: all of it when small, otherwise short runs spread evenly over it, so
  // that a clustered colour (one window on a flat desktop) is seen in proportion.
  std::array<std::uint32_t, 256> histogram{};
  std::size_t sampled = 0;
  const std::size_t begin = std::min(from, hayLength);
  const std::size_t region = hayLength - begin;
  constexpr std::size_t kRuns = 64, kRunLength = 64;
  if (region <= kRuns * kRunLength * 2) {
    for (std::size_t i = begin; i < hayLength; ++i) ++histogram[hay[i]];
    sampled = region;
  } else {
    const std::size_t step = (region - kRunLength) / (kRuns - 1);
    for (std::size_t run = 0; run < kRuns; ++run) {
      const std::uint8_t* at = hay + begin + run * step;
      for (std::size_t i = 0; i < kRunLength; ++i) ++histogram[at[i]];
    }
    sampled = kRuns * kRunLength;
  }
  std::array<std::uint32_t, 257> below{};  // below[v]: sampled bytes under v
  for (int v = 0; v < 256; ++v) below[v + 1] = below[v] + histogram[v];
  auto passing = [&](std::size_t k) {
    return below[highOf(needle[k], tolerance) + 1u] - below[lowOf(needle[k], tolerance)];
  };

  // The rarest positions, a short list kept sorted by how many sampled bytes would pass them.
  constexpr int kShortList = 16;
  std::array<std::size_t, kShortList> best{};
  std::array<std::uint32_t, kShortList> bestCount{};
  int listed = 0;
  for (std::size_t k = 0; k < needleLength; ++k) {
    const std::uint32_t count = passing(k);
    if (listed == kShortList && count >= bestCount[kShortList - 1]) continue;
    int at = listed < kShortList ? listed++ : kShortList - 1;
    while (at > 0 && bestCount[at - 1] > count) {
      best[at] = best[at - 1];
      bestCount[at] = bestCount[at - 1];
      --at;
    }
    best[at] = k;
    bestCount[at] = count;
  }

  // Neighbouring bytes of a picture go together (the three bytes of a grey pixel are alike), so
  // probes a pixel apart tell more than three probes into one pixel.
  std::array<bool, kShortList> taken{};
  auto farFromTaken = [&](std::size_t k) {
    for (int j = 0; j < plan.count; ++j) {
      const std::size_t other = plan.offset[j];
      if ((k > other ? k - other : other - k) < 3) return false;
    }
    return true;
  };
  // Probes are added until the chance that a random position passes them all is small enough that
  // the comparisons after them cost little; each probe costs a few instructions per position.
  double chance = 1.0;
  const double floorChance = 0.5 / static_cast<double>(sampled);
  auto enough = [&] { return plan.count >= 2 && chance < 1.0 / 65536; };
  for (int pass = 0; pass < 2 && !enough(); ++pass) {
    for (int i = 0; i < listed && plan.count < ProbePlan::kMaxProbes && !enough(); ++i) {
      if (taken[i] || (pass == 0 && !farFromTaken(best[i]))) continue;
      taken[i] = true;
      addProbe(best[i]);
      chance *= std::max(floorChance, bestCount[i] / static_cast<double>(sampled));
    }
  }
  return plan;
}

}  // namespace tamblin::kernels
