#pragma once
// Byte-sequence searches. Each comes as a public function, the one callers use and that may pick a
// faster kernel, and a *Reference twin: a plain scan that is the yardstick every kernel must match.
#include <cstdint>

#include "recognition/core/types.hpp"

namespace tamblin {

// Position, counted from 1, of the first p with max(start, 1) <= p <= h - n + 1 where every needle
// byte differs from haystack[p + k - 1] by at most tolerance; -1 when there is none, when the
// needle is empty or longer than the haystack, or when the position would not fit in 32 bits.
std::int32_t findBytesTolerant(ByteView haystack, ByteView needle, std::int32_t start = 0, std::int32_t tolerance = 0);
std::int32_t findBytesTolerantReference(ByteView haystack, ByteView needle, std::int32_t start = 0,
                                        std::int32_t tolerance = 0);

// The same search with 64-bit offsets counted from 0: the first offset at or after from (from < 0
// counts as 0) where the needle matches within tolerance, or -1.
std::int64_t findBytesTolerantFrom(ByteView haystack, ByteView needle, std::int64_t from, std::int32_t tolerance);
std::int64_t findBytesTolerantFromReference(ByteView haystack, ByteView needle, std::int64_t from,
                                            std::int32_t tolerance);

// First offset, counted from 0, at or after from (from < 0 counts as 0) where the needle occurs
// byte for byte, or -1; an empty needle is never found.
std::int64_t findBytesExact(ByteView haystack, ByteView needle, std::int64_t from);
std::int64_t findBytesExactReference(ByteView haystack, ByteView needle, std::int64_t from);

}  // namespace tamblin
