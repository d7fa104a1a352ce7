// Every search kernel, forced one at a time, against the reference searches.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.hpp"
#include "recognition/core/bitmap_layout.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/colour_search.hpp"
#include "recognition/core/image_search.hpp"
#include "recognition/core/kernels/dispatch.hpp"
#include "recognition/core/kernels/kernel_table.hpp"

namespace tamblin::kernels {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every array below is its own allocation of exactly its length, so that a kernel reading one byte
// past its end trips AddressSanitizer.
Bytes randomBytes(std::mt19937& rng, std::size_t length, int alphabet) {
  Bytes bytes(length);
  std::uniform_int_distribution<int> pick(0, alphabet - 1);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(pick(rng) * (alphabet <= 2 ? 255 : 7) % 256);
  return bytes;
}

int pickInt(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

template <typename T>
T pickFrom(std::mt19937& rng, const std::vector<T>& values) {
  return values[static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(values.size()) - 1))];
}

const std::vector<std::int32_t> kTolerances = {-7, -1, 0, 0, 0, 1, 2, 7, 40, 128, 254, 255, 256, 100000};

// Lengths around the widths of the vectors and of their unrolled loops.
const std::vector<int> kAwkwardLengths = {0,  1,  2,  3,  4,  5,  14, 15, 16, 17, 29, 30, 31, 32,
                                          33, 47, 48, 49, 63, 64, 65, 66, 95, 96, 97, 127, 128, 129, 200};

class KernelTest : public ::testing::TestWithParam<Kernel> {
 protected:
  void SetUp() override {
    if (!kernelAvailable(GetParam())) GTEST_SKIP() << kernelName(GetParam()) << " is not available on this CPU";
  }
  Kernel kernel() const { return GetParam(); }
};

std::string describe(const Bytes& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size() && i < 80; ++i) out += std::to_string(bytes[i]) + " ";
  if (bytes.size() > 80) out += "... (" + std::to_string(bytes.size()) + " bytes)";
  return out;
}

void expectBytesAgree(Kernel kernel, const Bytes& hay, const Bytes& needle, std::int64_t from, std::int32_t tolerance) {
  SCOPED_TRACE("hay: " + describe(hay) + "\nneedle: " + describe(needle) + "\nfrom " + std::to_string(from) +
               " tolerance " + std::to_string(tolerance));
  EXPECT_EQ(findBytesTolerantFromWith(kernel, hay, needle, from, tolerance),
            findBytesTolerantFromReference(hay, needle, from, tolerance));
  EXPECT_EQ(findBytesExactWith(kernel, hay, needle, from), findBytesExactReference(hay, needle, from));
  const auto start = static_cast<std::int32_t>(std::clamp<std::int64_t>(from, -4, 1 << 30) + 1);
  EXPECT_EQ(findBytesTolerantWith(kernel, hay, needle, start, tolerance),
            findBytesTolerantReference(hay, needle, start, tolerance));
}

TEST_P(KernelTest, ByteSearchKnownAnswers) {
  struct Case {
    Bytes hay, needle;
    std::int32_t start, tolerance, expected;
  };
  const std::vector<Case> cases = {
      {{10, 20, 30, 40, 50}, {21, 29}, 0, 1, 2},
      {{10, 20, 30, 40, 50}, {21, 29}, 0, 0, -1},
      {{5, 5, 5}, {5, 5}, 0, 0, 1},
      {{5, 5, 5}, {5, 5}, 2, 0, 2},
      {{5, 5, 5}, {5, 5}, 3, 0, -1},
      {{1, 2, 3}, {3}, 0, 0, 3},
      {{1, 2, 3}, {3}, -7, 0, 3},
      {{1, 2, 3}, {1, 2, 3, 4}, 0, 255, -1},
      {{1, 2, 3}, {}, 0, 0, -1},
      {{1, 2, 3}, {9}, 0, -1, -1},
      {{1, 2, 3}, {200}, 2, 255, 2},
      {{0, 255}, {255}, 0, 254, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findBytesTolerantWith(kernel(), c.hay, c.needle, c.start, c.tolerance), c.expected)
        << describe(c.hay) << "/ " << describe(c.needle) << "start " << c.start << " tolerance " << c.tolerance;
  }
}

