#include "recognition/core/byte_search.hpp"
#include "recognition/core/kernels/dispatch.hpp"

#include <cstdlib>
#include <limits>

namespace tamblin {

std::int32_t findBytesTolerant(ByteView haystack, ByteView needle, std::int32_t start, std::int32_t tolerance) {
  return kernels::findBytesTolerantFast(haystack, needle, start, tolerance);
}

std::int64_t findBytesTolerantFrom(ByteView haystack, ByteView needle, std::int64_t from, std::int32_t tolerance) {
  return kernels::findBytesTolerantFromFast(haystack, needle, from, tolerance);
}

std::int64_t findBytesExact(ByteView haystack, ByteView needle, std::int64_t from) {
  return kernels::findBytesExactFast(haystack, needle, from);
}

std::int32_t findBytesTolerantReference(ByteView haystack, ByteView needle, std::int32_t start,
                                        std::int32_t tolerance) {
  if (start < 1) start = 1;
  const std::int64_t offset = findBytesTolerantFromReference(haystack, needle, std::int64_t{start} - 1, tolerance);
  if (offset < 0 || offset >= std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int32_t>(offset + 1);
}

std::int64_t findBytesTolerantFromReference(ByteView haystack, ByteView needle, std::int64_t from,
                                            std::int32_t tolerance) {
  const auto n = static_cast<std::int64_t>(needle.size());
  const auto h = static_cast<std::int64_t>(haystack.size());
  if (from < 0) from = 0;
  // Every candidate restarts at the needle's first byte and gives up at its first mismatch.
  for (std::int64_t p = from; p <= h - n; ++p) {
    for (std::int64_t k = 0; k < n; ++k) {
      const int d = std::abs(int{needle[static_cast<std::size_t>(k)]} - int{haystack[static_cast<std::size_t>(p + k)]});
      if (d > tolerance) break;
      if (k == n - 1) return p;
    }
  }
  return -1;
}

std::int64_t findBytesExactReference(ByteView haystack, ByteView needle, std::int64_t from) {
  const auto n = static_cast<std::int64_t>(needle.size());
  const auto h = static_cast<std::int64_t>(haystack.size());
  if (n == 0) return -1;
  if (from < 0) from = 0;
  for (std::int64_t p = from; p <= h - n; ++p) {
    std::int64_t k = 0;
    while (k < n && haystack[static_cast<std::size_t>(p + k)] == needle[static_cast<std::size_t>(k)]) ++k;
    if (k == n) return p;
  }
  return -1;
}

}  // namespace tamblin
