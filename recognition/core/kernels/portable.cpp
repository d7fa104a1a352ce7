// The baseline half of the kernels: the probe plan and plain loops over the same jobs.
#include <algorithm>
#include <array>
#include <bit>
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

std::uint64_t passMaskPortable(const std::uint8_t* at, std::uint8_t low, std::uint8_t span) {
  std::uint64_t mask = 0;
  for (int i = 0; i < 64; ++i) {
    if (static_cast<std::uint8_t>(at[i] - low) <= span) mask |= std::uint64_t{1} << i;
  }
  return mask;
}

ProbePlan planProbes(const std::uint8_t* hay, std::size_t hayLength, const std::uint8_t* needle,
                     std::size_t needleLength, std::size_t from, int tolerance, PassMaskFunction passMask) {
  ProbePlan plan;
  if (needleLength == 0) return plan;
  auto addProbe = [&](std::size_t offset) {
    plan.offset[plan.count] = offset;
    plan.low[plan.count] = lowOf(needle[offset], tolerance);
    plan.span[plan.count] = static_cast<std::uint8_t>(highOf(needle[offset], tolerance) - plan.low[plan.count]);
    ++plan.count;
  };
  auto isProbe = [&](std::size_t k) {
    for (int j = 0; j < plan.count; ++j) {
      if (plan.offset[j] == k) return true;
    }
    return false;
  };
  // A needle this short is decided by its probes alone: no comparison afterwards.
  if (needleLength <= ProbePlan::kMaxFirstLevel) {
    for (std::size_t k = 0; k < needleLength; ++k) addProbe(k);
    plan.firstLevel = plan.count;
    return plan;
  }

  // How often each byte value occurs, from short runs spread evenly over the haystack (all of it
  // when small), so that a clustered colour (one window on a flat desktop) is seen in proportion.
  std::array<std::uint32_t, 256> histogram{};
  const std::size_t begin = std::min(from, hayLength);
  const std::size_t region = hayLength - begin;
  constexpr std::size_t kRuns = 32, kRunLength = 64;
  if (region <= kRuns * kRunLength * 2) {
    for (std::size_t i = begin; i < hayLength; ++i) ++histogram[hay[i]];
  } else {
    const std::size_t step = (region - kRunLength) / (kRuns - 1);
    for (std::size_t run = 0; run < kRuns; ++run) {
      const std::uint8_t* at = hay + begin + run * step;
      for (std::size_t i = 0; i < kRunLength; ++i) ++histogram[at[i]];
    }
  }
  std::array<std::uint32_t, 257> below{};  // below[v]: sampled bytes under v
  for (int v = 0; v < 256; ++v) below[v + 1] = below[v] + histogram[v];
  auto frequency = [&](std::size_t k) {
    return below[highOf(needle[k], tolerance) + 1u] - below[lowOf(needle[k], tolerance)];
  };

  // The positions worth a look: the rarest by that count, and a few spread over the needle.
  constexpr int kRarest = 24, kSpread = 8, kChoices = kRarest + kSpread;
  std::array<std::size_t, kChoices> choice{};
  std::array<std::uint32_t, kChoices> choiceFrequency{};
  int choices = 0;
  for (std::size_t k = 0; k < needleLength; ++k) {
    const std::uint32_t count = frequency(k);
    if (choices == kRarest && count >= choiceFrequency[kRarest - 1]) continue;
    int at = choices < kRarest ? choices++ : kRarest - 1;
    while (at > 0 && choiceFrequency[at - 1] > count) {
      choice[at] = choice[at - 1];
      choiceFrequency[at] = choiceFrequency[at - 1];
      --at;
    }
    choice[at] = k;
    choiceFrequency[at] = count;
  }
  for (int i = 0; i < kSpread; ++i) {
    const std::size_t k = (needleLength * static_cast<std::size_t>(2 * i + 1)) / (2 * kSpread);
    bool listed = false;
    for (int j = 0; j < choices; ++j) listed = listed || choice[j] == k;
    if (!listed) {
      choice[choices] = k;
      choiceFrequency[choices] = frequency(k);
      ++choices;
    }
  }

  // Which choices pass at sampled candidates: runs of 64 candidates spread over the search. Probes
  // are then picked one by one, each the one that leaves the fewest sampled candidates alive.
  const std::size_t last = needleLength <= hayLength ? hayLength - needleLength : 0;
  const std::size_t span = needleLength <= hayLength && from <= last ? last - from + 1 : 0;
  const std::size_t runs = std::min<std::size_t>(kRuns, span / kRunLength);
  std::array<std::array<std::uint64_t, kRuns>, kChoices> passes{};
  for (int c = 0; c < choices; ++c) {
    const std::uint8_t low = lowOf(needle[choice[c]], tolerance);
    const auto width = static_cast<std::uint8_t>(highOf(needle[choice[c]], tolerance) - low);
    for (std::size_t r = 0; r < runs; ++r) {
      const std::size_t start = from + (runs > 1 ? r * ((span - kRunLength) / (runs - 1)) : 0);
      passes[c][r] = passMask(hay + start + choice[c], low, width);
    }
  }
  std::array<std::uint64_t, kRuns> alive;
  alive.fill(~std::uint64_t{0});
  auto aliveWith = [&](int c) {
    int count = 0;
    for (std::size_t r = 0; r < runs; ++r) count += std::popcount(alive[r] & passes[c][r]);
    return count;
  };
  auto aliveNow = [&] {
    int count = 0;
    for (std::size_t r = 0; r < runs; ++r) count += std::popcount(alive[r]);
    return count;
  };
  std::array<bool, kChoices> taken{};
  auto pickBest = [&] {
    int best = -1, bestAlive = 0;
    for (int c = 0; c < choices; ++c) {
      if (taken[c]) continue;
      const int left = aliveWith(c);
      if (best < 0 || left < bestAlive || (left == bestAlive && choiceFrequency[c] < choiceFrequency[best])) {
        best = c;
        bestAlive = left;
      }
    }
    if (best >= 0) {
      taken[best] = true;
      addProbe(choice[best]);
      for (std::size_t r = 0; r < runs; ++r) alive[r] &= passes[best][r];
    }
    return best >= 0;
  };
  // The first level stops once no sampled candidate is left; the second level takes on the
  // candidates that survive it, and four more probes beyond the sample's resolution.
  while (plan.count < ProbePlan::kMaxFirstLevel && (plan.count < 2 || aliveNow() > 0) && pickBest()) {
  }
  plan.firstLevel = plan.count;
  while (plan.count < ProbePlan::kMaxProbes && aliveNow() > 0 && pickBest()) {
  }
  for (int extra = 0; extra < 4 && plan.count < ProbePlan::kMaxProbes && pickBest(); ++extra) {
  }
  if (needleLength <= static_cast<std::size_t>(ProbePlan::kMaxProbes)) {
    // Every position of a short needle can be a probe, which then decides alone.
    for (std::size_t k = 0; k < needleLength; ++k) {
      if (!isProbe(k)) addProbe(k);
    }
  }
  return plan;
}

}  // namespace tamblin::kernels
