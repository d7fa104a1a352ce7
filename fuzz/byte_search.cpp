// The byte searches: the public functions agree with the references, and a hit really matches.
#include <cstdlib>

#include "fuzz/fuzz_input.hpp"
#include "recognition/core/byte_search.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamblin;
  fuzz::Input input(data, size);
  const auto tolerance = static_cast<std::int32_t>(input.take<std::int16_t>());
  const auto start = input.take<std::int32_t>();
  const ByteView needle = input.takeBytes(input.take<std::uint8_t>());
  const ByteView haystack = input.rest();

  const std::int32_t position = findBytesTolerant(haystack, needle, start, tolerance);
  FUZZ_CHECK(position == findBytesTolerantReference(haystack, needle, start, tolerance));
  if (position != -1) {
    FUZZ_CHECK(position >= 1 && position >= start);
    FUZZ_CHECK(static_cast<std::size_t>(position - 1) + needle.size() <= haystack.size());
    for (std::size_t k = 0; k < needle.size(); ++k) {
      FUZZ_CHECK(std::abs(int{haystack[static_cast<std::size_t>(position - 1) + k]} - int{needle[k]}) <= tolerance);
    }
  }
  const std::int64_t from = start;
  FUZZ_CHECK(findBytesTolerantFrom(haystack, needle, from, tolerance) ==
             findBytesTolerantFromReference(haystack, needle, from, tolerance));
  const std::int64_t exact = findBytesExact(haystack, needle, from);
  FUZZ_CHECK(exact == findBytesExactReference(haystack, needle, from));
  FUZZ_CHECK(exact == findBytesTolerantFromReference(haystack, needle, from, 0));
  return 0;
}