TEST_P(KernelTest, ByteSearchRandomAgainstReference) {
  std::mt19937 rng(20240611u + static_cast<unsigned>(kernel()));
  for (int round = 0; round < 6000; ++round) {
    const int alphabet = pickFrom(rng, std::vector<int>{2, 3, 5, 40, 256});
    // The fast searches compare the first 256 candidates in full before they plan probes, so the
    // lengths that matter to the vector loops lie that far on as well.
    const int reach = pickInt(rng, 0, 1) ? 0 : 256 + pickInt(rng, 0, 80);
    const auto hayLength =
        static_cast<std::size_t>(reach + (round % 3 == 0 ? pickFrom(rng, kAwkwardLengths) : pickInt(rng, 0, 300)));
    const Bytes hay = randomBytes(rng, hayLength, alphabet);
    Bytes needle;
    const int needleLength = pickInt(rng, 0, 3) == 0 ? pickFrom(rng, kAwkwardLengths) : pickInt(rng, 0, 12);
    if (hayLength > 0 && pickInt(rng, 0, 2) != 0) {
      // Cut from the haystack, often near its end, then sometimes nudged by a byte or two.
      const auto length = std::min<std::size_t>(static_cast<std::size_t>(needleLength), hayLength);
      const std::size_t at = pickInt(rng, 0, 1) ? hayLength - length
                                                : static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(hayLength - length)));
      needle.assign(hay.begin() + static_cast<std::ptrdiff_t>(at), hay.begin() + static_cast<std::ptrdiff_t>(at + length));
      if (!needle.empty() && pickInt(rng, 0, 2) == 0) {
        needle[static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(needle.size()) - 1))] += static_cast<std::uint8_t>(pickInt(rng, 1, 3));
      }
    } else {
      needle = randomBytes(rng, static_cast<std::size_t>(needleLength), alphabet);
    }
    const std::int64_t from = pickInt(rng, 0, 3) == 0 ? pickInt(rng, -3, 3)
                              : pickInt(rng, 0, 9) == 0 ? pickFrom(rng, std::vector<std::int64_t>{INT64_MAX, INT64_MIN, 1LL << 40})
                                                        : static_cast<std::int64_t>(hayLength) - pickInt(rng, -2, 340);
    expectBytesAgree(kernel(), hay, needle, from, pickFrom(rng, kTolerances));
    if (HasFailure()) return;
  }
}

// Screens are mostly flat: a needle that differs from a uniform run in one byte, or that slips the
// phase of a repeating pattern, passes a first- or last-byte filter nearly everywhere.
TEST_P(KernelTest, ByteSearchFlatAndPeriodicHaystacks) {
  std::mt19937 rng(77u);
  for (int round = 0; round < 400; ++round) {
    const std::size_t period = static_cast<std::size_t>(pickInt(rng, 1, 7));
    const Bytes unit = randomBytes(rng, period, 256);
    Bytes hay(static_cast<std::size_t>(pickInt(rng, 100, 6000)));
    for (std::size_t i = 0; i < hay.size(); ++i) hay[i] = unit[i % period];
    const auto needleLength = static_cast<std::size_t>(pickInt(rng, 1, 200));
    Bytes needle(needleLength);
    const std::size_t phase = static_cast<std::size_t>(pickInt(rng, 0, 6));
    for (std::size_t i = 0; i < needleLength; ++i) needle[i] = unit[(i + phase) % period];
    const std::int32_t tolerance = pickFrom(rng, std::vector<std::int32_t>{0, 0, 1, 3, 40});
    switch (round % 4) {
      case 0: break;  // occurs at once
      case 1: needle[needleLength / 2] ^= 0x5A; break;  // one foreign byte: absent
      case 2: {  // a phase slip in the middle: every byte common, the whole absent
        const Bytes copy = needle;
        for (std::size_t i = needleLength / 2; i + 1 < needleLength; ++i) needle[i + 1] = copy[i];
        break;
      }
      case 3: {  // the slipped needle planted once, near the end
        const Bytes copy = needle;
        for (std::size_t i = needleLength / 2; i + 1 < needleLength; ++i) needle[i + 1] = copy[i];
        if (needleLength < hay.size()) {
          std::copy(needle.begin(), needle.end(), hay.end() - static_cast<std::ptrdiff_t>(needleLength) - pickInt(rng, 0, 1));
        }
        break;
      }
    }
    expectBytesAgree(kernel(), hay, needle, pickInt(rng, 0, 1) ? 0 : pickInt(rng, 0, 100), tolerance);
    if (HasFailure()) return;
  }
}

