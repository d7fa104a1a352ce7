#include "recognition/core/byte_search.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "tests/core/support/test_images.hpp"

namespace tamblin {
namespace {

struct Case {
  ByteArray haystack;
  ByteArray needle;
  std::int32_t start;
  std::int32_t tolerance;
  std::int32_t expected;
};

TEST(FindBytesTolerant, Table) {
  const Case cases[] = {
      {{10, 20, 30, 40, 50}, {21, 29}, 0, 1, 2},
      {{10, 20, 30, 40, 50}, {21, 29}, 0, 0, -1},
      {{5, 5, 5}, {5, 5}, 0, 0, 1},  // the first match wins
      {{5, 5, 5}, {5, 5}, 2, 0, 2},
      {{5, 5, 5}, {5, 5}, 3, 0, -1},  // no longer fits
      {{1, 2, 3}, {3}, 0, 0, 3},      // ending on the last byte
      {{1, 2, 3}, {1}, 0, 0, 1},
      {{1, 2, 3}, {1}, -7, 0, 1},  // a start below 1 counts as 1
      {{1, 2, 3}, {1}, INT32_MIN, 0, 1},
      {{1, 2, 3}, {1, 2, 3, 4}, 0, 0, -1},  // longer than the haystack
      {{1, 2, 3}, {}, 0, 0, -1},            // an empty needle is never found
      {{}, {}, 0, 0, -1},
      {{}, {1}, 0, 255, -1},
      {{1, 2, 3}, {1}, 0, -1, -1},  // a negative tolerance matches nothing
      {{1, 2, 3}, {200, 100}, 2, 255, 2},
      {{1, 2, 3}, {200, 100}, 3, 255, -1},
      {{1, 2, 3}, {200}, INT32_MAX, 255, -1},
      {{0, 255}, {255}, 0, 254, 2},      // 255 apart fails, equal matches
      {{10, 20, 30}, {12, 18}, 0, 2, 1},  // a difference equal to the tolerance matches
      {{10, 20, 30}, {13, 18}, 0, 2, -1},
      {{9, 9, 9, 1, 2, 9, 1, 2, 3}, {1, 2, 3}, 0, 0, 7},  // each candidate restarts at the first byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << ", tolerance " << c.tolerance << ", hay "
                                    << c.haystack.size() << ", needle " << c.needle.size());
    EXPECT_EQ(findBytesTolerantReference(c.haystack, c.needle, c.start, c.tolerance), c.expected);
    EXPECT_EQ(findBytesTolerant(c.haystack, c.needle, c.start, c.tolerance), c.expected);
    const std::int64_t from = std::max<std::int64_t>(c.start, 1) - 1;
    const std::int64_t offset = c.expected < 0 ? -1 : c.expected - 1;
    EXPECT_EQ(findBytesTolerantFrom(c.haystack, c.needle, from, c.tolerance), offset);
    if (c.tolerance == 0) {
      EXPECT_EQ(findBytesExact(c.haystack, c.needle, from), offset);
    }
  }
}

TEST(FindBytesExact, Table) {
  const ByteArray hay{1, 2, 1, 2, 1};
  EXPECT_EQ(findBytesExact(hay, ByteArray{1, 2, 1}, 0), 0);
  EXPECT_EQ(findBytesExact(hay, ByteArray{1, 2, 1}, 1), 2);  // overlapping occurrences
  EXPECT_EQ(findBytesExact(hay, ByteArray{1, 2, 1}, 3), -1);
  EXPECT_EQ(findBytesExact(hay, ByteArray{1}, 4), 4);
  EXPECT_EQ(findBytesExact(hay, ByteArray{1}, 5), -1);
  EXPECT_EQ(findBytesExact(hay, ByteArray{1}, -100), 0);
  EXPECT_EQ(findBytesExact(hay, ByteArray{1}, INT64_MAX), -1);
  EXPECT_EQ(findBytesExact(hay, ByteArray{}, 0), -1);
  EXPECT_EQ(findBytesTolerantFrom(hay, ByteArray{2}, INT64_MAX, 5), -1);
  EXPECT_EQ(findBytesTolerantFrom(hay, ByteArray{2}, INT64_MIN, 1), 0);
}

// The guarantee, by another road: std::search with the tolerance as its predicate.
std::int32_t bruteForce(const ByteArray& haystack, const ByteArray& needle, std::int32_t start, std::int32_t tolerance) {
  if (needle.empty()) return -1;
  const std::int64_t first = std::max<std::int64_t>(start, 1) - 1;
  if (first >= static_cast<std::int64_t>(haystack.size())) return -1;
  const auto found = std::search(haystack.begin() + first, haystack.end(), needle.begin(), needle.end(),
                                 [&](std::uint8_t a, std::uint8_t b) { return std::abs(a - b) <= tolerance; });
  return found == haystack.end() ? -1 : static_cast<std::int32_t>(found - haystack.begin()) + 1;
}

TEST(FindBytesTolerant, AgreesWithItsGuaranteeOnRandomInput) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 40000; ++round) {
    const int distinct = test::randomInt(rng, 1, 6);
    ByteArray haystack(static_cast<std::size_t>(test::randomInt(rng, 0, 70)));
    for (std::uint8_t& byte : haystack) byte = test::randomByte(rng, distinct);
    ByteArray needle;
    if (!haystack.empty() && test::randomInt(rng, 0, 2) > 0) {
      // Mostly a slice of the haystack, nudged a little, so that hits are common.
      const int at = test::randomInt(rng, 0, static_cast<int>(haystack.size()) - 1);
      const int length = test::randomInt(rng, 1, static_cast<int>(haystack.size()) - at);
      needle.assign(haystack.begin() + at, haystack.begin() + at + length);
      for (std::uint8_t& byte : needle) {
        if (test::randomInt(rng, 0, 4) == 0) byte = static_cast<std::uint8_t>(std::clamp(byte + test::randomInt(rng, -2, 2), 0, 255));
      }
    } else {
      needle.resize(static_cast<std::size_t>(test::randomInt(rng, 0, 5)));
      for (std::uint8_t& byte : needle) byte = test::randomByte(rng, distinct);
    }
    const std::int32_t tolerances[] = {-2, 0, 0, 1, 2, 3, 6, 254, 255, 300};
    const std::int32_t tolerance = tolerances[test::randomInt(rng, 0, 9)];
    const std::int32_t start = test::randomInt(rng, -3, static_cast<int>(haystack.size()) + 3);
    const std::int32_t expected = bruteForce(haystack, needle, start, tolerance);
    ASSERT_EQ(findBytesTolerantReference(haystack, needle, start, tolerance), expected)
        << "round " << round << ", start " << start << ", tolerance " << tolerance;
    ASSERT_EQ(findBytesTolerant(haystack, needle, start, tolerance), expected) << "round " << round;
    if (tolerance == 0) {
      ASSERT_EQ(findBytesExact(haystack, needle, start - 1), expected < 0 ? -1 : expected - 1) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace tamblin
