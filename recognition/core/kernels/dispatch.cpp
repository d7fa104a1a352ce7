#include "recognition/core/kernels/dispatch.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <limits>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/colour_search.hpp"
#include "recognition/core/image_search.hpp"
#include "recognition/core/kernels/cpu_features.hpp"
#include "recognition/core/kernels/kernel_table.hpp"

namespace tamblin::kernels {

namespace {

constexpr int kNotForced = -1;
std::atomic<int> forcedKernel{kNotForced};

const KernelTable* tableOf(Kernel kernel) {
#if TAMBLIN_X86_KERNELS
  if (kernel == Kernel::Avx2 && cpuFeatures().avx2) return &kAvx2Kernels;
  if (kernel == Kernel::Sse2 && cpuFeatures().sse2) return &kSse2Kernels;
#else
  (void)kernel;
#endif
  return nullptr;
}

std::size_t toSize(std::int64_t value) { return static_cast<std::size_t>(value); }
std::int64_t toOffset(std::size_t value) {
  return value == kNoMatch ? -1 : static_cast<std::int64_t>(value);
}

// A byte search prepared once, so that a caller passing over unwanted hits resumes cheaply.
class ByteSearch {
 public:
  ByteSearch(const KernelTable& table, ByteView haystack, ByteView needle, std::int32_t tolerance)
      : table_(table), haystack_(haystack), needle_(needle), tolerance_(tolerance) {}

  // First match at or after from (negative counts as 0), or -1.
  std::int64_t next(std::int64_t from) {
    const auto n = static_cast<std::int64_t>(needle_.size());
    const auto h = static_cast<std::int64_t>(haystack_.size());
    if (n == 0 || tolerance_ < 0) return -1;
    if (from < 0) from = 0;
    if (n > h || from > h - n) return -1;
    if (tolerance_ >= 255) return from;  // every byte is within 255 of every other
    if (!planned_) {
      job_.hay = haystack_.data();
      job_.hayLength = haystack_.size();
      job_.needle = needle_.data();
      job_.needleLength = needle_.size();
      job_.tolerance = tolerance_;
      job_.from = toSize(from);
      // A match in the first few candidates is found before the probes are planned, which costs
      // about as much as comparing a few hundred candidates in full.
      constexpr std::int64_t kNear = 256;
      const std::size_t near = table_.findBytesNear(job_, kNear);
      if (near != kNoMatch) return toOffset(near);
      if (from > h - n - kNear) return -1;
      from += kNear;
      job_.probes = planProbes(job_.hay, job_.hayLength, job_.needle, job_.needleLength, toSize(from), tolerance_,
                               table_.passMask);
      planned_ = true;
    }
    job_.from = toSize(from);
    return toOffset(table_.findBytes(job_));
  }

