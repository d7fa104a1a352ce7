#pragma once
// Splitting a fuzzer's bytes into parameters and byte arrays, and failing loudly.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "recognition/core/types.hpp"

namespace tamblin::fuzz {

// Takes little-endian fields off the front; missing bytes read as 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : rest_(data, size) {}

  template <typename T>
  T take() {
    std::uint8_t bytes[sizeof(T)] = {};
    const std::size_t n = rest_.size() < sizeof(T) ? rest_.size() : sizeof(T);
    std::memcpy(bytes, rest_.data(), n);
    rest_ = rest_.subspan(n);
    T value{};
    std::memcpy(&value, bytes, sizeof(T));  // little-endian host
    return value;
  }
  ByteView takeBytes(std::size_t count) {
    const std::size_t n = rest_.size() < count ? rest_.size() : count;
    const ByteView taken = rest_.first(n);
    rest_ = rest_.subspan(n);
    return taken;
  }
  ByteView rest() const { return rest_; }

 private:
  ByteView rest_;
};

}  // namespace tamblin::fuzz

#define FUZZ_CHECK(condition) \
  do {                        \
    if (!(condition)) __builtin_trap(); \
  } while (0)