// ---------------------------------------------------------------------------------------------
// Bitmap images

struct ImageShape {
  int width, height, bytesPerPixel;
  std::uint16_t bitCount;  // as written in the header; 0 leaves the depth to the length rule
  int extraBytes;          // negative: the block is cut short of the header's rows
};

Bytes makeImage(std::mt19937& rng, const ImageShape& shape, int alphabet) {
  const std::int64_t stride = rowStride(shape.width, shape.bytesPerPixel);
  const std::int64_t size = std::max<std::int64_t>(0, stride * shape.height + shape.extraBytes);
  const Bytes block = randomBytes(rng, static_cast<std::size_t>(size), alphabet);
  return makeBitmapImage(shape.width, shape.height, shape.bitCount, block);
}

ImageShape randomShape(std::mt19937& rng) {
  ImageShape shape{};
  shape.width = pickInt(rng, 0, 3) == 0 ? pickInt(rng, 1, 4) : pickInt(rng, 1, 45);
  shape.height = pickInt(rng, 1, 6);
  shape.bytesPerPixel = pickInt(rng, 3, 4);
  const int depthRule = pickInt(rng, 0, 5);
  shape.bitCount = static_cast<std::uint16_t>(depthRule == 0 ? 0 : depthRule == 1 ? 56 - 8 * shape.bytesPerPixel
                                                                                   : 8 * shape.bytesPerPixel);
  const int sizeRule = pickInt(rng, 0, 5);
  shape.extraBytes = sizeRule == 0 ? -pickInt(rng, 1, 40) : sizeRule == 1 ? pickInt(rng, 1, 40) : 0;
  return shape;
}

ImagePoint randomStart(std::mt19937& rng, const ImageShape& shape) {
  switch (pickInt(rng, 0, 4)) {
    case 0: return {0, 0};
    case 1: return {pickInt(rng, -2, 2), pickInt(rng, -2, 2)};
    case 2: return {pickInt(rng, 1, shape.width + 3), pickInt(rng, 1, shape.height + 2)};
    case 3: return {shape.width, pickInt(rng, 1, shape.height)};
    default: return {pickInt(rng, 1, shape.width), shape.height};
  }
}

Colour colourAt(const Bytes& image, std::size_t offset) {
  if (offset + 3 > image.size()) return 0;
  return makeColour(image[offset + 2], image[offset + 1], image[offset]);
}

std::string describeShape(const ImageShape& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height) + " B" + std::to_string(s.bytesPerPixel) +
         " bitCount " + std::to_string(s.bitCount) + " extra " + std::to_string(s.extraBytes);
}

TEST_P(KernelTest, ColourSearchRandomAgainstReference) {
  std::mt19937 rng(4242u);
  for (int round = 0; round < 8000; ++round) {
    const ImageShape shape = randomShape(rng);
    const Bytes image = makeImage(rng, shape, pickFrom(rng, std::vector<int>{2, 3, 4, 256}));
    // Mostly colours that occur, read at random offsets (inside a pixel or not), sometimes any.
    Colour colour = pickInt(rng, 0, 3) == 0 ? pickInt(rng, 0, 0xFFFFFF)
                                            : colourAt(image, static_cast<std::size_t>(pickInt(rng, 58, static_cast<int>(image.size()))));
    if (pickInt(rng, 0, 9) == 0) colour |= static_cast<Colour>(0xFF000000u);
    const std::int32_t tolerance = pickFrom(rng, kTolerances);
    const ImagePoint start = randomStart(rng, shape);
    ASSERT_EQ(findColourWith(kernel(), image, colour, tolerance, start),
              findColourReference(image, colour, tolerance, start))
        << describeShape(shape) << " colour " << colour << " tolerance " << tolerance << " start " << start;
  }
}

