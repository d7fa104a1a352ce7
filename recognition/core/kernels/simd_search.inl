// Vector search loops, written once over an instruction-set type `Isa` that the including file
// defines. Everything here sits in that file's anonymous namespace: the copies built for SSE2 and
// for AVX2 never meet at link time. No standard-library templates are used here for that reason.
//
// Isa provides: Vec, kWidth (bytes per vector), Mask (an unsigned integer of kWidth bits), and
// load, splat, sub, subSat, orV, xorV, andV, zeroBytes (one bit per zero byte), zeroDwords (four
// bits per zero 32-bit lane).

namespace {

using Vec = Isa::Vec;
using Mask = Isa::Mask;
constexpr std::size_t kW = Isa::kWidth;

inline int lowestBit(std::uint64_t mask) {
#if defined(_MSC_VER) && !defined(__clang__)
  unsigned long index;
#if defined(_M_X64)
  _BitScanForward64(&index, mask);
#else
  if (static_cast<std::uint32_t>(mask) != 0) {
    _BitScanForward(&index, static_cast<std::uint32_t>(mask));
  } else {
    _BitScanForward(&index, static_cast<std::uint32_t>(mask >> 32));
    index += 32;
  }
#endif
  return static_cast<int>(index);
#else
  return __builtin_ctzll(mask);
#endif
}

inline int popCount(std::uint64_t mask) {
#if defined(_MSC_VER) && !defined(__clang__)
  int count = 0;
  for (; mask != 0; mask &= mask - 1) ++count;
  return count;
#else
  return __builtin_popcountll(mask);
#endif
}

inline std::size_t gcd(std::size_t a, std::size_t b) {
  while (b != 0) {
    const std::size_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// From this many candidates in one vector on, they are compared together.
constexpr int kCrowd = 2;

constexpr Mask kAllBytes = static_cast<Mask>((std::uint64_t{1} << kW) - 1);

// ---------------------------------------------------------------------------------------------
// Byte search

inline std::uint8_t lowByte(std::uint8_t value, int tolerance) {
  return static_cast<std::uint8_t>(value > tolerance ? value - tolerance : 0);
}
inline std::uint8_t spanByte(std::uint8_t value, int tolerance) {
  const int high = value + tolerance > 255 ? 255 : value + tolerance;
  return static_cast<std::uint8_t>(high - lowByte(value, tolerance));
}


struct Probes {
  const std::uint8_t* at[ProbePlan::kMaxProbes];  // haystack shifted by each probe's offset
  Vec low[ProbePlan::kMaxProbes];
  Vec span[ProbePlan::kMaxProbes];
  int count;
  int firstLevel;
};

// Bytes that fail a probe come out non-zero. With Exact the span is 0 and the test is equality.
template <bool Exact>
inline Vec probeMiss(const Probes& probes, int j, std::size_t p) {
  const Vec bytes = Isa::load(probes.at[j] + p);
  if (Exact) return Isa::xorV(bytes, probes.low[j]);
  return Isa::subSat(Isa::sub(bytes, probes.low[j]), probes.span[j]);
}

// One bit per candidate p .. p + kW - 1 that passes the first K probes.
template <bool Exact, int K>
inline Mask candidates(const Probes& probes, std::size_t p) {
  Vec miss = probeMiss<Exact>(probes, 0, p);
  if (K > 1) miss = Isa::orV(miss, probeMiss<Exact>(probes, 1, p));
  if (K > 2) miss = Isa::orV(miss, probeMiss<Exact>(probes, 2, p));
  if (K > 3) miss = Isa::orV(miss, probeMiss<Exact>(probes, 3, p));
  return Isa::zeroBytes(miss);
}

// Those of the candidates p .. p + kW - 1 in mask that also pass the second-level probes.
template <bool Exact>
inline Mask secondLevel(const Probes& probes, std::size_t p, Mask mask) {
  for (int j = probes.firstLevel; j < probes.count && mask != 0; ++j) {
    mask &= Isa::zeroBytes(probeMiss<Exact>(probes, j, p));
  }
  return mask;
}

// Index of the first needle byte that is not within tolerance of the haystack's, or n.
template <bool Exact>
inline std::size_t firstMismatch(const std::uint8_t* hay, const std::uint8_t* needle, std::size_t n,
                                 const Vec& tolerance, int toleranceValue) {
  auto matching = [&](std::size_t i) {
    const Vec a = Isa::load(hay + i);
    const Vec b = Isa::load(needle + i);
    if (Exact) return Isa::zeroBytes(Isa::xorV(a, b));
    return Isa::zeroBytes(Isa::subSat(Isa::orV(Isa::subSat(a, b), Isa::subSat(b, a)), tolerance));
  };
  if (n < kW) {
    for (std::size_t i = 0; i < n; ++i) {
      const int d = hay[i] > needle[i] ? hay[i] - needle[i] : needle[i] - hay[i];
      if (d > toleranceValue) return i;
    }
    return n;
  }
  std::size_t i = 0;
  for (; i + kW <= n; i += kW) {
    const Mask fine = matching(i);
    if (fine != kAllBytes) return i + static_cast<std::size_t>(lowestBit(~fine & kAllBytes));
  }
  if (i == n) return n;
  // The last vector overlaps bytes already found matching, so its first miss lies past them.
  const Mask fine = matching(n - kW);
  return fine == kAllBytes ? n : n - kW + static_cast<std::size_t>(lowestBit(~fine & kAllBytes));
}

// The probes' verdict and what to do next. When many candidates pass the probes and then fail the
// comparison (a repeating pattern with a slip, where every single byte is common), the needle byte
// at which most of them failed becomes a probe and the scan goes on from where it was.
struct ScanOutcome {
  std::size_t hit = kNoMatch;
  bool replan = false;
  std::size_t resumeAt = 0;
  std::size_t newProbe = 0;
};

// Where recent comparisons failed: a few positions with their counts.
struct MissTally {
  static constexpr int kSlots = 8;
  std::size_t position[kSlots];
  std::size_t count[kSlots] = {};
  void add(std::size_t miss, std::size_t times = 1) {
    int weakest = 0;
    for (int i = 0; i < kSlots; ++i) {
      if (count[i] != 0 && position[i] == miss) {
        count[i] += times;
        return;
      }
      if (count[i] < count[weakest]) weakest = i;
    }
    position[weakest] = miss;
    count[weakest] = times;
  }
  std::size_t commonest() const {
    int best = 0;
    for (int i = 1; i < kSlots; ++i) {
      if (count[i] > count[best]) best = i;
    }
    return position[best];
  }
};

// Candidates p .. p + kW - 1 in mask compared all at once, needle byte by needle byte, until none
// is left or the needle ends: the survivors match. Where many candidates crowd one vector (an area
// much like the needle) this is cheaper than comparing them one by one. Each needle byte that
// removes candidates is noted in the tally, with how many.
template <bool Exact>
inline Mask compareTogether(const ByteSearchJob& job, std::size_t p, Mask mask, const Vec& tolerance,
                            std::size_t stride, MissTally& misses, std::size_t& failures) {
  const std::uint8_t* at = job.hay + p;
  const std::size_t n = job.needleLength;
  for (std::size_t i = 0, k = 0; i < n; ++i, k = k + stride < n ? k + stride : k + stride - n) {
    const Vec bytes = Isa::load(at + k);
    const Vec wanted = Isa::splat(job.needle[k]);
    const Vec miss = Exact ? Isa::xorV(bytes, wanted)
                           : Isa::subSat(Isa::orV(Isa::subSat(bytes, wanted), Isa::subSat(wanted, bytes)), tolerance);
    const Mask left = mask & Isa::zeroBytes(miss);
    if (left != mask) {
      const auto removed = static_cast<std::size_t>(popCount(mask & ~left));
      failures += removed;
      misses.add(k, removed);
      mask = left;
      if (mask == 0) return 0;
    }
  }
  return mask;
}

template <bool Exact, int K>
ScanOutcome findBytesWith(const ByteSearchJob& job, bool mayReplan) {
  const std::size_t n = job.needleLength;
  const std::size_t last = job.hayLength - n;  // the caller checked n <= hayLength and from <= last
  Probes probes;
  probes.count = job.probes.count;
  probes.firstLevel = K;
  for (int j = 0; j < probes.count; ++j) {
    probes.at[j] = job.hay + job.probes.offset[j];
    probes.low[j] = Isa::splat(job.probes.low[j]);
    probes.span[j] = Isa::splat(job.probes.span[j]);
  }
  const bool probesDecide = static_cast<std::size_t>(job.probes.count) == n;
  const Vec tolerance = Isa::splat(static_cast<std::uint8_t>(job.tolerance));
  // Crowded candidates are compared in a stride through the needle: neighbouring bytes of a picture
  // agree or disagree together, bytes far apart less so. The stride shares no factor with n, so
  // every byte comes once.
  std::size_t stride = n / 5 | 1;
  while (gcd(stride, n) != 1) stride += 2;
  ScanOutcome outcome;
  std::size_t failures = 0;
  MissTally misses;
  // Candidates p .. p + kW - 1 that passed the first level; true when the scan should stop: a
  // hit, or enough wasted comparisons to change the probes.
  auto judge = [&](std::size_t p, Mask mask) {
    mask = secondLevel<Exact>(probes, p, mask);
    if (!probesDecide && popCount(mask) >= kCrowd) {
      // The first candidate alone first: a match there needs no pass over the whole needle.
      const std::size_t first = p + static_cast<std::size_t>(lowestBit(mask));
      if (firstMismatch<Exact>(job.hay + first, job.needle, n, tolerance, job.tolerance) == n) {
        outcome.hit = first;
        return true;
      }
      mask = compareTogether<Exact>(job, p, mask & (mask - 1), tolerance, stride, misses, failures);
      if (mask != 0) {
        outcome.hit = p + static_cast<std::size_t>(lowestBit(mask));
        return true;
      }
      if (mayReplan && failures >= 32 && failures * 256 > p - job.from) {
        outcome.replan = true;
        outcome.resumeAt = p + kW;
        outcome.newProbe = misses.commonest();
        return true;
      }
      return false;
    }
    while (mask != 0) {
      const std::size_t candidate = p + static_cast<std::size_t>(lowestBit(mask));
      mask &= mask - 1;
      if (probesDecide) {
        outcome.hit = candidate;
        return true;
      }
      const std::size_t miss = firstMismatch<Exact>(job.hay + candidate, job.needle, n, tolerance, job.tolerance);
      if (miss == n) {
        outcome.hit = candidate;
        return true;
      }
      ++failures;
      misses.add(miss);
      // More than one wasted comparison per 256 positions.
      if (mayReplan && failures >= 32 && failures * 256 > candidate - job.from) {
        outcome.replan = true;
        outcome.resumeAt = candidate + 1;
        outcome.newProbe = misses.commonest();
        return true;
      }
    }
    return false;
  };

  // A vector of candidates p .. p + kW - 1 reads haystack bytes up to p + kW - 1 + (n - 1), which
  // stays inside the haystack while p + kW - 1 <= last.
  std::size_t p = job.from;
  while (p <= last && last - p >= 2 * kW - 1) {
    const Mask m0 = candidates<Exact, K>(probes, p);
    const Mask m1 = candidates<Exact, K>(probes, p + kW);
    if ((m0 | m1) != 0) {
      if (m0 != 0 && judge(p, m0)) return outcome;
      if (m1 != 0 && judge(p + kW, m1)) return outcome;
    }
    p += 2 * kW;
  }
  while (p <= last && last - p >= kW - 1) {
    const Mask mask = candidates<Exact, K>(probes, p);
    if (mask != 0 && judge(p, mask)) return outcome;
    p += kW;
  }
  if (p > last) return outcome;
  // Fewer than kW candidates left: one more vector that ends at the last candidate, overlapping
  // candidates already rejected, when the search range is that long.
  if (last + 1 - job.from >= kW) {
    const std::size_t q = last + 1 - kW;
    const Mask mask = static_cast<Mask>(candidates<Exact, K>(probes, q) & (kAllBytes << (p - q)));
    if (mask != 0) judge(q, mask);
    return outcome;
  }
  for (; p <= last; ++p) {
    if (firstMismatch<Exact>(job.hay + p, job.needle, n, tolerance, job.tolerance) == n) {
      outcome.hit = p;
      return outcome;
    }
  }
  return outcome;
}

template <bool Exact>
ScanOutcome findBytesExactness(const ByteSearchJob& job, bool mayReplan) {
  switch (job.probes.firstLevel) {
    case 1: return findBytesWith<Exact, 1>(job, mayReplan);
    case 2: return findBytesWith<Exact, 2>(job, mayReplan);
    case 3: return findBytesWith<Exact, 3>(job, mayReplan);
    default: return findBytesWith<Exact, 4>(job, mayReplan);
  }
}

bool planIsSound(const ByteSearchJob& job) {
  const ProbePlan& plan = job.probes;
  if (plan.firstLevel < 1 || plan.firstLevel > ProbePlan::kMaxFirstLevel) return false;
  if (plan.count < plan.firstLevel || plan.count > ProbePlan::kMaxProbes) return false;
  for (int j = 0; j < plan.count; ++j) {
    if (plan.offset[j] >= job.needleLength) return false;
  }
  return true;
}

std::size_t findBytesVector(const ByteSearchJob& original) {
  const std::size_t n = original.needleLength;
  if (n == 0 || n > original.hayLength || original.from > original.hayLength - n) return kNoMatch;
  if (!planIsSound(original)) return findBytesPortable(original);
  ByteSearchJob job = original;
  constexpr int kMostReplans = 16;  // then the probes stay as they are, whatever the misses
  for (int replans = 0;; ++replans) {
    const bool mayReplan = replans < kMostReplans;
    const ScanOutcome outcome =
        job.tolerance == 0 ? findBytesExactness<true>(job, mayReplan) : findBytesExactness<false>(job, mayReplan);
    if (!outcome.replan) return outcome.hit;
    // The new probe joins the second level, or takes the place of one there (a different one
    // each time, so that the probes learnt before mostly stay).
    ProbePlan& plan = job.probes;
    const int secondLevelSlots = ProbePlan::kMaxProbes - plan.firstLevel;
    const int slot = plan.count < ProbePlan::kMaxProbes ? plan.count++ : plan.firstLevel + replans % secondLevelSlots;
    const std::uint8_t value = job.needle[outcome.newProbe];
    plan.offset[slot] = outcome.newProbe;
    plan.low[slot] = lowByte(value, job.tolerance);
    plan.span[slot] = spanByte(value, job.tolerance);
    job.from = outcome.resumeAt;
    if (job.from > job.hayLength - n) return kNoMatch;
  }
}

std::uint64_t passMaskVector(const std::uint8_t* at, std::uint8_t low, std::uint8_t span) {
  const Vec lowV = Isa::splat(low), spanV = Isa::splat(span);
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < 64; i += kW) {
    const Vec miss = Isa::subSat(Isa::sub(Isa::load(at + i), lowV), spanV);
    mask |= static_cast<std::uint64_t>(Isa::zeroBytes(miss)) << i;
  }
  return mask;
}

std::size_t findBytesNearVector(const ByteSearchJob& job, std::size_t count) {
  const std::size_t n = job.needleLength;
  if (n == 0 || count == 0 || n > job.hayLength || job.from > job.hayLength - n) return kNoMatch;
  const Vec tolerance = Isa::splat(static_cast<std::uint8_t>(job.tolerance));
  const std::size_t last = job.hayLength - n;
  for (std::size_t p = job.from; p <= last && p - job.from < 4 && p - job.from < count; ++p) {
    const bool found = job.tolerance == 0
                           ? firstMismatch<true>(job.hay + p, job.needle, n, tolerance, 0) == n
                           : firstMismatch<false>(job.hay + p, job.needle, n, tolerance, job.tolerance) == n;
    if (found) return p;
  }
  // Then the needle's first and last bytes as the only probes: no planning, which would cost more
  // than these few candidates.
  ByteSearchJob near = job;
  if (job.hayLength - n - job.from >= count) near.hayLength = job.from + count - 1 + n;
  ProbePlan& plan = near.probes;
  plan.count = n == 1 ? 1 : 2;
  plan.firstLevel = plan.count;
  const std::size_t ends[2] = {0, n - 1};
  for (int j = 0; j < plan.count; ++j) {
    plan.offset[j] = ends[j];
    plan.low[j] = lowByte(job.needle[ends[j]], job.tolerance);
    plan.span[j] = spanByte(job.needle[ends[j]], job.tolerance);
  }
  return (job.tolerance == 0 ? findBytesExactness<true>(near, false) : findBytesExactness<false>(near, false)).hit;
}

// ---------------------------------------------------------------------------------------------
// Pixel scan

inline bool pixelMatches(const PixelScanJob& job, const std::uint8_t* px) {
  const int t = job.tolerance;
  const int db = px[0] - job.blue, dg = px[1] - job.green, dr = px[2] - job.red;
  return dr <= t && -dr <= t && dg <= t && -dg <= t && db <= t && -db <= t;
}

// The first kEarlyPixels pixels from o (each b bytes on, all of them before end and wholly inside
// the block), one by one. Their match; kNoMatch - 1 when the pixels ran out before; kNoMatch when
// none of them matched.
constexpr int kEarlyPixels = 32;
inline std::size_t firstPixels(const PixelScanJob& job, std::size_t o, std::size_t end, std::size_t b) {
  for (int i = 0; i < kEarlyPixels; ++i, o += b) {
    if (o >= end || o + b > job.length) return kNoMatch - 1;
    if (pixelMatches(job, job.block + o)) return o;
  }
  return kNoMatch;
}

// Four bytes per pixel: rows are 4 x width bytes without padding, so the pixels from a row on form
// one run, and every fourth byte of it begins a pixel.
template <bool Exact>
std::size_t findPixel4(const PixelScanJob& job) {
  std::size_t o = (job.from + 3) & ~std::size_t{3};
  std::size_t end = job.rows * job.stride;  // rows x stride fits: the caller derived it from the block
  const std::size_t whole = job.length & ~std::size_t{3};
  if (end > whole) end = whole;
  if (o >= end) return kNoMatch;

  // A match among the first few pixels is found before the vectors are set up.
  const std::size_t early = firstPixels(job, o, end, 4);
  if (early != kNoMatch) return early == kNoMatch - 1 ? kNoMatch : early;
  o += 4 * kEarlyPixels;

  auto packed = [](std::uint32_t blue, std::uint32_t green, std::uint32_t red, std::uint32_t fourth) {
    return blue | green << 8 | red << 16 | fourth << 24;
  };
  const int t = job.tolerance;
  const Vec low = Exact ? Isa::splat32(packed(job.blue, job.green, job.red, 0))
                        : Isa::splat32(packed(lowByte(job.blue, t), lowByte(job.green, t), lowByte(job.red, t), 0));
  const Vec span = Exact ? Isa::splat32(0)
                         : Isa::splat32(packed(spanByte(job.blue, t), spanByte(job.green, t), spanByte(job.red, t), 255));
  const Vec care = Isa::splat32(0x00FFFFFFu);
  auto misses = [&](std::size_t at) {
    const Vec bytes = Isa::load(job.block + at);
    return Exact ? Isa::andV(Isa::xorV(bytes, low), care) : Isa::subSat(Isa::sub(bytes, low), span);
  };

  for (; o + 4 * kW <= end; o += 4 * kW) {
    const Vec m0 = misses(o), m1 = misses(o + kW), m2 = misses(o + 2 * kW), m3 = misses(o + 3 * kW);
    // A zero lane in some vector leaves a zero lane in their minimum; the converse may fail, so
    // the vectors are checked one by one after it.
    const Vec least = Isa::minU8(Isa::minU8(m0, m1), Isa::minU8(m2, m3));
    if (Isa::zeroDwords(least) == 0) continue;
    const Vec parts[4] = {m0, m1, m2, m3};
    for (std::size_t v = 0; v < 4; ++v) {
      const Mask hits = Isa::zeroDwords(parts[v]);
      if (hits != 0) return o + v * kW + static_cast<std::size_t>(lowestBit(hits));
    }
  }
  for (; o + kW <= end; o += kW) {
    const Mask hits = Isa::zeroDwords(misses(o));
    if (hits != 0) return o + static_cast<std::size_t>(lowestBit(hits));
  }
  for (; o < end; o += 4) {
    const std::uint8_t* px = job.block + o;
    const int db = px[0] - job.blue, dg = px[1] - job.green, dr = px[2] - job.red;
    const int t = job.tolerance;
    if (dr <= t && -dr <= t && dg <= t && -dg <= t && db <= t && -db <= t) return o;
  }
  return kNoMatch;
}

// Three bytes per pixel: a vector is loaded at a pixel's start and judged on its first
// kPixels pixels, then the scan moves on by that many pixels.
constexpr std::size_t kPixels = kW / 3;
constexpr std::uint64_t pixelStartBits() {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < kPixels; ++i) bits |= std::uint64_t{1} << (3 * i);
  return bits;
}

template <bool Exact>
struct Pixel3Scanner {
  const std::uint8_t* block;
  std::size_t length;
  Vec low, span;
  std::uint8_t blue, green, red;
  int tolerance;