 private:
  const KernelTable& table_;
  ByteView haystack_, needle_;
  std::int32_t tolerance_;
  bool planned_ = false;
  ByteSearchJob job_;
};

}  // namespace

const char* kernelName(Kernel kernel) {
  switch (kernel) {
    case Kernel::Scalar: return "scalar";
    case Kernel::Sse2: return "sse2";
    case Kernel::Avx2: return "avx2";
  }
  return "?";
}

bool kernelAvailable(Kernel kernel) { return kernel == Kernel::Scalar || tableOf(kernel) != nullptr; }

Kernel bestKernel() {
  static const Kernel best = kernelAvailable(Kernel::Avx2)   ? Kernel::Avx2
                             : kernelAvailable(Kernel::Sse2) ? Kernel::Sse2
                                                             : Kernel::Scalar;
  return best;
}

bool setForcedKernel(std::optional<Kernel> kernel) {
  if (kernel && !kernelAvailable(*kernel)) return false;
  forcedKernel.store(kernel ? static_cast<int>(*kernel) : kNotForced, std::memory_order_relaxed);
  return true;
}

Kernel activeKernel() {
  const int forced = forcedKernel.load(std::memory_order_relaxed);
  return forced == kNotForced ? bestKernel() : static_cast<Kernel>(forced);
}

std::int64_t findBytesTolerantFromWith(Kernel kernel, ByteView haystack, ByteView needle, std::int64_t from,
                                       std::int32_t tolerance) {
  const KernelTable* table = tableOf(kernel);
  if (!table) return findBytesTolerantFromReference(haystack, needle, from, tolerance);
  return ByteSearch(*table, haystack, needle, tolerance).next(from);
}

std::int32_t findBytesTolerantWith(Kernel kernel, ByteView haystack, ByteView needle, std::int32_t start,
                                   std::int32_t tolerance) {
  if (!tableOf(kernel)) return findBytesTolerantReference(haystack, needle, start, tolerance);
  if (start < 1) start = 1;
  const std::int64_t offset = findBytesTolerantFromWith(kernel, haystack, needle, std::int64_t{start} - 1, tolerance);
  if (offset < 0 || offset >= std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int32_t>(offset + 1);
}

std::int64_t findBytesExactWith(Kernel kernel, ByteView haystack, ByteView needle, std::int64_t from) {
  const KernelTable* table = tableOf(kernel);
  if (!table) return findBytesExactReference(haystack, needle, from);
  return ByteSearch(*table, haystack, needle, 0).next(from);
}

ImagePoint findImageWith(Kernel kernel, ByteView bigImage, ByteView smallImage, std::int32_t tolerance,
                         ImagePoint start) {
  const KernelTable* table = tableOf(kernel);
  if (!table) return findImageReference(bigImage, smallImage, tolerance, start);
  const std::optional<ImageFigures> big = imageFigures(bigImage);
  if (!big) return kNotFound;
  const std::optional<ImageFigures> small = imageFigures(smallImage);
  if (!small) return kNotFound;
  const std::optional<ByteView> bottomRow = small->bottomRow();
  if (!bottomRow) return kNotFound;
  const ByteView pattern = *bottomRow;
  const auto patternLength = static_cast<std::int64_t>(pattern.size());
  std::int64_t from = big->startOffset(start);
  const std::int32_t allowed = tolerance > 0 ? tolerance : 0;
  if (patternLength <= 16 && from + patternLength <= static_cast<std::int64_t>(big->pixels.size())) {
    // A short pattern at the start point itself, without setting up a search.
    const std::uint8_t* at = big->pixels.data() + from;
    std::int64_t k = 0;
    while (k < patternLength && std::abs(at[k] - pattern[toSize(k)]) <= allowed) ++k;
    if (k == patternLength && from < big->claimedBlockSize() && big->inPicturePixel(from)) return big->pointAt(from);
  }
  ByteSearch search(*table, big->pixels, pattern, allowed);
  while (true) {
    const std::int64_t hit = search.next(from);
    if (hit < 0 || hit >= big->claimedBlockSize()) return kNotFound;
    if (big->inPicturePixel(hit)) return big->pointAt(hit);
    from = hit + 1;  // a hit in row padding belongs to no pixel
  }
}

ImagePoint findColourWith(Kernel kernel, ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start) {
  const KernelTable* table = tableOf(kernel);
  if (!table) return findColourReference(image, colour, tolerance, start);
  const std::optional<ImageFigures> figures = imageFigures(image);
  if (!figures) return kNotFound;
  const std::int64_t from = figures->startOffset(start);
  if (from >= static_cast<std::int64_t>(figures->pixels.size())) return kNotFound;
  const auto blue = static_cast<std::uint8_t>(blueOf(colour));
  const auto green = static_cast<std::uint8_t>(greenOf(colour));
  const auto red = static_cast<std::uint8_t>(redOf(colour));
  const std::int32_t allowed = tolerance <= 0 ? 0 : tolerance > 255 ? 255 : tolerance;
  {
    // The first pixels one by one, without setting up a scan: searches that end there are common
    // (a tolerance wide enough for the whole picture) and would cost mostly the setting up.
    const std::int64_t b = figures->bytesPerPixel;
    const std::int64_t row = from / figures->stride;
    const std::int64_t firstColumn = (from - row * figures->stride + b - 1) / b;
    const std::int64_t lastColumn = std::min(figures->width, firstColumn + 32);
    const auto size = static_cast<std::int64_t>(figures->pixels.size());
    if (row < figures->height) {
      for (std::int64_t offset = row * figures->stride + firstColumn * b, column = firstColumn; column < lastColumn;
           ++column, offset += b) {
        if (offset + b > size) return kNotFound;
        const std::uint8_t* px = figures->pixels.data() + offset;
        if (std::abs(px[0] - blue) <= allowed && std::abs(px[1] - green) <= allowed &&
            std::abs(px[2] - red) <= allowed) {
          return figures->pointAt(offset);
        }
      }
    }
  }
  // An exact hit of the colour's three bytes counts only where it begins a pixel, which is the
  // tolerant scan's answer for tolerance 0.
  PixelScanJob job;
  job.block = figures->pixels.data();
  job.length = figures->pixels.size();
  job.stride = toSize(figures->stride);
  job.width = toSize(figures->width);
  job.rows = toSize(figures->height);
  job.bytesPerPixel = toSize(figures->bytesPerPixel);
  job.from = toSize(from);
  job.blue = blue;
  job.green = green;
  job.red = red;
  job.tolerance = allowed;
  const std::size_t hit = table->findPixel(job);
  return hit == kNoMatch ? kNotFound : figures->pointAt(static_cast<std::int64_t>(hit));
}

std::int32_t findBytesTolerantFast(ByteView haystack, ByteView needle, std::int32_t start, std::int32_t tolerance) {
  return findBytesTolerantWith(activeKernel(), haystack, needle, start, tolerance);
}
std::int64_t findBytesTolerantFromFast(ByteView haystack, ByteView needle, std::int64_t from,
                                       std::int32_t tolerance) {
  return findBytesTolerantFromWith(activeKernel(), haystack, needle, from, tolerance);
}
std::int64_t findBytesExactFast(ByteView haystack, ByteView needle, std::int64_t from) {
  return findBytesExactWith(activeKernel(), haystack, needle, from);
}
ImagePoint findImageFast(ByteView bigImage, ByteView smallImage, std::int32_t tolerance, ImagePoint start) {
  return findImageWith(activeKernel(), bigImage, smallImage, tolerance, start);
}
ImagePoint findColourFast(ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start) {
  return findColourWith(activeKernel(), image, colour, tolerance, start);
}

}  // namespace tamblin::kernels
