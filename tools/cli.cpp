#include "tools/cli.hpp"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>

#include "tools/bmp_file.hpp"

namespace tamblin::cli {

void fail(const std::string& message) { throw UsageError(message); }

std::int32_t parseNumber(std::string_view text, std::string_view what) {
  const auto bad = [&]() {
    fail(std::string(what) + " must be a decimal or 0x-hex number, not '" + std::string(text) + "'");
  };
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if (hex) digits.remove_prefix(2);
  if (digits.empty()) bad();
  const std::uint64_t base = hex ? 16 : 10;
  std::uint64_t magnitude = 0;
  for (const char c : digits) {
    std::uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint64_t>(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint64_t>(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint64_t>(c - 'A' + 10);
    } else {
      bad();
    }
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) fail(std::string(what) + " '" + std::string(text) + "' is out of range");
  }
  // Hex stands for a bit pattern up to 0xFFFFFFFF; decimal and negative numbers are plain values.
  const std::uint64_t limit = negative ? 0x80000000ull : (hex ? 0xFFFFFFFFull : 0x7FFFFFFFull);
  if (magnitude > limit) fail(std::string(what) + " '" + std::string(text) + "' is out of range");
  const std::uint32_t pattern =
      negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(magnitude)) : static_cast<std::uint32_t>(magnitude);
  return static_cast<std::int32_t>(pattern);
}

ImagePoint parsePoint(std::string_view text, std::string_view what) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) fail(std::string(what) + " must be X,Y, not '" + std::string(text) + "'");
  return {parseNumber(text.substr(0, comma), std::string(what) + " X"),
          parseNumber(text.substr(comma + 1), std::string(what) + " Y")};
}

Arguments::Arguments(std::span<char*> args, std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> flags) {
  const auto listed = [](std::initializer_list<std::string_view> names, std::string_view name) {
    for (const std::string_view candidate : names) {
      if (candidate == name) return true;
    }
    return false;
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view argument = args[i];
    if (optionsEnded || argument.substr(0, 2) != "--") {
      positional_.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    if (listed(valueOptions, name)) {
      if (equals != std::string_view::npos) {
        values_.emplace_back(name, argument.substr(equals + 1));
      } else if (i + 1 < args.size()) {
        values_.emplace_back(name, std::string_view(args[++i]));
      } else {
        fail(std::string(name) + " needs a value");
      }
    } else if (listed(flags, name) && equals == std::string_view::npos) {
      flags_.push_back(name);
    } else {
      fail("unknown option '" + std::string(argument) + "'");
    }
  }
}

void Arguments::expectPositional(std::size_t min, std::size_t max, std::string_view usage) const {
  if (positional_.size() < min || positional_.size() > max) fail("usage: recognise " + std::string(usage));
}

bool Arguments::flag(std::string_view name) const {
  for (const std::string_view given : flags_) {
    if (given == name) return true;
  }
  return false;
}

std::optional<std::string_view> Arguments::value(std::string_view name) const {
  std::optional<std::string_view> found;
  for (const auto& [given, value] : values_) {
    if (given == name) found = value;  // the last one given wins
  }
  return found;
}

std::int32_t Arguments::number(std::string_view name, std::int32_t fallback) const {
  const std::optional<std::string_view> text = value(name);
  return text ? parseNumber(*text, name) : fallback;
}

ImagePoint Arguments::point(std::string_view name, ImagePoint fallback) const {
  const std::optional<std::string_view> text = value(name);
  return text ? parsePoint(*text, name) : fallback;
}

ByteArray readFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) fail("cannot open " + path + ": " + std::strerror(errno));
  ByteArray bytes;
  std::uint8_t buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    // Byte arrays of the class are counted in 32 bits.
    if (bytes.size() + got > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      std::fclose(file);
      fail(path + " is larger than 2 GiB");
    }
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) fail("cannot read " + path);
  return bytes;
}

void writeFile(const std::string& path, ByteView bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) fail("cannot create " + path + ": " + std::strerror(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) fail("cannot write " + path);
}

ByteArray loadImageFile(const std::string& path, bool raw) {
  ByteArray bytes = readFile(path);
  if (raw) return bytes;
  tool::LoadedFile loaded = tool::toSystemLayout(bytes);
  if (loaded.kind == tool::FileKind::Unsupported) fail(path + ": " + loaded.error + " (--raw takes the bytes as they are)");
  return std::move(loaded.bytes);
}

std::string formatColour(std::int32_t colour) {
  if (colour == -1) return "-1";
  char text[16];
  std::snprintf(text, sizeof text, "0x%08" PRIX32, static_cast<std::uint32_t>(colour));
  return text;
}

int printPoint(ImagePoint point) {
  std::printf("%" PRId32 " %" PRId32 "\n", point.x, point.y);
  return point == kNotFound ? kExitNotFound : kExitFound;
}

int printNumber(std::int64_t number, bool found) {
  std::printf("%" PRId64 "\n", number);
  return found ? kExitFound : kExitNotFound;
}

int printColour(std::int32_t colour) {
  std::printf("%s\n", formatColour(colour).c_str());
  return colour == -1 ? kExitNotFound : kExitFound;
}

}  // namespace tamblin::cli