TEST_P(KernelTest, ColourSearchWholeScreens) {
  // Screen-sized pictures, flat with one odd pixel, so that the scans cross their unrolled loops,
  // long runs and the end of the block.
  std::mt19937 rng(99u);
  for (const int width : {1920, 1366, 1023, 8}) {
    for (const int bytesPerPixel : {3, 4}) {
      const int height = width == 8 ? 3 : 40;
      const std::int64_t stride = rowStride(width, bytesPerPixel);
      Bytes block(static_cast<std::size_t>(stride * height), 0x80);
      const Colour odd = makeColour(0x81, 0x7F, 0x80);
      const std::size_t oddAt = static_cast<std::size_t>(stride * (height - 1) + (width - 1) * bytesPerPixel);
      block[oddAt] = 0x80, block[oddAt + 1] = 0x7F, block[oddAt + 2] = 0x81;
      const Bytes image = makeBitmapImage(width, height, static_cast<std::uint16_t>(8 * bytesPerPixel), block);
      for (const std::int32_t tolerance : {0, 1, 2, 40}) {
        for (const Colour colour : {odd, makeColour(0x80, 0x80, 0x80), makeColour(1, 2, 3)}) {
          for (const ImagePoint start : {ImagePoint{0, 0}, ImagePoint{width, height}, ImagePoint{width - 1, 1}}) {
            ASSERT_EQ(findColourWith(kernel(), image, colour, tolerance, start),
                      findColourReference(image, colour, tolerance, start))
                << width << "x" << height << " B" << bytesPerPixel << " colour " << colour << " tolerance "
                << tolerance << " start " << start;
          }
        }
      }
    }
  }
}

TEST_P(KernelTest, ImageSearchRandomAgainstReference) {
  std::mt19937 rng(8080u);
  for (int round = 0; round < 6000; ++round) {
    const ImageShape bigShape = randomShape(rng);
    const int alphabet = pickFrom(rng, std::vector<int>{2, 3, 256});
    const Bytes big = makeImage(rng, bigShape, alphabet);
    ImageShape smallShape = randomShape(rng);
    smallShape.width = pickInt(rng, 1, std::max(1, bigShape.width + 2));
    smallShape.height = pickInt(rng, 1, 3);
    if (pickInt(rng, 0, 2) != 0) smallShape.bytesPerPixel = bigShape.bytesPerPixel;
    Bytes small = makeImage(rng, smallShape, alphabet);
    // Often the small image's bottom row is copied from somewhere in the large block.
    const std::size_t rowLength = static_cast<std::size_t>(smallShape.width * smallShape.bytesPerPixel);
    if (pickInt(rng, 0, 2) != 0 && big.size() > 58 + rowLength && small.size() >= 58 + rowLength) {
      const auto from = static_cast<std::size_t>(pickInt(rng, 58, static_cast<int>(big.size() - rowLength)));
      std::copy(big.begin() + static_cast<std::ptrdiff_t>(from), big.begin() + static_cast<std::ptrdiff_t>(from + rowLength),
                small.begin() + 58);
    }
    const std::int32_t tolerance = pickFrom(rng, kTolerances);
    const ImagePoint start = randomStart(rng, bigShape);
    ASSERT_EQ(findImageWith(kernel(), big, small, tolerance, start), findImageReference(big, small, tolerance, start))
        << "big " << describeShape(bigShape) << " small " << describeShape(smallShape) << " tolerance " << tolerance
        << " start " << start;
  }
}

TEST_P(KernelTest, ImageSearchWalksEveryOccurrence) {
  // A flat screen with row padding, sprinkled with copies of a 3-pixel row; walking on from each
  // answer must visit the same places in the same order as the reference, padding passed over.
  std::mt19937 rng(5u);
  const int width = 101, height = 30;
  for (const int bytesPerPixel : {3, 4}) {
    const std::int64_t stride = rowStride(width, bytesPerPixel);
    Bytes block(static_cast<std::size_t>(stride * height), 200);
    const Bytes sprite = {9, 8, 7, 9, 8, 7, 1, 2, 3, 4, 5, 6};
    for (int copy = 0; copy < 25; ++copy) {
      const auto at = static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(block.size()) - 3 * bytesPerPixel));
      std::copy(sprite.begin(), sprite.begin() + 3 * bytesPerPixel, block.begin() + static_cast<std::ptrdiff_t>(at));
    }
    const Bytes big = makeBitmapImage(width, height, static_cast<std::uint16_t>(8 * bytesPerPixel), block);
    Bytes smallBlock(static_cast<std::size_t>(rowStride(3, bytesPerPixel)), 0);
    std::copy(sprite.begin(), sprite.begin() + 3 * bytesPerPixel, smallBlock.begin());
    const Bytes small = makeBitmapImage(3, 1, static_cast<std::uint16_t>(8 * bytesPerPixel), smallBlock);
    for (const std::int32_t tolerance : {0, 1, 6}) {
      ImagePoint fast{0, 0}, reference{0, 0};
      int steps = 0;
      do {
        fast = findImageWith(kernel(), big, small, tolerance, fast);
        reference = findImageReference(big, small, tolerance, reference);
        ASSERT_EQ(fast, reference) << "step " << steps << " B" << bytesPerPixel << " tolerance " << tolerance;
        ++steps;
      } while (reference != kNotFound && steps < 200);
      EXPECT_GT(steps, 1);
    }
  }
}