  std::uint64_t hits(std::size_t at) const {
    const Vec bytes = Isa::load(block + at);
    const Vec miss = Exact ? Isa::xorV(bytes, low) : Isa::subSat(Isa::sub(bytes, low), span);
    const std::uint64_t fine = Isa::zeroBytes(miss);
    return fine & (fine >> 1) & (fine >> 2) & pixelStartBits();
  }

  // Pixels beginning at o, o + 3, ... below end (all inside the block). Offset of the first match.
  std::size_t run(std::size_t o, std::size_t end) const {
    constexpr std::size_t step = 3 * kPixels;
    // Loads read kW bytes from o; the block must hold them even past the run's end.
    while (o + step < end && o + step + kW <= length) {
      const std::uint64_t both = hits(o) | (hits(o + step) << step);
      if (both != 0) {
        const std::size_t hit = o + static_cast<std::size_t>(lowestBit(both));
        return hit < end ? hit : kNoMatch;
      }
      o += 2 * step;
    }
    while (o < end && o + kW <= length) {
      const std::uint64_t found = hits(o);
      if (found != 0) {
        const std::size_t hit = o + static_cast<std::size_t>(lowestBit(found));
        return hit < end ? hit : kNoMatch;
      }
      o += step;
    }
    for (; o < end; o += 3) {
      const std::uint8_t* px = block + o;
      const int db = px[0] - blue, dg = px[1] - green, dr = px[2] - red;
      if (dr <= tolerance && -dr <= tolerance && dg <= tolerance && -dg <= tolerance && db <= tolerance &&
          -db <= tolerance) {
        return o;
      }
    }
    return kNoMatch;
  }
};

template <bool Exact>
std::size_t findPixel3(const PixelScanJob& job) {
  const std::size_t rowBytes = job.width * 3;
  std::size_t row = job.from / job.stride;
  std::size_t column = (job.from % job.stride + 2) / 3;
  if (column >= job.width) {
    ++row;
    column = 0;
  }
  if (row >= job.rows) return kNoMatch;

  {
    // A match among the first few pixels is found before the vectors are set up.
    const std::size_t start = row * job.stride + column * 3;
    // (When the row ends within them, the scan below looks at them again.)
    const std::size_t early = firstPixels(job, start, row * job.stride + rowBytes, 3);
    if (early < kNoMatch - 1) return early;
  }

  alignas(32) std::uint8_t lowBytes[kW], spanBytes[kW];
  const std::uint8_t lows[3] = {lowByte(job.blue, job.tolerance), lowByte(job.green, job.tolerance),
                                lowByte(job.red, job.tolerance)};
  const std::uint8_t spans[3] = {spanByte(job.blue, job.tolerance), spanByte(job.green, job.tolerance),
                                 spanByte(job.red, job.tolerance)};
  for (std::size_t i = 0, c = 0; i < kW; ++i, c = c == 2 ? 0 : c + 1) {
    lowBytes[i] = lows[c];
    spanBytes[i] = spans[c];
  }
  const Pixel3Scanner<Exact> scanner{job.block, job.length,  Isa::load(lowBytes), Isa::load(spanBytes),
                                     job.blue,  job.green,   job.red,             job.tolerance};

  // A pixel counts only when its three bytes are inside the block.
  auto clampEnd = [&](std::size_t start, std::size_t end) {
    if (job.length < start + 3) return start;
    const std::size_t limit = start + (job.length - start) / 3 * 3;
    return end < limit ? end : limit;
  };
  if (job.stride == rowBytes) {
    // No row padding: the rows from here on are one run of pixels.
    const std::size_t start = row * job.stride + column * 3;
    return scanner.run(start, clampEnd(start, job.rows * job.stride));
  }
  for (; row < job.rows; ++row, column = 0) {
    const std::size_t start = row * job.stride + column * 3;
    const std::size_t end = clampEnd(start, row * job.stride + rowBytes);
    if (end <= start) return kNoMatch;
    const std::size_t hit = scanner.run(start, end);
    if (hit != kNoMatch) return hit;
  }
  return kNoMatch;
}

std::size_t findPixelVector(const PixelScanJob& original) {
  if (original.stride == 0 || original.width == 0 || original.rows == 0) return kNoMatch;
  if (original.width * original.bytesPerPixel > original.stride) return kNoMatch;
  // Rows wholly past the block hold no pixel; dropping them keeps rows x stride inside size_t.
  PixelScanJob job = original;
  const std::size_t rowsInBlock = job.length / job.stride + 1;
  if (job.rows > rowsInBlock) job.rows = rowsInBlock;
  const bool exact = job.tolerance == 0;
  if (job.bytesPerPixel == 4) {
    if (job.stride != 4 * job.width) return findPixelPortable(job);
    return exact ? findPixel4<true>(job) : findPixel4<false>(job);
  }
  return exact ? findPixel3<true>(job) : findPixel3<false>(job);
}

}  // namespace
