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

constexpr Mask kAllBytes = static_cast<Mask>((std::uint64_t{1} << kW) - 1);

// ---------------------------------------------------------------------------------------------
// Byte search

struct Probes {
  const std::uint8_t* at[ProbePlan::kMaxProbes];  // haystack shifted by each probe's offset
  Vec low[ProbePlan::kMaxProbes];
  Vec span[ProbePlan::kMaxProbes];
};

// Bytes that fail a probe come out non-zero. With Exact the span is 0 and the test is equality.
template <bool Exact>
inline Vec probeMiss(const Probes& probes, int j, std::size_t p) {
  const Vec bytes = Isa::load(probes.at[j] + p);
  if (Exact) return Isa::xorV(bytes, probes.low[j]);
  return Isa::subSat(Isa::sub(bytes, probes.low[j]), probes.span[j]);
}

// One bit per candidate p .. p + kW - 1 that passes every probe.
template <bool Exact, int K>
inline Mask candidates(const Probes& probes, std::size_t p) {
  Vec miss = probeMiss<Exact>(probes, 0, p);
  if (K > 1) miss = Isa::orV(miss, probeMiss<Exact>(probes, 1, p));
  if (K > 2) miss = Isa::orV(miss, probeMiss<Exact>(probes, 2, p));
  if (K > 3) miss = Isa::orV(miss, probeMiss<Exact>(probes, 3, p));
  return Isa::zeroBytes(miss);
}

template <bool Exact>
inline bool bytesMatch(const std::uint8_t* hay, const std::uint8_t* needle, std::size_t n, const Vec& tolerance,
                       int toleranceValue) {
  auto vectorMatches = [&](std::size_t i) {
    const Vec a = Isa::load(hay + i);
    const Vec b = Isa::load(needle + i);
    Vec miss;
    if (Exact) {
      miss = Isa::xorV(a, b);
    } else {
      miss = Isa::subSat(Isa::orV(Isa::subSat(a, b), Isa::subSat(b, a)), tolerance);
    }
    return Isa::zeroBytes(miss) == kAllBytes;
  };
  if (n < kW) {
    for (std::size_t i = 0; i < n; ++i) {
      const int d = hay[i] > needle[i] ? hay[i] - needle[i] : needle[i] - hay[i];
      if (d > toleranceValue) return false;
    }
    return true;
  }
  std::size_t i = 0;
  for (; i + kW <= n; i += kW) {
    if (!vectorMatches(i)) return false;
  }
  return i == n || vectorMatches(n - kW);
}

template <bool Exact, int K>
std::size_t findBytesWith(const ByteSearchJob& job) {
  const std::size_t n = job.needleLength;
  const std::size_t last = job.hayLength - n;  // the caller checked n <= hayLength and from <= last
  Probes probes;
  for (int j = 0; j < K; ++j) {
    probes.at[j] = job.hay + job.probes.offset[j];
    probes.low[j] = Isa::splat(job.probes.low[j]);
    probes.span[j] = Isa::splat(job.probes.span[j]);
  }
  const bool probesDecide = static_cast<std::size_t>(job.probes.count) == n;
  const Vec tolerance = Isa::splat(static_cast<std::uint8_t>(job.tolerance));
  auto confirm = [&](std::size_t p) {
    return probesDecide || bytesMatch<Exact>(job.hay + p, job.needle, n, tolerance, job.tolerance);
  };

  // A vector of candidates p .. p + kW - 1 reads haystack bytes up to p + kW - 1 + (n - 1), which
  // stays inside the haystack while p + kW - 1 <= last.
  std::size_t p = job.from;
  while (p <= last && last - p >= 2 * kW - 1) {
    std::uint64_t mask = candidates<Exact, K>(probes, p) |
                         (static_cast<std::uint64_t>(candidates<Exact, K>(probes, p + kW)) << kW);
    while (mask != 0) {
      const std::size_t hit = p + static_cast<std::size_t>(lowestBit(mask));
      if (confirm(hit)) return hit;
      mask &= mask - 1;
    }
    p += 2 * kW;
  }
  while (p <= last && last - p >= kW - 1) {
    std::uint64_t mask = candidates<Exact, K>(probes, p);
    while (mask != 0) {
      const std::size_t hit = p + static_cast<std::size_t>(lowestBit(mask));
      if (confirm(hit)) return hit;
      mask &= mask - 1;
    }
    p += kW;
  }
  if (p > last) return kNoMatch;
  // Fewer than kW candidates left: one more vector that ends at the last candidate, overlapping
  // candidates already rejected, when the search range is that long.
  if (last + 1 - job.from >= kW) {
    const std::size_t q = last + 1 - kW;
    std::uint64_t mask = candidates<Exact, K>(probes, q);
    mask &= ~std::uint64_t{0} << (p - q);
    while (mask != 0) {
      const std::size_t hit = q + static_cast<std::size_t>(lowestBit(mask));
      if (confirm(hit)) return hit;
      mask &= mask - 1;
    }
    return kNoMatch;
  }
  for (; p <= last; ++p) {
    if (bytesMatch<Exact>(job.hay + p, job.needle, n, tolerance, job.tolerance)) return p;
  }
  return kNoMatch;
}

template <bool Exact>
std::size_t findBytesExactness(const ByteSearchJob& job) {
  switch (job.probes.count) {
    case 1: return findBytesWith<Exact, 1>(job);
    case 2: return findBytesWith<Exact, 2>(job);
    case 3: return findBytesWith<Exact, 3>(job);
    default: return findBytesWith<Exact, 4>(job);
  }
}

std::size_t findBytesVector(const ByteSearchJob& job) {
  const std::size_t n = job.needleLength;
  if (n == 0 || n > job.hayLength || job.from > job.hayLength - n) return kNoMatch;
  if (job.probes.count < 1 || job.probes.count > ProbePlan::kMaxProbes) return findBytesPortable(job);
  return job.tolerance == 0 ? findBytesExactness<true>(job) : findBytesExactness<false>(job);
}

// ---------------------------------------------------------------------------------------------
// Pixel scan

inline std::uint8_t lowByte(std::uint8_t value, int tolerance) {
  return static_cast<std::uint8_t>(value > tolerance ? value - tolerance : 0);
}
inline std::uint8_t spanByte(std::uint8_t value, int tolerance) {
  const int high = value + tolerance > 255 ? 255 : value + tolerance;
  return static_cast<std::uint8_t>(high - lowByte(value, tolerance));
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

  alignas(32) std::uint8_t lowBytes[kW], spanBytes[kW];
  for (std::size_t i = 0; i < kW; i += 4) {
    const std::uint8_t colour[3] = {job.blue, job.green, job.red};
    for (int c = 0; c < 3; ++c) {
      lowBytes[i + c] = Exact ? colour[c] : lowByte(colour[c], job.tolerance);
      spanBytes[i + c] = Exact ? 0 : spanByte(colour[c], job.tolerance);
    }
    lowBytes[i + 3] = 0;
    spanBytes[i + 3] = 255;
  }
  const Vec low = Isa::load(lowBytes);
  const Vec span = Isa::load(spanBytes);
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

  alignas(32) std::uint8_t lowBytes[kW], spanBytes[kW];
  const std::uint8_t colour[3] = {job.blue, job.green, job.red};
  for (std::size_t i = 0; i < kW; ++i) {
    lowBytes[i] = Exact ? colour[i % 3] : lowByte(colour[i % 3], job.tolerance);
    spanBytes[i] = Exact ? 0 : spanByte(colour[i % 3], job.tolerance);
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