// The vector byte search straight from its table, with probes planned or drawn at random (any set
// of needle positions is a sound plan), against the plain loop over the same job.
TEST_P(KernelTest, ByteKernelsWithAnyProbes) {
  const KernelTable* table = kernel() == Kernel::Avx2 ? &kAvx2Kernels : kernel() == Kernel::Sse2 ? &kSse2Kernels : nullptr;
  if (!table) GTEST_SKIP() << "the scalar kernel is the reference itself";
  std::mt19937 rng(31337u);
  for (int round = 0; round < 20000; ++round) {
    const int alphabet = pickFrom(rng, std::vector<int>{2, 3, 256});
    const Bytes hay = randomBytes(rng, static_cast<std::size_t>(pickInt(rng, 0, 1) ? pickFrom(rng, kAwkwardLengths) : pickInt(rng, 1, 400)), alphabet);
    Bytes needle = randomBytes(rng, static_cast<std::size_t>(pickInt(rng, 0, 1) ? pickInt(rng, 1, 12) : pickInt(rng, 1, 70)), alphabet);
    if (needle.empty() || needle.size() > hay.size()) continue;
    if (pickInt(rng, 0, 1)) {
      const auto at = static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(hay.size() - needle.size())));
      std::copy(hay.begin() + static_cast<std::ptrdiff_t>(at), hay.begin() + static_cast<std::ptrdiff_t>(at + needle.size()), needle.begin());
    }
    ByteSearchJob job;
    job.hay = hay.data();
    job.hayLength = hay.size();
    job.needle = needle.data();
    job.needleLength = needle.size();
    job.from = static_cast<std::size_t>(pickInt(rng, 0, static_cast<int>(hay.size() - needle.size())));
    job.tolerance = pickFrom(rng, std::vector<int>{0, 0, 1, 7, 8, 100, 254});
    job.probes = planProbes(job.hay, job.hayLength, job.needle, job.needleLength, job.from, job.tolerance);
    if (pickInt(rng, 0, 1)) {
      // Random distinct positions, in both levels.
      ProbePlan plan;
      std::vector<std::size_t> positions(needle.size());
      for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = i;
      std::shuffle(positions.begin(), positions.end(), rng);
      plan.count = std::min<int>(static_cast<int>(positions.size()), pickInt(rng, 1, ProbePlan::kMaxProbes));
      plan.firstLevel = std::min(plan.count, pickInt(rng, 1, ProbePlan::kMaxFirstLevel));
      for (int j = 0; j < plan.count; ++j) {
        const std::uint8_t value = needle[positions[static_cast<std::size_t>(j)]];
        plan.offset[j] = positions[static_cast<std::size_t>(j)];
        plan.low[j] = static_cast<std::uint8_t>(std::max(0, value - job.tolerance));
        plan.span[j] = static_cast<std::uint8_t>(std::min(255, value + job.tolerance) - plan.low[j]);
      }
      job.probes = plan;
    }
    ASSERT_EQ(table->findBytes(job), findBytesPortable(job))
        << "hay " << describe(hay) << "\nneedle " << describe(needle) << "\nfrom " << job.from << " tolerance "
        << job.tolerance << " probes " << job.probes.count << "/" << job.probes.firstLevel;
    const std::size_t near = static_cast<std::size_t>(pickInt(rng, 0, 40));
    ByteSearchJob nearJob = job;
    nearJob.hayLength = std::min(hay.size(), job.from + near + needle.size() - 1);
    const std::size_t expected = near == 0 ? kNoMatch : findBytesPortable(nearJob);
    ASSERT_EQ(table->findBytesNear(job, near), expected) << "near " << near;
  }
}

