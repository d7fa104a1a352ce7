#pragma once
// The fast searches: the same answers as the *Reference functions of byte_search.hpp,
// image_search.hpp and colour_search.hpp, from vector kernels chosen once at run time (AVX2 where
// the CPU and the system support it, else SSE2), with the reference itself as a third choice.
#include <cstdint>
#include <optional>

#include "recognition/core/types.hpp"

namespace tamblin::kernels {

enum class Kernel { Scalar, Sse2, Avx2 };

const char* kernelName(Kernel kernel);
// Whether this CPU can run the kernel; Scalar always.
bool kernelAvailable(Kernel kernel);
// The fastest available kernel, found once.
Kernel bestKernel();

// The kernel the *Fast functions use: the forced one if set, else bestKernel(). Forcing a kernel
// the CPU lacks is refused (returns false). For tests and benchmarks; not meant to change while
// searches run on other threads.
bool setForcedKernel(std::optional<Kernel> kernel);
Kernel activeKernel();

// Same contract as findBytesTolerantReference: position from 1, or -1.
std::int32_t findBytesTolerantFast(ByteView haystack, ByteView needle, std::int32_t start = 0,
                                   std::int32_t tolerance = 0);
// Same contract as findBytesTolerantFromReference: offset from 0, or -1.
std::int64_t findBytesTolerantFromFast(ByteView haystack, ByteView needle, std::int64_t from,
                                       std::int32_t tolerance);
// Same contract as findBytesExactReference.
std::int64_t findBytesExactFast(ByteView haystack, ByteView needle, std::int64_t from);
// Same contract as findImageReference.
ImagePoint findImageFast(ByteView bigImage, ByteView smallImage, std::int32_t tolerance = 0, ImagePoint start = {});
// Same contract as findColourReference.
ImagePoint findColourFast(ByteView image, Colour colour, std::int32_t tolerance = 0, ImagePoint start = {});

// The same with the kernel named; it must be available (an unavailable one runs the reference).
std::int32_t findBytesTolerantWith(Kernel kernel, ByteView haystack, ByteView needle, std::int32_t start,
                                   std::int32_t tolerance);
std::int64_t findBytesTolerantFromWith(Kernel kernel, ByteView haystack, ByteView needle, std::int64_t from,
                                       std::int32_t tolerance);
std::int64_t findBytesExactWith(Kernel kernel, ByteView haystack, ByteView needle, std::int64_t from);
ImagePoint findImageWith(Kernel kernel, ByteView bigImage, ByteView smallImage, std::int32_t tolerance,
                         ImagePoint start);
ImagePoint findColourWith(Kernel kernel, ByteView image, Colour colour, std::int32_t tolerance, ImagePoint start);

}  // namespace tamblin::kernels