// The fuzzers' seed inputs (hostile headers, truncated blocks, far starts), read the way each
// fuzzer reads them, with every array copied into an allocation of its own exact size.
std::vector<Bytes> seeds(const std::string& target) {
  std::vector<Bytes> inputs;
  const std::filesystem::path dir = std::filesystem::path(TAMBLIN_SOURCE_DIR) / "fuzz" / "corpus" / target;
  if (!std::filesystem::is_directory(dir)) return inputs;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return inputs;
}

TEST_P(KernelTest, FuzzSeedsAgainstReference) {
  int inputs = 0;
  for (const Bytes& seed : seeds("byte_search")) {
    fuzz::Input input(seed.data(), seed.size());
    const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
    const auto start = input.take<std::int32_t>();
    const ByteView needleView = input.takeBytes(input.take<std::uint8_t>());
    const Bytes needle(needleView.begin(), needleView.end());
    const Bytes hay(input.rest().begin(), input.rest().end());
    expectBytesAgree(kernel(), hay, needle, start, tolerance);
    ++inputs;
  }
  for (const Bytes& seed : seeds("image_search")) {
    fuzz::Input input(seed.data(), seed.size());
    const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
    const ImagePoint start{input.take<std::int16_t>(), input.take<std::int16_t>()};
    const ByteView smallView = input.takeBytes(input.take<std::uint16_t>());
    const Bytes small(smallView.begin(), smallView.end());
    const Bytes big(input.rest().begin(), input.rest().end());
    EXPECT_EQ(findImageWith(kernel(), big, small, tolerance, start), findImageReference(big, small, tolerance, start));
    ++inputs;
  }
  for (const Bytes& seed : seeds("colour_search")) {
    fuzz::Input input(seed.data(), seed.size());
    const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
    const ImagePoint start{input.take<std::int16_t>(), input.take<std::int16_t>()};
    const auto colour = input.take<std::int32_t>();
    const Bytes image(input.rest().begin(), input.rest().end());
    for (const std::int32_t t : {tolerance, 0, 1, 254, 255, -1}) {
      EXPECT_EQ(findColourWith(kernel(), image, colour, t, start), findColourReference(image, colour, t, start));
    }
    ++inputs;
  }
  if (inputs == 0) GTEST_SKIP() << "no fuzz seeds under " << TAMBLIN_SOURCE_DIR << "/fuzz/corpus";
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelTest, ::testing::Values(Kernel::Scalar, Kernel::Sse2, Kernel::Avx2),
                         [](const ::testing::TestParamInfo<Kernel>& info) { return std::string(kernelName(info.param)); });

// ---------------------------------------------------------------------------------------------

TEST(KernelDispatch, ForcingChoosesTheKernelAndRefusesMissingOnes) {
  EXPECT_TRUE(kernelAvailable(Kernel::Scalar));
  EXPECT_TRUE(kernelAvailable(bestKernel()));
  for (const Kernel kernel : {Kernel::Scalar, Kernel::Sse2, Kernel::Avx2}) {
    const bool available = kernelAvailable(kernel);
    EXPECT_EQ(setForcedKernel(kernel), available);
    if (available) {
      EXPECT_EQ(activeKernel(), kernel);
    }
    const Bytes hay = {1, 2, 3, 4, 5};
    const Bytes needle = {4, 6};
    EXPECT_EQ(findBytesTolerantFast(hay, needle, 0, 1), 4);
  }
  EXPECT_TRUE(setForcedKernel(std::nullopt));
  EXPECT_EQ(activeKernel(), bestKernel());
}

TEST(KernelProbes, RareBytesAreProbedNotTheEnds) {
  // A white page with one dark byte in the needle: the dark byte must be among the probes, or every
  // position of the page would pass them.
  Bytes hay(100000, 0xFF);
  for (std::size_t i = 0; i < hay.size(); i += 997) hay[i] = 0x20;
  Bytes needle(48, 0xFF);
  needle[29] = 0x20;
  for (const int tolerance : {0, 8}) {
    const ProbePlan plan = planProbes(hay.data(), hay.size(), needle.data(), needle.size(), 0, tolerance);
    ASSERT_GE(plan.count, 1);
    EXPECT_EQ(plan.offset[0], 29u) << "tolerance " << tolerance;
  }
}

}  // namespace
}  // namespace tamblin::kernels
